#include "platform/foundation/RenderLogLines.h"

#include <string>

#include "platform/foundation/Log.h"

namespace foundation {

RenderLogLines::RenderLogLines(const char* owner, std::size_t capacityLines) : owner_(owner), ring_(capacityLines) {}

bool RenderLogLines::push(std::string_view line) noexcept { return queueLogLineNoAlloc(ring_, line); }

bool RenderLogLines::runOne() {
    if (ring_.runOne()) {
        return true;
    }
    const std::uint64_t dropped = ring_.droppedCount();
    if (dropped != reported_) {
        writeLogLine(std::string(owner_) + " : " + std::to_string(dropped - reported_) +
                     " log lines of the render thread found no room and were dropped.");
        reported_ = dropped;
    }
    return false;
}

}  // namespace foundation
