#pragma once

#include <mutex>
#include <string>
#include <utility>

namespace dispatch {

// A serial queue entered synchronously: sync(work) runs work on the calling thread while no other thread is inside
// the same queue, and returns its result.
//
// Threads: any thread except the render thread (sync may wait). sync must not be nested on the same queue; that
// deadlocks, as it does on the platform.
class SerialQueue {
public:
    explicit SerialQueue(std::string label) : label_(std::move(label)) {}

    template <typename Work>
    decltype(auto) sync(Work&& work) {
        std::lock_guard lock(mutex_);
        return std::forward<Work>(work)();
    }

    const std::string& label() const { return label_; }

private:
    std::string label_;
    std::mutex mutex_;
};

}  // namespace dispatch
