#include <gtest/gtest.h>

#include <vector>

#include "platform/dispatch/MainQueue.h"

namespace {

using dispatch::MainQueue;
using dispatch::Timer;

TEST(Timer, FiresOnItsGridWithTheManualClock) {
    MainQueue queue;
    queue.useManualClock();
    std::vector<long long> firedAtMs;
    auto timer = queue.scheduleRepeatingTimer(0.25, [&](Timer&) {
        firedAtMs.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(queue.now()).count());
    });
    queue.advanceClock(0.2);
    EXPECT_TRUE(firedAtMs.empty());
    queue.advanceClock(0.9);
    EXPECT_EQ(firedAtMs, (std::vector<long long>{250, 500, 750, 1000}));
}

TEST(Timer, TasksQueuedByATickRunBeforeTheNextTick) {
    MainQueue queue;
    queue.useManualClock();
    std::vector<std::string> events;
    auto timer = queue.scheduleRepeatingTimer(0.1, [&](Timer&) {
        events.push_back("tick");
        queue.async([&] { events.push_back("task"); });
    });
    queue.advanceClock(0.2);
    EXPECT_EQ(events, (std::vector<std::string>{"tick", "task", "tick", "task"}));
}

TEST(Timer, InvalidatedTimerStopsAlsoFromInsideItsTick) {
    MainQueue queue;
    queue.useManualClock();
    int ticks = 0;
    auto selfStopping = queue.scheduleRepeatingTimer(0.1, [&](Timer& timer) {
        if (++ticks == 3) timer.invalidate();
    });
    int otherTicks = 0;
    auto other = queue.scheduleRepeatingTimer(0.1, [&](Timer&) { ++otherTicks; });
    queue.advanceClock(1.0);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(selfStopping->isValid());
    EXPECT_EQ(otherTicks, 10);

    other->invalidate();
    queue.advanceClock(1.0);
    EXPECT_EQ(otherTicks, 10);
}

TEST(Timer, TwoTimersFireInTimeOrder) {
    MainQueue queue;
    queue.useManualClock();
    std::string order;
    auto slow = queue.scheduleRepeatingTimer(0.3, [&](Timer&) { order += 'S'; });
    auto fast = queue.scheduleRepeatingTimer(0.2, [&](Timer&) { order += 'f'; });
    queue.advanceClock(0.65);
    // fast at 0.2, 0.4, 0.6; slow at 0.3, 0.6 (scheduled first, so first at equal times).
    EXPECT_EQ(order, "fSfSf");
}

}  // namespace
