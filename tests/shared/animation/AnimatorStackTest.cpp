#include "shared/animation/AnimatorStack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dispatch/MainQueue.h"

namespace {

using Events = std::vector<std::string>;

std::shared_ptr<Animator> member(std::int64_t frames) {
    return std::make_shared<Animator>(0.0f, 1.0f, frames, 0.005f, EnumEasing::EASING_easeNone);
}

// Ticks the stack by hand, recording "tick <n>: removed <frames>" and "tick <n>: finished".
struct StackRecorder {
    int tick = 0;
    Events events;

    void attach(AnimatorStack& stack) {
        stack.onRemovedItem = [this](AnimatorStack&, Animator& animator) {
            events.push_back("tick " + std::to_string(tick) + ": removed " + std::to_string(animator.getFrameCount()));
        };
        stack.onFinished = [this](AnimatorStack&) { events.push_back("tick " + std::to_string(tick) + ": finished"); };
    }
};

TEST(AnimatorStack, MembersLeaveWhenDoneAndTheStackFinishesOneTickLater) {
    auto stack = std::make_shared<AnimatorStack>();
    stack->add(member(2));
    stack->add(member(4));
    stack->add(nullptr);
    EXPECT_EQ(stack->getCount(), 2u);
    StackRecorder recorder;
    recorder.attach(*stack);
    int frames = 0;
    stack->onAnimation = [&frames](AnimatorStack&, Animator&) { ++frames; };
    for (recorder.tick = 1; recorder.tick <= 7; ++recorder.tick) stack->animate();
    EXPECT_EQ(recorder.events, (Events{"tick 3: removed 2", "tick 5: removed 4", "tick 6: finished",
                                       "tick 7: finished"}));
    EXPECT_EQ(frames, 3 + 5);
    EXPECT_EQ(stack->getCount(), 0u);
}

TEST(AnimatorStack, RunsOnItsTimerUntilNoMemberRuns) {
    dispatch::MainQueue::shared().useManualClock();
    auto stack = std::make_shared<AnimatorStack>();
    auto first = member(2);
    stack->add(first);
    stack->add(member(4));
    StackRecorder recorder;
    recorder.attach(*stack);
    stack->start();
    stack->start();
    EXPECT_TRUE(stack->isRunning());
    dispatch::MainQueue::shared().advanceClock(1.0);
    EXPECT_EQ(recorder.events, (Events{"tick 0: removed 2", "tick 0: removed 4", "tick 0: finished"}));
    EXPECT_FALSE(stack->isRunning());
    EXPECT_EQ(stack->getCount(), 0u);
    EXPECT_FALSE(first->isRunning());
    EXPECT_EQ(first->getValue(), 1.0f);
}

TEST(AnimatorStack, IdleMembersDoNotHoldTheStackOpen) {
    auto stack = std::make_shared<AnimatorStack>();
    stack->add(std::make_shared<Animator>());
    stack->add(member(1));
    StackRecorder recorder;
    recorder.attach(*stack);
    for (recorder.tick = 1; recorder.tick <= 3; ++recorder.tick) stack->animate();
    EXPECT_EQ(recorder.events, (Events{"tick 2: removed 1", "tick 3: finished"}));
    EXPECT_EQ(stack->getCount(), 0u);
}

TEST(AnimatorStack, MemberTakenOutByACallbackIsNotRemovedTwice) {
    auto stack = std::make_shared<AnimatorStack>();
    auto done = member(1);
    auto other = member(3);
    done->onFinished = [&stack](Animator&, float) { stack->reset(); };
    stack->add(done);
    stack->add(other);
    StackRecorder recorder;
    recorder.attach(*stack);
    for (recorder.tick = 1; recorder.tick <= 3; ++recorder.tick) stack->animate();
    EXPECT_EQ(recorder.events, (Events{"tick 3: finished"}));
    EXPECT_EQ(other->getStep(), 2);
}

}  // namespace
