#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/audiounit/RenderEvent.h"
#include "shared/events/ChannelFilter.h"
#include "shared/events/RenderEventBuffer.h"

// Filters one render-event list by channel and sorts it by time.
//
// Threads: sortEvents() and deallocateRealtimeEventListHead() on the render thread, never allocating, locking or
// waiting; the filter setters on the main queue (see ChannelFilter).
class AUMIDIEventListSorter : public ChannelFilter {
public:
    static constexpr std::size_t kDefaultCapacityBytes = 64 * 1024;

    // capacityBytes: storage for one output list; events beyond it are dropped and counted.
    explicit AUMIDIEventListSorter(std::size_t capacityBytes = kDefaultCapacityBytes);

    // The MIDI entries (types 8 and 9) of the list at event whose status is a channel message of a passing channel,
    // at their sample time + offset (cable and the rest of the header kept), stably sorted by time. Null when none is kept. The result stays valid until
    // the next call or deallocateRealtimeEventListHead(); each call frees the previous result first.
    const AURenderEvent* sortEvents(const AURenderEvent* event, std::int64_t offset) noexcept;

    // Frees the last result.
    void deallocateRealtimeEventListHead() noexcept;

    // Events dropped because the output storage was full, since construction. Any thread.
    std::uint64_t droppedCount() const noexcept { return output_.droppedCount(); }

private:
    RenderEventBuffer output_;
};
