// The long-press recogniser on the main queue's manual clock.

#include "Orvo_Tunedeck_Extension/controller/LongPressRecognizer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/dispatch/MainQueue.h"

namespace {

class LongPress : public ::testing::Test {
protected:
    void SetUp() override {
        queue().useManualClock();
        recognizer.action = [this](ui::GestureState state) { phases.push_back(state); };
    }
    void TearDown() override { queue().drain(); }
    static dispatch::MainQueue& queue() { return dispatch::MainQueue::shared(); }

    std::vector<ui::GestureState> phases;
    LongPressRecognizer recognizer;
};

TEST_F(LongPress, ReportsEveryPhaseOfAHeldPress) {
    recognizer.touchBegan({100, 100});
    queue().advanceClock(0.49);
    EXPECT_TRUE(phases.empty());
    queue().advanceClock(0.02);
    recognizer.touchMoved({150, 100});
    recognizer.touchEnded();
    EXPECT_EQ(phases, (std::vector{ui::GestureState::began, ui::GestureState::changed, ui::GestureState::ended}));

    phases.clear();
    recognizer.touchBegan({0, 0});
    queue().advanceClock(0.6);
    recognizer.touchCancelled();
    EXPECT_EQ(phases, (std::vector{ui::GestureState::began, ui::GestureState::cancelled}));
    EXPECT_FALSE(recognizer.isRecognized());
}

TEST_F(LongPress, ATapOrADragReportsNothingLater) {
    recognizer.touchBegan({0, 0});
    recognizer.touchEnded();
    recognizer.touchBegan({0, 0});
    recognizer.touchMoved({0, 10.5});
    queue().advanceClock(1.0);
    recognizer.touchMoved({0, 0});
    recognizer.touchEnded();
    queue().advanceClock(1.0);
    EXPECT_TRUE(phases.empty());
}

TEST_F(LongPress, AGoneRecogniserNeverFires) {
    {
        LongPressRecognizer shortLived;
        shortLived.action = [this](ui::GestureState state) { phases.push_back(state); };
        shortLived.touchBegan({0, 0});
    }
    queue().advanceClock(1.0);
    EXPECT_TRUE(phases.empty());
}

}  // namespace
