#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/AUMIDIEventEx.h"

// One loaded song as the file player schedules it: the sample-timed events sorted by sample time (tempo markers
// included), never changed once built. A new song is built for every load, channel rewrite or reconversion, and
// handed to the render thread by pointer.
//
// Threads: built on the main queue; afterwards read by any thread, the render thread included (reads never
// allocate).
struct SequencerSong {
    using Events = std::vector<std::shared_ptr<AUMIDIEventEx>>;

    // Identifies the song among those the player built; 1 for the first.
    std::uint64_t generation = 0;
    Events events;

    std::size_t size() const noexcept { return events.size(); }
    bool empty() const noexcept { return events.empty(); }
    AUEventSampleTime sampleTimeAt(std::size_t index) const noexcept { return events[index]->pEvent()->eventSampleTime; }
    // Sample time of the last event; 0 without events.
    AUEventSampleTime lastSampleTime() const noexcept { return empty() ? 0 : sampleTimeAt(size() - 1); }
    // Beat position of the last event; 0 without events.
    double lastBeats() const noexcept { return empty() ? 0.0 : events.back()->beats; }
    // Index of the first event at or after sampleTime; size() when there is none.
    std::size_t firstIndexAtOrAfter(AUEventSampleTime sampleTime) const noexcept;
};

// A new record with the bytes, header and bookkeeping of event; the status byte of a channel message (0x80 to 0xEF)
// moved to channel when channel is below 16.
std::shared_ptr<AUMIDIEventEx> copyEvent(const AUMIDIEventEx& event, std::uint8_t channel = 16);
