#include "platform/dispatch/GlobalQueue.h"

#include <algorithm>
#include <utility>

#include "platform/dispatch/MainQueue.h"

namespace dispatch {

GlobalQueue& GlobalQueue::shared() {
    // The main queue is made first so that it outlives the workers, whose tasks often queue work on it.
    MainQueue::shared();
    static GlobalQueue queue(std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4));
    return queue;
}

GlobalQueue::GlobalQueue(std::size_t workerCount) {
    const std::size_t count = std::max<std::size_t>(workerCount, 1);
    workers_.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        workers_.emplace_back([this] { work(); });
    }
}

GlobalQueue::~GlobalQueue() {
    stop_.request_stop();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& worker : workers_) {
        worker.join();
    }
}

void GlobalQueue::async(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void GlobalQueue::work() {
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
            if (tasks_.empty()) {
                return;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

}  // namespace dispatch
