#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/dispatch/HandoffRing.h"
#include "platform/dispatch/HandoffSource.h"

namespace foundation {

// Log lines of the render thread on their way to the main queue, which writes them to the log. A line that finds the
// ring full is dropped and counted, and once the ring is empty the main queue writes the count of lines dropped since
// its last report, as "<owner> : N log lines of the render thread found no room and were dropped.".
//
// Threads: made, attached to the main queue (MainQueue::attach), detached and destroyed off the render thread, while
// no render call runs. push() and the ring's pushes belong to the one render thread; runOne() to the main queue.
class RenderLogLines final : public dispatch::HandoffSource {
public:
    // owner: the name the count is reported under; a string that outlives this. capacityLines: lines that wait at once.
    RenderLogLines(const char* owner, std::size_t capacityLines);

    // Render thread: queues line (see foundation::queueLogLineNoAlloc). False when it found no room.
    bool push(std::string_view line) noexcept;
    // The ring itself, for a render-thread writer that takes one (queueLogLineNoAlloc); its drops are reported too.
    dispatch::HandoffRing& ring() noexcept { return ring_; }

    // Lines dropped since construction. Any thread.
    std::uint64_t droppedCount() const noexcept { return ring_.droppedCount(); }

    // Main queue: writes the oldest waiting line; when none waits, reports the lines dropped since the last report.
    bool runOne() override;

private:
    const char* owner_;
    dispatch::HandoffRing ring_;
    std::uint64_t reported_ = 0;  // main queue
};

}  // namespace foundation
