// Taps, double taps, drags and pinches as the touch router hands them to the recognisers of the touched view and
// of the views above it; and views that scale their content, follow their superview, and know their window.

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/Path.h"
#include "platform/ui/TouchRouter.h"
#include "platform/ui/Window.h"
#include "tests/platform/ui/SurfaceProbe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class Gestures : public ::testing::Test {
protected:
    void SetUp() override {
        dispatch::MainQueue::shared().useManualClock();
        root->addSubview(button);
    }
    // A press and a release at point, at the same instant.
    void tapAt(ui::Point point) {
        router.press(*root, point);
        router.release(point);
    }
    template <class Recognizer>
    std::shared_ptr<Recognizer> attach(std::shared_ptr<Recognizer> recognizer, std::vector<std::string>& log,
                                       const std::string& name) {
        recognizer->action = [&log, name, r = recognizer.get()] {
            const char* states[] = {"began", "changed", "ended", "cancelled"};
            log.push_back(name + " " + states[static_cast<int>(r->state())]);
        };
        root->addGestureRecognizer(recognizer);
        return recognizer;
    }

    std::shared_ptr<ui::View> root = std::make_shared<ui::View>(ui::Rect{0, 0, 200, 100});
    std::shared_ptr<ui::View> button = std::make_shared<ui::View>(ui::Rect{100, 0, 100, 100});
    ui::TouchRouter router;
    std::vector<std::string> log;
};

TEST_F(Gestures, TwoTapsInQuickSuccessionMakeADoubleTapAndSlowOnesDoNot) {
    attach(std::make_shared<ui::TapGestureRecognizer>(1), log, "tap");
    attach(std::make_shared<ui::TapGestureRecognizer>(2), log, "double");
    tapAt({10, 10});
    dispatch::MainQueue::shared().advanceClock(0.2);
    tapAt({12, 10});
    EXPECT_EQ(log, (std::vector<std::string>{"tap ended", "tap ended", "double ended"}));

    log.clear();
    tapAt({10, 10});
    dispatch::MainQueue::shared().advanceClock(ui::TapGestureRecognizer::kMaximumTapInterval + 0.1);
    tapAt({10, 10});
    EXPECT_EQ(log, (std::vector<std::string>{"tap ended", "tap ended"}));
}

TEST_F(Gestures, ADragBecomesAPanOnlyPastTheThresholdAndReportsItsTranslation) {
    auto pan = attach(std::make_shared<ui::PanGestureRecognizer>(), log, "pan");
    attach(std::make_shared<ui::TapGestureRecognizer>(1), log, "tap");
    router.press(*root, {20, 20});
    router.move({25, 24});
    EXPECT_TRUE(log.empty());
    router.move({50, 60});
    EXPECT_EQ(pan->translation(), (ui::Point{30, 40}));
    router.release({52, 61});
    EXPECT_EQ(log, (std::vector<std::string>{"pan began", "pan changed", "pan ended"}));
    EXPECT_EQ(pan->translation(), (ui::Point{32, 41}));
}

TEST_F(Gestures, ARecogniserSeesOnlyTheTouchesItAcceptsAndTheViewStillGetsThem) {
    auto tap = attach(std::make_shared<ui::TapGestureRecognizer>(1), log, "tap");
    tap->shouldReceiveTouch = [this](const ui::View& hit) { return &hit != button.get(); };
    tapAt({150, 50});
    EXPECT_TRUE(log.empty());
    tapAt({50, 50});
    EXPECT_EQ(log, (std::vector<std::string>{"tap ended"}));
}

TEST_F(Gestures, APinchGoesToTheNearestPinchRecogniserAboveThePointer) {
    auto outer = attach(std::make_shared<ui::PinchGestureRecognizer>(), log, "outer");
    auto inner = std::make_shared<ui::PinchGestureRecognizer>();
    inner->action = [this] { log.push_back("inner"); };
    button->addGestureRecognizer(inner);
    router.pinchBegan(*root, {20, 20});
    router.pinchChanged(1.5);
    router.pinchEnded();
    EXPECT_EQ(log, (std::vector<std::string>{"outer began", "outer changed", "outer ended"}));
    EXPECT_EQ(outer->scale(), 1.5);
    log.clear();
    router.pinchBegan(*root, {150, 20});
    EXPECT_EQ(log, (std::vector<std::string>{"inner"}));
    router.pinchEnded();
}

TEST(ScaledView, DrawsItsContentEnlargedAndMapsTouchesBack) {
    auto root = std::make_shared<ui::View>(ui::Rect{0, 0, 100, 100});
    auto scaled = std::make_shared<ui::View>(ui::Rect{10, 10, 80, 80});
    scaled->setScale(2);
    EXPECT_EQ(scaled->bounds(), (ui::Rect{0, 0, 40, 40}));
    auto marker = std::make_shared<ui::View>(ui::Rect{10, 10, 10, 10});
    scaled->addSubview(marker);
    root->addSubview(scaled);

    EXPECT_EQ(root->hitTest({35, 35}), marker.get());
    EXPECT_EQ(root->hitTest({25, 25}), scaled.get());
    EXPECT_EQ(root->convert({40, 50}, marker.get()), (ui::Point{5, 10}));
    EXPECT_EQ(root->convertRectFrom(marker->bounds(), marker.get()), (ui::Rect{30, 30, 20, 20}));

    class Fill : public ui::View {
    public:
        using View::View;
        void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override { ctx.fill(ui::Path::rect(dirty), ui::Color::white()); }
    };
    scaled->addSubview(std::make_shared<Fill>(ui::Rect{10, 10, 10, 10}));
    ui::HeadlessRenderer renderer;
    renderer.render(*root);
    EXPECT_TRUE(pixelNear(renderer.image(), 31, 31, kWhite));
    EXPECT_TRUE(pixelNear(renderer.image(), 48, 48, kWhite));
    EXPECT_TRUE(pixelNear(renderer.image(), 52, 52, kBlack));
    EXPECT_TRUE(pixelNear(renderer.image(), 28, 28, kBlack));
}

TEST(PinnedView, FollowsItsSuperviewThroughEveryResize) {
    auto parent = std::make_shared<ui::View>(ui::Rect{0, 0, 50, 40});
    auto child = std::make_shared<ui::View>(ui::Rect{1, 2, 3, 4});
    child->setPinnedToSuperviewEdges(true);
    EXPECT_EQ(child->frame(), (ui::Rect{1, 2, 3, 4}));
    parent->addSubview(child);
    EXPECT_EQ(child->frame(), (ui::Rect{0, 0, 50, 40}));
    parent->setFrame({5, 5, 120, 90});
    EXPECT_EQ(child->frame(), (ui::Rect{0, 0, 120, 90}));
    parent->setScale(2);
    EXPECT_EQ(child->frame(), (ui::Rect{0, 0, 60, 45}));
}

TEST(WindowOfAView, IsTheWindowWhoseTreeHoldsItForAsLongAsBoth) {
    auto controller = std::make_shared<ui::ViewController>();
    auto leaf = std::make_shared<ui::View>(ui::Rect{0, 0, 10, 10});
    controller->view().addSubview(leaf);
    EXPECT_EQ(leaf->window(), nullptr);
    {
        ui::Window window({0, 0, 100, 100});
        window.setRootViewController(controller);
        EXPECT_EQ(leaf->window(), &window);
        leaf->removeFromSuperview();
        EXPECT_EQ(leaf->window(), nullptr);
        controller->view().addSubview(leaf);
        EXPECT_EQ(leaf->window(), &window);
    }
    EXPECT_EQ(leaf->window(), nullptr);
}

}  // namespace
