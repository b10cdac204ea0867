#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "platform/dispatch/GlobalQueue.h"
#include "platform/dispatch/SerialQueue.h"

namespace {

TEST(SerialQueue, SyncReturnsTheResultAndExcludesOtherThreads) {
    dispatch::SerialQueue queue("monitor");
    EXPECT_EQ(queue.label(), "monitor");
    int counter = 0;  // unguarded on purpose: only the queue protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i) queue.sync([&] { ++counter; });
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(queue.sync([&] { return counter; }), 4000);
}

TEST(GlobalQueue, RunsEveryTaskAndSyncReturnsItsResult) {
    dispatch::GlobalQueue pool(3);
    std::atomic<int> done{0};
    for (int i = 0; i < 100; ++i) pool.async([&] { done.fetch_add(1); });
    EXPECT_EQ(pool.sync([] { return 42; }), 42);
    // Tasks start in order; sync's own task started after them, but others may still be running.
    while (done.load() < 100) std::this_thread::yield();
    EXPECT_EQ(pool.workerCount(), 3u);
}

TEST(GlobalQueue, DestructionFinishesQueuedTasks) {
    std::atomic<int> done{0};
    {
        dispatch::GlobalQueue pool(2);
        for (int i = 0; i < 50; ++i) pool.async([&] { done.fetch_add(1); });
    }
    EXPECT_EQ(done.load(), 50);
}

TEST(GlobalQueue, DestructionEndsAWaitThatListensForStopAndStillRunsLaterTasks) {
    std::atomic<bool> waiting{false};
    std::atomic<int> done{0};
    {
        dispatch::GlobalQueue pool(1);
        pool.async([&pool, &waiting, &done] {
            // Stands in for a fetch from a server that never answers: only a stop request ends the wait.
            std::mutex mutex;
            std::condition_variable wake;
            bool stopped = false;
            std::stop_callback onStop(pool.stopToken(), [&] {
                const std::lock_guard lock(mutex);
                stopped = true;
                wake.notify_all();
            });
            std::unique_lock lock(mutex);
            waiting = true;
            wake.wait(lock, [&] { return stopped; });
            done.fetch_add(1);
        });
        // A task queued behind the wait sees the stop already requested and still runs.
        pool.async([&pool, &done] { done.fetch_add(pool.stopToken().stop_requested() ? 1 : 100); });
        while (!waiting.load()) std::this_thread::yield();
        EXPECT_FALSE(pool.stopToken().stop_requested());
    }
    EXPECT_EQ(done.load(), 2);
}

}  // namespace
