// The toolbar sliders, the contrast button and the long press on the panel, worked by touches as a window delivers
// them, on the main queue's manual clock.

#include "tests/Orvo_Tunedeck_Extension/controller/ViewControllerFixture.h"

#include "platform/ui/HeadlessRenderer.h"

namespace {

class ViewControllerControls : public ViewControllerFixture {
protected:
    void SetUp() override {
        ViewControllerFixture::SetUp();
        showView();
        render();
        tick();
    }

    // A root point over a toolbar control, at value of a slider (0...1) or at the centre of a button.
    ui::Point at(const ui::View& control, double value = 0.5) const {
        constexpr double kThumb = 24;
        const ui::Rect bar = control.superview()->frame();
        const ui::Rect frame = control.frame();
        return {bar.x + frame.x + kThumb / 2 + value * (frame.width - kThumb), bar.y + frame.y + frame.height / 2};
    }

    // A finger on the panel where it has no control, held for seconds of the queue's clock.
    void holdOnPanel(double seconds, double moveBy = 0) {
        const double inset = AudioUnitViewController::viewInset;
        const ui::Point point{inset + 300, inset + 20};
        pointer.press(controller->view(), point);
        ASSERT_TRUE(controller->tunedeckView->hotspotMode().empty());
        if (moveBy != 0) pointer.move({point.x + moveBy, point.y});
        queue().advanceClock(seconds);
        pointer.release({point.x + moveBy, point.y});
    }

    double playedRatio() const {
        const auto& player = unit->sequencer();
        return static_cast<double>(player->sequencerPositionV()) / player->samplerate() /
               player->getDurationInSeconds();
    }

    ui::TouchRouter pointer;
};

TEST_F(ViewControllerControls, DraggingTheProgressSliderSeeks) {
    const ui::View& slider = *controller->sliderProgress;
    pointer.press(controller->view(), at(slider, 0.75));
    EXPECT_FLOAT_EQ(controller->sliderProgress->value(), 0.75f);
    pointer.move(at(slider, 0.25));
    pointer.release(at(slider, 0.25));
    render();
    const double buffer = kFrames / unit->sequencer()->samplerate() / unit->sequencer()->getDurationInSeconds();
    EXPECT_GE(playedRatio(), 0.25 - 1e-6);
    EXPECT_LE(playedRatio(), 0.25 + buffer + 1e-6);
}

TEST_F(ViewControllerControls, ProgressSliderFollowsPlaybackEverySixthTick) {
    const float untouched = 1.0f;
    for (int i = 0; i < 12; ++i) {
        render();
        controller->sliderProgress->setValue(untouched);
        tick();
        if (controller->counter % 6 == 0) {
            EXPECT_FLOAT_EQ(controller->sliderProgress->value(), static_cast<float>(playedRatio()))
                << controller->counter;
            EXPECT_GT(controller->sliderProgress->value(), 0.0f);
        } else {
            EXPECT_EQ(controller->sliderProgress->value(), untouched) << controller->counter;
        }
    }

    controller->onButtonStop();
    render();
    for (int i = 0; i < 12; ++i) {
        controller->sliderProgress->setValue(untouched);
        tick();
        EXPECT_EQ(controller->sliderProgress->value(), untouched) << controller->counter;
    }
}

TEST_F(ViewControllerControls, LongPressShowsTheToolsAndTheBrightnessSliderSetsTheFrameContrast) {
    ASSERT_TRUE(controller->contrastButton->isHidden());
    ASSERT_TRUE(controller->brightnessSlider->isHidden());
    holdOnPanel(0.55);
    EXPECT_FALSE(controller->contrastButton->isHidden());
    EXPECT_FALSE(controller->freezeButton->isHidden());
    EXPECT_EQ(controller->contrastButton->alpha, 1.0);
    EXPECT_FALSE(controller->touchesLocked);

    const ui::Point contrast = at(*controller->contrastButton);
    pointer.press(controller->view(), contrast);
    pointer.release(contrast);
    EXPECT_FALSE(controller->brightnessSlider->isHidden());
    EXPECT_EQ(controller->contrastButton->alpha, 1.0);
    EXPECT_TRUE(controller->touchesLocked);

    const ui::View& brightness = *controller->brightnessSlider;
    pointer.press(controller->view(), at(brightness, 0.2));
    pointer.move(at(brightness, 0.6));
    EXPECT_FLOAT_EQ(controller->pluginFrame->contrast, 0.6f);
    EXPECT_TRUE(controller->pluginFrame->needsDisplay());
    EXPECT_TRUE(controller->touchesLocked);
    pointer.release(at(brightness, 0.6));
    EXPECT_TRUE(controller->brightnessSlider->isHidden());
    EXPECT_EQ(controller->contrastButton->alpha, 0.5);
    EXPECT_FALSE(controller->touchesLocked);
    EXPECT_FLOAT_EQ(controller->pluginFrame->contrast, 0.6f);

    pointer.press(controller->view(), contrast);
    pointer.release(contrast);
    ASSERT_FALSE(controller->brightnessSlider->isHidden());
    holdOnPanel(0.55);
    EXPECT_TRUE(controller->contrastButton->isHidden());
    EXPECT_TRUE(controller->freezeButton->isHidden());
    EXPECT_TRUE(controller->brightnessSlider->isHidden());
    EXPECT_FALSE(controller->touchesLocked);
}

TEST_F(ViewControllerControls, OnlyAStillHeldPressCounts) {
    struct Case {
        double seconds, moveBy;
        bool shows;
    };
    for (const Case c : {Case{0.55, 0, true}, Case{0.55, 8, true}, Case{0.45, 0, false}, Case{0.02, 0, false},
                         Case{0.55, 12, false}}) {
        controller->contrastButton->setHidden(true);
        holdOnPanel(c.seconds, c.moveBy);
        EXPECT_EQ(!controller->contrastButton->isHidden(), c.shows) << c.seconds << " " << c.moveBy;
    }
}

TEST_F(ViewControllerControls, PressLocksTouchesWhileItIsHeld) {
    const double inset = AudioUnitViewController::viewInset;
    const ui::Point point{inset + 300, inset + 20};
    pointer.press(controller->view(), point);
    queue().advanceClock(0.55);
    EXPECT_FALSE(controller->contrastButton->isHidden());
    EXPECT_TRUE(controller->touchesLocked);
    pointer.cancel();
    EXPECT_TRUE(controller->touchesLocked);  // a cancelled press leaves the lock to the next tap
    controller->onTapGesture();
    EXPECT_FALSE(controller->touchesLocked);
}

}  // namespace
