#include "shared/animation/Animator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dispatch/MainQueue.h"

namespace {

// Records the callbacks of one animator as "a <value>", "f <value>" and "loop".
struct Recorder {
    std::vector<std::string> events;

    void attach(Animator& animator) {
        animator.onAnimation = [this](Animator&, float value) { events.push_back("a " + text(value)); };
        animator.onFinished = [this](Animator&, float value) { events.push_back("f " + text(value)); };
        animator.onLoop = [this](Animator&) { events.push_back("loop"); };
    }
    static std::string text(float value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", value);
        return buffer;
    }
};

using Events = std::vector<std::string>;

class AnimatorOnTimer : public ::testing::Test {
protected:
    void SetUp() override { queue.useManualClock(); }
    dispatch::MainQueue& queue = dispatch::MainQueue::shared();
};

TEST_F(AnimatorOnTimer, LinearRunOfFourFramesReportsEachValueThenFinishes) {
    auto animator = std::make_shared<Animator>(0.0f, 1.0f, 4, 0.005f, EnumEasing::EASING_easeNone);
    Recorder recorder;
    recorder.attach(*animator);
    animator->start();
    EXPECT_TRUE(animator->isRunning());
    queue.advanceClock(0.1);
    EXPECT_EQ(recorder.events, (Events{"a 0", "a 0.25", "a 0.5", "a 0.75", "f 1"}));
    EXPECT_FALSE(animator->isRunning());
    EXPECT_TRUE(animator->isFinished());
    EXPECT_EQ(animator->getValue(), 1.0f);
}

TEST_F(AnimatorOnTimer, SecondStartReplacesTheRunningTimer) {
    auto animator = std::make_shared<Animator>(0.0f, 1.0f, 4, 0.005f, EnumEasing::EASING_easeNone);
    Recorder recorder;
    recorder.attach(*animator);
    animator->start();
    animator->start();
    queue.advanceClock(0.0075);
    EXPECT_EQ(recorder.events, (Events{"a 0"}));
    queue.advanceClock(0.1);
    EXPECT_EQ(recorder.events.size(), 5u);
}

TEST_F(AnimatorOnTimer, StopEndsTheRunWithoutCallbacks) {
    auto animator = std::make_shared<Animator>(0.0f, 1.0f, 4, 0.005f, EnumEasing::EASING_easeNone);
    animator->looped = true;
    Recorder recorder;
    recorder.attach(*animator);
    animator->start();
    queue.advanceClock(0.0075);
    animator->stop();
    queue.advanceClock(0.1);
    EXPECT_EQ(recorder.events, (Events{"a 0"}));
    EXPECT_FALSE(animator->isRunning());
    EXPECT_FALSE(animator->looped);
    EXPECT_EQ(animator->getFrames(), -1);
    EXPECT_EQ(animator->getStep(), 0);
}

TEST_F(AnimatorOnTimer, ResetStopsTheRunAndRestoresANewAnimatorsValues) {
    auto animator = std::make_shared<Animator>(2.0f, 5.0f, 6, 0.02f, EnumEasing::EASING_easeInQuad);
    animator->looped = true;
    Recorder recorder;
    recorder.attach(*animator);
    animator->start();
    queue.advanceClock(0.03);
    ASSERT_FALSE(recorder.events.empty());
    recorder.events.clear();
    animator->reset();
    queue.advanceClock(0.1);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_FALSE(animator->isRunning());
    EXPECT_TRUE(animator->isFinished());
    EXPECT_EQ(animator->getStartFrame(), 0);
    EXPECT_EQ(animator->getFrameCount(), 0);
    EXPECT_EQ(animator->getStep(), 0);
    EXPECT_EQ(animator->getSourceValue(), 0.0f);
    EXPECT_EQ(animator->getDestinationValue(), 0.0f);
    EXPECT_EQ(animator->getValue(), 0.0f);
    EXPECT_EQ(animator->getAmount(), 0.0f);
    EXPECT_EQ(animator->getInterval(), 0.005f);
    EXPECT_EQ(animator->getType(), EnumEasing::EASING_easeNone);
    EXPECT_FALSE(animator->looped);
    animator->setup(0.0f, 1.0f, 2, 0.005f, EnumEasing::EASING_easeNone);
    animator->animate();
    EXPECT_EQ(recorder.events, (Events{"a 0"})) << "the callbacks stay";
}

TEST_F(AnimatorOnTimer, AnAnimatorNotSharedNeverStarts) {
    Animator animator(0.0f, 1.0f, 4, 0.005f, EnumEasing::EASING_easeNone);
    animator.start();
    EXPECT_FALSE(animator.isRunning());
}

TEST(Animator, DefaultAnimatorIsIdleAndLinear) {
    Animator animator;
    EXPECT_TRUE(animator.isFinished());
    EXPECT_EQ(animator.getFrames(), -1);
    EXPECT_EQ(animator.getInterval(), 0.005f);
    EXPECT_EQ(animator.getType(), EnumEasing::EASING_easeNone);
    Recorder recorder;
    recorder.attach(animator);
    animator.animate();
    EXPECT_TRUE(recorder.events.empty());
}

TEST(Animator, SetUpClampsTheFrameCount) {
    struct Case {
        float source;
        float destination;
        std::int64_t frames;
        std::int64_t expectedFrames;
    };
    const Case cases[] = {{0.0f, 1.0f, 4, 4}, {0.0f, 1.0f, -3, 0}, {0.5f, 0.5f, 10, 0}, {1.0f, 0.0f, 0, 0}};
    for (const auto& c : cases) {
        Animator animator(c.source, c.destination, c.frames, 0.01f, EnumEasing::EASING_easeInQuad);
        EXPECT_EQ(animator.getFrames(), c.expectedFrames) << c.frames;
        EXPECT_EQ(animator.getFrameCount(), c.frames);
        EXPECT_EQ(animator.getValue(), c.source);
        EXPECT_EQ(animator.getAmount(), c.destination - c.source);
    }
}

TEST(Animator, ZeroFrameRunFinishesOnItsFirstFrame) {
    for (const std::int64_t frames : {std::int64_t{10}, std::int64_t{-2}}) {
        Animator animator(0.5f, frames > 0 ? 0.5f : 2.0f, frames, 0.005f, EnumEasing::EASING_easeNone);
        Recorder recorder;
        recorder.attach(animator);
        animator.animate();
        animator.animate();
        EXPECT_EQ(recorder.events, (Events{frames > 0 ? "f 0.5" : "f 2"}));
    }
}

TEST(Animator, EasedRunFollowsItsCurve) {
    Animator animator(10.0f, 12.0f, 2, 0.005f, EnumEasing::EASING_easeOutQuart);
    Recorder recorder;
    recorder.attach(animator);
    for (int i = 0; i < 3; ++i) animator.animate();
    EXPECT_EQ(recorder.events, (Events{"a 10", "a 11.875", "f 12"}));
}

TEST(Animator, LoopedRunTurnsAtEachEndAndNeverFinishes) {
    Animator animator(0.0f, 1.0f, 2, 0.005f, EnumEasing::EASING_easeNone);
    animator.looped = true;
    Recorder recorder;
    recorder.attach(animator);
    for (int i = 0; i < 7; ++i) animator.animate();
    EXPECT_EQ(recorder.events, (Events{"a 0", "a 0.5", "loop", "a 1", "a 0.5", "loop", "a 0"}));
    EXPECT_FALSE(animator.isFinished());
}

TEST(Animator, ReverseRewindAndUndo) {
    Animator animator(0.0f, 1.0f, 4, 0.02f, EnumEasing::EASING_easeInBounce);
    animator.animate();
    animator.reverse();
    EXPECT_EQ(animator.getSourceValue(), 1.0f);
    EXPECT_EQ(animator.getDestinationValue(), 0.0f);
    EXPECT_EQ(animator.getFrames(), 4);
    EXPECT_EQ(animator.getStep(), 0);
    EXPECT_EQ(animator.getType(), EnumEasing::EASING_easeInBounce);
    EXPECT_EQ(animator.getInterval(), 0.02f);

    animator.rewind();
    EXPECT_EQ(animator.getType(), EnumEasing::EASING_easeNone);
    EXPECT_EQ(animator.getInterval(), 0.009f);
    EXPECT_EQ(animator.getFrames(), 4);

    Recorder recorder;
    recorder.attach(animator);
    animator.animate();
    animator.undo();
    EXPECT_EQ(recorder.events, (Events{"a 1", "a 1", "f 0"}));
    EXPECT_TRUE(animator.isFinished());

    animator.reverse();
    EXPECT_EQ(animator.getFrames(), 0);
}

TEST(Animator, UndoWithEqualEndsOnlyFinishes) {
    Animator animator(0.25f, 0.25f, 3, 0.005f, EnumEasing::EASING_easeNone);
    Recorder recorder;
    recorder.attach(animator);
    animator.undo();
    EXPECT_EQ(recorder.events, (Events{"f 0.25"}));
}

}  // namespace
