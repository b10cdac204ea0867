// The scroll view: drags on its content's background move the content within its limits, drags that start on a
// view of the content stay that view's, and drawing shows the part of the content under the offset.

#include "platform/ui/ScrollView.h"
#include "platform/ui/TouchRouter.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Counts the touches it receives.
struct TouchedView : ui::View {
    using View::View;
    void touchesMoved(const std::vector<ui::Touch>&) override { ++moves; }
    int moves = 0;
};

TEST(ScrollView, DragsOnTheBackgroundScrollWithinTheContentAndDragsOnItsViewsStayTheirs) {
    auto root = std::make_shared<ui::View>(ui::Rect{0, 0, 200, 100});
    auto scroll = std::make_shared<ui::ScrollView>(ui::Rect{0, 0, 200, 100});
    root->addSubview(scroll);
    scroll->setContentSize({300, 400});
    auto item = std::make_shared<TouchedView>(ui::Rect{0, 0, 50, 50});
    scroll->contentView().addSubview(item);

    const struct {
        const char* what;
        ui::Point from, to;
        ui::Point offset;
    } drags[] = {
        {"up by 120", {150, 80}, {150, -40}, {0, 120}},
        {"left by 30 and down by 20", {150, 80}, {120, 100}, {30, 100}},
        {"far beyond the end", {150, 90}, {-500, -900}, {100, 300}},
        {"far back beyond the start", {150, 10}, {900, 900}, {0, 0}},
    };
    for (const auto& d : drags) {
        ui::TouchRouter router;
        router.press(*root, d.from);
        router.move(d.to);
        router.release(d.to);
        EXPECT_EQ(scroll->contentOffset(), d.offset) << d.what;
        EXPECT_EQ(item->frame(), (ui::Rect{0, 0, 50, 50})) << d.what << ": the content's views keep their places";
    }

    ui::TouchRouter router;
    router.press(*root, {10, 10});
    router.move({10, -60});
    router.release({10, -60});
    EXPECT_EQ(item->moves, 1);
    EXPECT_EQ(scroll->contentOffset(), (ui::Point{0, 0}));
}

TEST(ScrollView, TheWheelScrollsItUntilItsEnd) {
    ui::ScrollView scroll({0, 0, 100, 100});
    scroll.setContentSize({100, 250});
    EXPECT_TRUE(scroll.scrollBy(120));
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 120}));
    EXPECT_TRUE(scroll.scrollBy(120));
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 150}));
    EXPECT_FALSE(scroll.scrollBy(10)) << "at its end the wheel goes on to the views around it";
    EXPECT_TRUE(scroll.scrollBy(-500));
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 0}));
}

TEST(ScrollView, AShorterContentOrALargerViewBringsTheOffsetBack) {
    ui::ScrollView scroll({0, 0, 100, 100});
    scroll.setContentSize({100, 500});
    scroll.setContentOffset({0, 400});
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 400}));
    EXPECT_EQ(scroll.contentView().frame(), (ui::Rect{0, -400, 100, 500}));
    scroll.setFrame({0, 0, 100, 300});
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 200}));
    scroll.setContentSize({100, 250});
    EXPECT_EQ(scroll.contentOffset(), (ui::Point{0, 0}));
    EXPECT_EQ(scroll.contentView().frame(), (ui::Rect{0, 0, 100, 250}));
}

}  // namespace
