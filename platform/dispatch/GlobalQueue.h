#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <stop_token>
#include <thread>
#include <type_traits>
#include <vector>

namespace dispatch {

// A small pool of worker threads for background work. Tasks start in the order queued; with more than one worker they
// may run at the same time and finish in any order.
//
// Threads: async() and sync() from any thread except the render thread. sync() from a worker of the same pool may
// wait for ever when every worker is busy doing the same; do not.
class GlobalQueue {
public:
    using Task = std::function<void()>;

    // The process's pool, created on first use, with up to four workers.
    static GlobalQueue& shared();

    explicit GlobalQueue(std::size_t workerCount);
    // Requests stop (see stopToken), runs what is still queued, then joins the workers.
    ~GlobalQueue();
    GlobalQueue(const GlobalQueue&) = delete;
    GlobalQueue& operator=(const GlobalQueue&) = delete;

    void async(Task task);

    // Runs work on a worker, waits for it and returns its result.
    template <typename Work>
    std::invoke_result_t<Work&> sync(Work work) {
        std::packaged_task<std::invoke_result_t<Work&>()> job(std::move(work));
        auto result = job.get_future();
        async([&job] { job(); });
        return result.get();
    }

    std::size_t workerCount() const { return workers_.size(); }

    // Stop is requested as the queue begins to go (for the shared queue: at the end of the program), before the
    // workers are joined. A task that waits on something outside the process (the network) registers a
    // std::stop_callback on it that ends the wait, so that the end of the program never waits for a server. Any thread.
    std::stop_token stopToken() const { return stop_.get_token(); }

private:
    void work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
    std::stop_source stop_;
    std::vector<std::thread> workers_;
};

}  // namespace dispatch
