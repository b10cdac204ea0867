#include "Orvo_Tunedeck_Extension/dsp/KernelInstanceIds.h"

#include <mutex>
#include <set>

namespace KernelInstanceIds {
namespace {

std::mutex mutex;
std::set<std::uint32_t>& liveIds() {
    static std::set<std::uint32_t> ids;
    return ids;
}

}  // namespace

std::uint32_t acquire() {
    std::lock_guard lock(mutex);
    std::set<std::uint32_t>& ids = liveIds();
    std::uint32_t id = 1;
    for (const std::uint32_t taken : ids) {
        if (taken != id) break;
        ++id;
    }
    ids.insert(id);
    return id;
}

void release(std::uint32_t id) {
    std::lock_guard lock(mutex);
    liveIds().erase(id);
}

std::uint32_t liveCount() {
    std::lock_guard lock(mutex);
    return static_cast<std::uint32_t>(liveIds().size());
}

}  // namespace KernelInstanceIds
