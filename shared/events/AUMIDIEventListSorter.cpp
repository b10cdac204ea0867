#include "shared/events/AUMIDIEventListSorter.h"

#include "shared/events/MIDIBytes.h"

AUMIDIEventListSorter::AUMIDIEventListSorter(std::size_t capacityBytes) : output_(capacityBytes) {}

const AURenderEvent* AUMIDIEventListSorter::sortEvents(const AURenderEvent* event, std::int64_t offset) noexcept {
    output_.clear();
    for (const AURenderEvent* entry = event; entry != nullptr; entry = entry->head.next) {
        if (!isMIDIEntry(*entry)) {
            continue;
        }
        const std::uint8_t status = midiStatus(entry->MIDI);
        if (status < 0x80 || status > 0xEF || filters(status & 0x0F)) {
            continue;
        }
        output_.append(entry->MIDI, entry->MIDI.eventSampleTime + offset);
    }
    return output_.finishList(true);
}

void AUMIDIEventListSorter::deallocateRealtimeEventListHead() noexcept {
    output_.clear();
}
