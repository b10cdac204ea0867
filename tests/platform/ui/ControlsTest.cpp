#include "platform/ui/Button.h"
#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableViewCell.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(Button, ReleaseInsideAfterPressInsideRunsTheAction) {
    ui::View root({0, 0, 200, 100});
    auto button = std::make_shared<ui::Button>(ui::Rect{10, 10, 80, 30}, "Play");
    int taps = 0;
    button->action = [&](ui::Button&) { ++taps; };
    root.addSubview(button);
    ui::HeadlessRenderer r;
    r.pointer().press(root, {20, 20});
    r.pointer().release({25, 25});
    r.pointer().press(root, {20, 20});
    r.pointer().release({150, 80});
    EXPECT_EQ(taps, 1);
    button->isEnabled = false;
    button->sendAction();
    EXPECT_EQ(taps, 1);
}

TEST(Slider, FollowsTheFingerWithinItsRange) {
    // A 224-wide slider leaves 200 points of track between the thumb's half widths.
    ui::Slider slider({0, 0, 224, 30}, 10, 20);
    std::vector<float> reported;
    slider.valueChanged = [&](ui::Slider& s) { reported.push_back(s.value()); };
    slider.setValue(25);
    EXPECT_EQ(slider.value(), 20);
    EXPECT_TRUE(reported.empty());
    slider.touchesBegan({{{112, 15}}});
    slider.touchesMoved({{{112, 15}}});
    slider.touchesMoved({{{-40, 15}}});
    EXPECT_EQ(reported, (std::vector<float>{15, 10}));
    slider.isEnabled = false;
    slider.touchesMoved({{{212, 15}}});
    EXPECT_EQ(slider.value(), 10);
}

TEST(Switch, TapFlipsAndReportsButSetOnDoesNotReport) {
    ui::Switch control;
    control.tag = 42;
    std::vector<bool> reported;
    control.valueChanged = [&](ui::Switch& s) {
        EXPECT_EQ(s.tag, 42);
        reported.push_back(s.isOn());
    };
    control.setOn(true);
    EXPECT_TRUE(reported.empty());
    control.touchesEnded({{{10, 10}}});
    control.touchesEnded({{{10, 10}}});
    EXPECT_EQ(reported, (std::vector<bool>{false, true}));
}

TEST(Switch, InACellItTakesItsOwnTouches) {
    ui::TableViewCell cell("Row", {0, 0, 300, 44});
    auto control = std::make_shared<ui::Switch>(ui::Rect{240, 6, 51, 31});
    cell.contentView().addSubview(control);
    ui::HeadlessRenderer r;
    r.pointer().press(cell, {250, 20});
    r.pointer().release({250, 20});
    EXPECT_TRUE(control->isOn());
}

}  // namespace
