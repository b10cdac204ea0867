#include "platform/ui/Path.h"

#include <gtest/gtest.h>

namespace {

struct ContainsCase {
    ui::Point point;
    bool inside;
};

TEST(Path, RectanglesContainPointsHalfOpen) {
    const ui::Path path = ui::Path::rect({10, 20, 30, 40});
    ASSERT_TRUE(path.rectangle().has_value());
    const ContainsCase cases[] = {
        {{10, 20}, true},  {{39.999, 59.999}, true}, {{40, 30}, false}, {{20, 60}, false},
        {{9.999, 30}, false}, {{25, 19.999}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(path.contains(c.point), c.inside) << c.point.x << "," << c.point.y;
}

TEST(Path, AdjacentRectanglesNeverShareAPoint) {
    const ui::Path upper = ui::Path::rect({0, 50, 24, 106});
    const ui::Path lower = ui::Path::rect({0, 156, 24, 38});
    EXPECT_FALSE(upper.contains({10, 156}));
    EXPECT_TRUE(lower.contains({10, 156}));
}

TEST(Path, EmptyPathsContainNothing) {
    EXPECT_FALSE(ui::Path{}.contains({0, 0}));
    EXPECT_FALSE(ui::Path::rect({5, 5, 0, 10}).contains({5, 6}));
    EXPECT_TRUE(ui::Path::roundedRect({0, 0, 0, 5}, 0.5).isEmpty());
    EXPECT_TRUE(ui::Path::roundedTopRect({0, 0, 20, 0}, 0.5).isEmpty());
}

TEST(Path, CurvedFiguresUseTheirOutline) {
    const ui::Path oval = ui::Path::oval({0, 0, 20, 20});
    EXPECT_TRUE(oval.contains({10, 10}));
    EXPECT_FALSE(oval.contains({1, 1}));
    EXPECT_FALSE(oval.rectangle().has_value());

    // Radius larger than half the short side is clamped: the ends become half circles.
    const ui::Path pill = ui::Path::roundedRect({0, 0, 40, 10}, 100);
    EXPECT_TRUE(pill.contains({20, 5}));
    EXPECT_TRUE(pill.contains({1, 5}));
    EXPECT_FALSE(pill.contains({0.5, 0.5}));
}

TEST(Path, NegativeSizesAreStandardised) {
    const ui::Path path = ui::Path::roundedRect({20, 20, -10, -10}, 1);
    EXPECT_TRUE(path.contains({15, 15}));
    EXPECT_FALSE(path.contains({25, 25}));
}

}  // namespace
