#include "Orvo_Tunedeck_Extension/views/PluginFrame.h"
#include "platform/ui/HeadlessRenderer.h"
#include "tests/platform/ui/SurfaceProbe.h"

#include <gtest/gtest.h>

namespace {

TEST(PluginFrame, CopiesItsLookIntoTheStateOnDrawingAndPaintsNothing) {
    PluginFrame frame({0, 0, 40, 30});
    EXPECT_EQ(frame.contrast, 0.1f);
    EXPECT_EQ(frame.mainColor, ui::Color::lightGray());
    EXPECT_EQ(frame.baseClass().contrast, 0.1);
    EXPECT_EQ(frame.baseClass().mainColor, ui::Color::darkGray());

    frame.contrast = 0.75f;
    frame.setNeedsDisplay();
    ui::HeadlessRenderer renderer;
    renderer.render(frame, ui::Color::black());
    EXPECT_EQ(frame.baseClass().contrast, 0.75);
    EXPECT_EQ(frame.baseClass().mainColor, ui::Color::lightGray());
    EXPECT_TRUE(pixelNear(renderer.image(), 20, 15, kBlack));
}

TEST(PluginFrame, FittingRuleRecordsNothing) {
    EXPECT_EQ(PluginFrameBase::apply(ResizingBehavior::aspectFit, {0, 0, 600, 500}, {0, 0, 1200, 500}),
              (ui::Rect{300, 0, 600, 500}));
}

}  // namespace
