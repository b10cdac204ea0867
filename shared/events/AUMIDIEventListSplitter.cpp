#include "shared/events/AUMIDIEventListSplitter.h"

#include "shared/events/MIDIBytes.h"

AUMIDIEventListSplitter::AUMIDIEventListSplitter(std::size_t capacityBytes) {
    for (auto& buffer : channelHeads_) {
        buffer = std::make_unique<RenderEventBuffer>(capacityBytes);
    }
}

bool AUMIDIEventListSplitter::takes(int instance, std::uint8_t status) noexcept {
    return instance < 0 || (status & 0x0F) == instance;
}

const AURenderEvent* AUMIDIEventListSplitter::splitRealtimeEventListHead(const AURenderEvent* allEvents,
                                                                         int instance) noexcept {
    if (instance < -1 || instance >= NUMSAMPLERS) {
        return nullptr;
    }
    RenderEventBuffer& output = *channelHeads_[static_cast<std::size_t>(instance + 1)];
    for (const AURenderEvent* entry = allEvents; entry != nullptr; entry = entry->head.next) {
        if (!isMIDIEntry(*entry)) {
            continue;
        }
        const std::uint8_t status = midiStatus(entry->MIDI);
        if (status < 0x80 || !takes(instance, status)) {
            continue;
        }
        if (status <= 0xEF && filters(status & 0x0F)) {
            continue;
        }
        output.append(entry->MIDI, entry->MIDI.eventSampleTime);
    }
    return output.finishList(false);
}

void AUMIDIEventListSplitter::deallocateRealtimeEventListHead(int instance) noexcept {
    if (instance >= -1 && instance < NUMSAMPLERS) {
        channelHeads_[static_cast<std::size_t>(instance + 1)]->clear();
    }
}

std::uint64_t AUMIDIEventListSplitter::droppedCount() const noexcept {
    std::uint64_t dropped = 0;
    for (const auto& buffer : channelHeads_) {
        dropped += buffer->droppedCount();
    }
    return dropped;
}
