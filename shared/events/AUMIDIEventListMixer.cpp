#include "shared/events/AUMIDIEventListMixer.h"

#include "shared/events/MIDIBytes.h"
#include "shared/events/MuteRules.h"
#include "platform/foundation/FixedLogLine.h"
#include "platform/foundation/Log.h"

AUMIDIEventListMixer::AUMIDIEventListMixer(std::size_t capacityBytes) : output_(capacityBytes) {
    reset();
}

void AUMIDIEventListMixer::reset() {
    ChannelFilter::reset();
    setVelocities(kDefaultVelocityTable);
    makeNoteFilter(1, 0);
}

VelocityTable AUMIDIEventListMixer::velocities() const noexcept {
    VelocityTable values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = velocities_[i].load(std::memory_order_relaxed);
    }
    return values;
}

void AUMIDIEventListMixer::setVelocities(const VelocityTable& values) noexcept {
    for (std::size_t i = 0; i < values.size(); ++i) {
        velocities_[i].store(values[i], std::memory_order_relaxed);
    }
}

std::vector<std::uint8_t> AUMIDIEventListMixer::notes() const {
    std::vector<std::uint8_t> list;
    for (std::uint8_t note = 0; note < 128; ++note) {
        if (notePasses(note)) {
            list.push_back(note);
        }
    }
    return list;
}

bool AUMIDIEventListMixer::makeNoteFilter(int channels, int index) noexcept {
    if (channels < 1 || index < 0) {
        return false;
    }
    std::uint64_t mask[2] = {0, 0};
    for (int note = index; note <= 127; note += channels) {
        mask[note / 64] |= std::uint64_t{1} << (note % 64);
    }
    noteMask_[0].store(mask[0], std::memory_order_relaxed);
    noteMask_[1].store(mask[1], std::memory_order_relaxed);
    return true;
}

bool AUMIDIEventListMixer::notePasses(std::uint8_t note) const noexcept {
    return note < 128 && (noteMask_[note / 64].load(std::memory_order_relaxed) >> (note % 64) & 1u) != 0;
}

const AURenderEvent* AUMIDIEventListMixer::mixEvents(const AURenderEvent* ev1, const AURenderEvent* ev2,
                                                     std::int64_t offset1, std::int64_t offset2,
                                                     bool noteSplit) noexcept {
    output_.clear();
    mixList(ev1, offset1, noteSplit, true);
    mixList(ev2, offset2, noteSplit, false);
    return output_.finishList(true);
}

void AUMIDIEventListMixer::deallocateRealtimeEventListHead() noexcept {
    output_.clear();
}

void AUMIDIEventListMixer::mixList(const AURenderEvent* list, std::int64_t offset, bool noteSplit,
                                   bool fromHost) noexcept {
    for (const AURenderEvent* entry = list; entry != nullptr; entry = entry->head.next) {
        if (!isMIDIEntry(*entry)) {
            continue;
        }
        const AUMIDIEvent& event = entry->MIDI;
        const std::uint8_t status = midiStatus(event);
        if (status < 0x80) {
            continue;
        }
        if (status > 0xEF) {
            if (!specialEvents.append(event) && logRing_ != nullptr) {
                foundation::FixedLogLine line;
                line << "AUMIDIEvents::mixEvents() : ERROR: A system message of " << event.length
                     << " bytes was dropped: no room is left for it in this render call.";
                foundation::queueLogLineNoAlloc(*logRing_, line.view());
            }
            continue;
        }
        if (filters(status & 0x0F) && !passesMutedChannel(status, midiByte(event, 1))) {
            continue;
        }
        const std::uint8_t kind = status & 0xF0;
        if (noteSplit && (kind == 0x80 || kind == 0x90) && !notePasses(midiByte(event, 1))) {
            continue;
        }
        if (!output_.append(event, event.eventSampleTime + offset)) {
            continue;
        }
        AUMIDIEvent& merged = output_.last();
        merged.reserved = 0;
        merged.cable = 0;
        const std::uint8_t velocity = midiByte(event, 2);
        if (kind == 0x90 && velocity >= 1 && velocity <= 127) {
            const std::uint8_t mapped = velocities_[velocity].load(std::memory_order_relaxed);
            merged.data[2] = mapped;
            if (fromHost && mapped == 0 && logRing_ != nullptr) {
                foundation::queueLogLineNoAlloc(*logRing_,
                                                "AUMIDIEvents::mixEvents() : WARNING: An ON velocity was mapped to zero!");
            }
        }
    }
}
