#include "Orvo_Tunedeck_Extension/views/ResizingBehavior.h"

#include <gtest/gtest.h>

namespace {

struct FitCase {
    ResizingBehavior behavior;
    ui::Rect target;
    ui::Rect expectedRect;
    std::optional<ui::Size> expectedScale;
};

TEST(ResizingBehavior, FitsTheCanvasIntoTheTargetByEachRule) {
    const ui::Rect canvas{0, 0, 600, 500};
    const FitCase cases[] = {
        {ResizingBehavior::aspectFit, {0, 0, 1200, 500}, {300, 0, 600, 500}, ui::Size{1, 1}},
        {ResizingBehavior::aspectFit, {0, 0, 1200, 1000}, {0, 0, 1200, 1000}, ui::Size{2, 2}},
        {ResizingBehavior::aspectFill, {0, 0, 1200, 500}, {0, -250, 1200, 1000}, ui::Size{2, 2}},
        {ResizingBehavior::stretch, {10, 20, 300, 1000}, {10, 20, 300, 1000}, ui::Size{0.5, 2}},
        {ResizingBehavior::center, {0, 0, 1000, 700}, {200, 100, 600, 500}, ui::Size{1, 1}},
        {ResizingBehavior::aspectFit, {0, 0, 600, 500}, canvas, std::nullopt},
        {ResizingBehavior::aspectFit, {0, 0, 0, 0}, canvas, std::nullopt},
        {ResizingBehavior::aspectFit, {-1200, 0, -1200, 1000}, {-2400, 0, 1200, 1000}, ui::Size{2, 2}},
    };
    for (const auto& c : cases) {
        const FittedCanvas fitted = fitCanvas(canvas, c.target, c.behavior);
        EXPECT_EQ(fitted.rect, c.expectedRect) << static_cast<int>(c.behavior) << " " << c.target.width;
        EXPECT_EQ(fitted.scale, c.expectedScale) << static_cast<int>(c.behavior) << " " << c.target.width;
    }
}

TEST(ResizingBehavior, RawValuesOutsideTheFourCasesGiveNone) {
    EXPECT_EQ(resizingBehaviorFromRaw(0), ResizingBehavior::aspectFit);
    EXPECT_EQ(resizingBehaviorFromRaw(3), ResizingBehavior::center);
    EXPECT_EQ(resizingBehaviorFromRaw(4), std::nullopt);
    EXPECT_EQ(resizingBehaviorFromRaw(-1), std::nullopt);
}

}  // namespace
