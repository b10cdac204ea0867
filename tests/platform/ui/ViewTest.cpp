#include "platform/ui/HeadlessRenderer.h"
#include "platform/ui/TouchRouter.h"
#include "platform/ui/View.h"
#include "tests/platform/ui/SurfaceProbe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Fills its bounds in one colour and logs the touches it receives.
class Swatch : public ui::View {
public:
    Swatch(ui::Rect frame, ui::Color color) : View(frame), color_(color) {}
    void draw(ui::GraphicsContext& ctx, ui::Rect dirty) override {
        ++draws;
        ctx.fill(ui::Path::rect(dirty), color_);
    }
    void touchesBegan(const std::vector<ui::Touch>& t) override { log("began", t); }
    void touchesMoved(const std::vector<ui::Touch>& t) override { log("moved", t); }
    void touchesEnded(const std::vector<ui::Touch>& t) override { log("ended", t); }
    void touchesCancelled(const std::vector<ui::Touch>& t) override { log("cancelled", t); }

    int draws = 0;
    std::vector<std::string> touches;

private:
    void log(const char* what, const std::vector<ui::Touch>& t) {
        touches.push_back(std::string(what) + " " + std::to_string(int(t.front().location.x)) + "," +
                          std::to_string(int(t.front().location.y)));
    }
    ui::Color color_;
};

struct Tree {
    std::shared_ptr<Swatch> root = std::make_shared<Swatch>(ui::Rect{0, 0, 100, 80}, ui::Color::black());
    std::shared_ptr<Swatch> panel = std::make_shared<Swatch>(ui::Rect{10, 10, 60, 40}, ui::Color::white());
    std::shared_ptr<Swatch> badge = std::make_shared<Swatch>(ui::Rect{50, 30, 30, 30}, ui::Color{1, 0, 0, 1});
    Tree() {
        root->addSubview(panel);
        panel->addSubview(badge);
    }
};

TEST(View, SubviewsDrawOnTopInTheirFramesAndClippedToThem) {
    Tree tree;
    ui::HeadlessRenderer renderer;
    renderer.render(*tree.root);
    const ui::ImageSurface& image = renderer.image();
    EXPECT_EQ(image.width(), 100);
    EXPECT_TRUE(pixelNear(image, 5, 5, kBlack));
    EXPECT_TRUE(pixelNear(image, 20, 20, kWhite));
    EXPECT_TRUE(pixelNear(image, 65, 45, kRed));   // badge at (60, 40) in the root
    EXPECT_TRUE(pixelNear(image, 65, 55, kBlack));  // badge beyond the panel is clipped
    EXPECT_FALSE(tree.badge->needsDisplay());
}

TEST(View, HiddenViewsDrawNothingAndHideTheirSubviews) {
    Tree tree;
    tree.panel->setHidden(true);
    ui::HeadlessRenderer renderer;
    renderer.render(*tree.root);
    EXPECT_TRUE(pixelNear(renderer.image(), 20, 20, kBlack));
    EXPECT_EQ(tree.badge->draws, 0);
}

TEST(View, RedrawRequestsStayUntilTheNextRender) {
    Tree tree;
    ui::HeadlessRenderer renderer;
    renderer.render(*tree.root);
    EXPECT_FALSE(tree.panel->needsDisplay());
    EXPECT_FALSE(tree.root->needsDisplayInTree());
    tree.badge->setNeedsDisplay();
    tree.panel->setNeedsDisplay();
    EXPECT_TRUE(tree.panel->needsDisplay());
    EXPECT_TRUE(tree.root->needsDisplayInTree());
    renderer.render(*tree.root);
    EXPECT_FALSE(tree.panel->needsDisplay());
    EXPECT_EQ(tree.panel->draws, 2);
}

TEST(View, TouchesGoToTheFrontmostViewInItsOwnCoordinates) {
    Tree tree;
    ui::TouchRouter pointer;
    pointer.press(*tree.root, {65, 45});
    pointer.move({90, 70});  // leaving the view keeps the grab
    pointer.release({91, 71});
    EXPECT_EQ(tree.badge->touches, (std::vector<std::string>{"began 5,5", "moved 30,30", "ended 31,31"}));
    EXPECT_TRUE(tree.panel->touches.empty());

    pointer.press(*tree.root, {20, 20});
    pointer.move({25, 22});
    pointer.cancel();
    pointer.release({20, 20});
    pointer.move({20, 20});
    EXPECT_EQ(tree.panel->touches, (std::vector<std::string>{"began 10,10", "moved 15,12", "cancelled 15,12"}));

    pointer.press(*tree.root, {150, 150});  // outside everything
    EXPECT_EQ(pointer.grabbedView(), nullptr);
}

TEST(View, HitTestSkipsHiddenAndNonInteractiveViews) {
    Tree tree;
    EXPECT_EQ(tree.root->hitTest({65, 45}), tree.badge.get());
    tree.badge->userInteractionEnabled = false;
    EXPECT_EQ(tree.root->hitTest({65, 45}), tree.panel.get());
    tree.panel->setHidden(true);
    EXPECT_EQ(tree.root->hitTest({65, 45}), tree.root.get());
    EXPECT_EQ(tree.root->hitTest({150, 45}), nullptr);
}

TEST(View, RemovingAViewDetachesItWhileOthersStillHoldIt) {
    Tree tree;
    tree.badge->removeFromSuperview();
    EXPECT_TRUE(tree.panel->subviews().empty());
    EXPECT_EQ(tree.badge->superview(), nullptr);
    tree.root->addSubview(tree.badge);
    EXPECT_EQ(tree.badge->superview(), tree.root.get());
    tree.root->addSubview(tree.badge);  // adding again moves it, never duplicates it
    EXPECT_EQ(tree.root->subviews().size(), 2u);
}

TEST(View, RecordedCallsShowTheTreeWalk) {
    Tree tree;
    tree.badge->setHidden(true);
    ui::HeadlessRenderer renderer;
    renderer.startRecording();
    renderer.render(*tree.root);
    const std::vector<std::string> expected{
        "save",         "clip 0 0 100 80", "fill 0 0 0 1",  "save",    "translate 10 10", "clip 0 0 60 40",
        "fill 1 1 1 1", "save",            "translate 50 30", "clip 0 0 30 30", "restore",   "restore", "restore"};
    EXPECT_EQ(renderer.recordedCalls(), expected);
}

}  // namespace
