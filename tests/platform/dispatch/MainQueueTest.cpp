#include "platform/dispatch/MainQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using dispatch::MainQueue;

TEST(MainQueue, RunsTasksInOrderOnlyWhenDrained) {
    MainQueue queue;
    std::vector<int> ran;
    for (int i = 0; i < 5; ++i) {
        queue.async([&ran, i] { ran.push_back(i); });
    }
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(queue.drain(), 5u);
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(queue.drain(), 0u);
}

TEST(MainQueue, DrainRunsTasksQueuedByTasksAfterTheOnesBefore) {
    MainQueue queue;
    std::vector<std::string> ran;
    queue.async([&] {
        ran.push_back("a");
        queue.async([&] { ran.push_back("c"); });
    });
    queue.async([&] { ran.push_back("b"); });
    EXPECT_EQ(queue.drain(), 3u);
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(MainQueue, TasksFromEachThreadKeepTheirOrder) {
    MainQueue queue;
    constexpr int kPerThread = 2000;
    std::vector<int> seenFromA;
    std::vector<int> seenFromB;
    std::thread a([&] {
        for (int i = 0; i < kPerThread; ++i) queue.async([&seenFromA, i] { seenFromA.push_back(i); });
    });
    std::thread b([&] {
        for (int i = 0; i < kPerThread; ++i) queue.async([&seenFromB, i] { seenFromB.push_back(i); });
    });
    // Drain while the producers run, so that the queue is read and written at once.
    while (seenFromA.size() + seenFromB.size() < 2 * kPerThread) {
        queue.drain();
    }
    a.join();
    b.join();
    std::vector<int> expected(kPerThread);
    for (int i = 0; i < kPerThread; ++i) expected[i] = i;
    EXPECT_EQ(seenFromA, expected);
    EXPECT_EQ(seenFromB, expected);
}

TEST(MainQueue, RunLoopRunsQueuedTasksAndReturnsAfterStop) {
    MainQueue queue;
    std::vector<int> ran;
    std::thread producer([&] {
        for (int i = 0; i < 100; ++i) queue.async([&ran, i] { ran.push_back(i); });
        queue.async([&] { queue.stop(); });
    });
    queue.run();
    producer.join();
    ASSERT_EQ(ran.size(), 100u);
    EXPECT_EQ(ran.back(), 99);
}

}  // namespace
