#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "platform/dispatch/HandoffRing.h"
#include "shared/events/ChannelFilter.h"
#include "shared/events/RenderEventBuffer.h"
#include "shared/events/AsideEventList.h"
#include "shared/events/VelocityTable.h"

// Merges the host's render events and the file player's into one time-ordered list for the synthesizer and the
// MIDI output: drops the events of muted channels (except "reset all controllers" and "all notes off"), optionally
// keeps only the notes of a note filter, remaps note-on velocity through a VelocityTable, and sets system messages
// aside in specialEvents.
//
// Threads: mixEvents(), deallocateRealtimeEventListHead() and specialEvents on the render thread; they never
// allocate, lock or wait. The filter and table setters on the main queue; the render thread sees each change
// whole (per channel, per table entry, per note). setLogRing() only while no render call runs.
class AUMIDIEventListMixer : public ChannelFilter {
public:
    static constexpr std::size_t kDefaultCapacityBytes = 64 * 1024;

    // capacityBytes: storage for one output list; events beyond it are dropped and counted.
    explicit AUMIDIEventListMixer(std::size_t capacityBytes = kDefaultCapacityBytes);

    // All channels pass, the default velocity table, and every note 0 to 127 in the note filter.
    void reset() override;

    VelocityTable velocities() const noexcept;
    // Replaces the whole velocity table.
    void setVelocities(const VelocityTable& values) noexcept;

    // Notes that pass while note split is on, ascending.
    std::vector<std::uint8_t> notes() const;
    // The note filter becomes index, index + channels, index + 2 * channels, ... up to 127 (none when index is above
    // 127). Returns false and changes nothing when channels is below 1 or index below 0.
    bool makeNoteFilter(int channels, int index) noexcept;

    // Merges the lists starting at ev1 (the host's) and ev2 (the file player's), either may be null, adding offset1
    // or offset2 to the sample times. Entries that are not MIDI (types 8 and 9) and messages without a status byte
    // are skipped; system messages go to specialEvents at their own time (one that finds no room there is dropped
    // with a line in the log ring); with noteSplit only notes of the note filter pass. The result is sorted by time,
    // stably (host before file at equal times), carries cable 0, and stays valid until the next call or
    // deallocateRealtimeEventListHead(); null when nothing passes. Frees the previous result first.
    const AURenderEvent* mixEvents(const AURenderEvent* ev1, const AURenderEvent* ev2, std::int64_t offset1,
                                   std::int64_t offset2, bool noteSplit) noexcept;

    // Frees the last result.
    void deallocateRealtimeEventListHead() noexcept;

    // The render thread's hand-off ring that carries the mixer's warnings to the main queue; without one (null, the
    // start value) the warnings are not logged.
    void setLogRing(dispatch::HandoffRing* ring) noexcept { logRing_ = ring; }

    // Events dropped because the output storage was full, since construction. Any thread.
    std::uint64_t droppedCount() const noexcept { return output_.droppedCount(); }

    // System messages of both lists, appended by mixEvents; the reader (the render block) empties it.
    AsideEventList specialEvents;

private:
    void mixList(const AURenderEvent* list, std::int64_t offset, bool noteSplit, bool fromHost) noexcept;
    bool notePasses(std::uint8_t note) const noexcept;

    std::array<std::atomic<std::uint8_t>, 128> velocities_;
    std::array<std::atomic<std::uint64_t>, 2> noteMask_;
    RenderEventBuffer output_;
    dispatch::HandoffRing* logRing_ = nullptr;
    static_assert(std::atomic<std::uint8_t>::is_always_lock_free);
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free);
};
