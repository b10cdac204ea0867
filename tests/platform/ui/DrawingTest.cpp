#include "platform/ui/ImageSurface.h"
#include "tests/platform/ui/SurfaceProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

class Drawing : public ::testing::Test {
protected:
    Drawing() : image(100, 100) { image.clear(ui::Color::black()); }
    ui::GraphicsContext& ctx() { return image.context(); }
    ui::ImageSurface image;
};

TEST_F(Drawing, FillPaintsInsideAndNothingOutside) {
    ctx().fill(ui::Path::rect({10, 10, 20, 20}), {1, 0, 0, 1});
    EXPECT_TRUE(pixelNear(image, 15, 15, kRed));
    EXPECT_TRUE(pixelNear(image, 35, 15, kBlack));
    EXPECT_TRUE(pixelNear(image, 9, 9, kBlack));
}

TEST_F(Drawing, AlphaCompositesOverTheBackground) {
    ctx().fill(ui::Path::rect({0, 0, 50, 50}), ui::Color::white().withAlpha(0.3));
    EXPECT_TRUE(pixelNear(image, 25, 25, {77, 77, 77, 255}, 2));
}

TEST_F(Drawing, RoundedCornersLeaveTheCornerPixelsUnpainted) {
    ctx().fill(ui::Path::roundedRect({10, 10, 40, 40}, 10), ui::Color::white());
    EXPECT_TRUE(pixelNear(image, 10, 10, kBlack));
    EXPECT_TRUE(pixelNear(image, 30, 10, kWhite));
    EXPECT_TRUE(pixelNear(image, 10, 30, kWhite));
}

TEST_F(Drawing, RoundedTopKeepsSquareLowerCorners) {
    ctx().fill(ui::Path::roundedTopRect({10, 10, 40, 40}, 10), ui::Color::white());
    EXPECT_TRUE(pixelNear(image, 10, 10, kBlack));
    EXPECT_TRUE(pixelNear(image, 10, 49, kWhite));
    EXPECT_TRUE(pixelNear(image, 49, 49, kWhite));
}

TEST_F(Drawing, StrokeFollowsTheLineWithItsWidth) {
    ui::Path line;
    line.moveTo({10, 50});
    line.lineTo({90, 50});
    ctx().stroke(line, ui::Color::white(), {6, ui::LineCap::butt, ui::LineJoin::miter, 10});
    EXPECT_TRUE(pixelNear(image, 50, 48, kWhite));
    EXPECT_TRUE(pixelNear(image, 50, 54, kBlack));
    EXPECT_TRUE(pixelNear(image, 8, 50, kBlack));  // butt caps end at the end point
}

TEST_F(Drawing, RoundCapsReachPastTheEnds) {
    ui::Path line;
    line.moveTo({20, 50});
    line.lineTo({80, 50});
    ctx().stroke(line, ui::Color::white(), {10, ui::LineCap::round, ui::LineJoin::round, 10});
    EXPECT_TRUE(pixelNear(image, 16, 50, kWhite));
    EXPECT_TRUE(pixelNear(image, 13, 50, kBlack));
}

TEST_F(Drawing, CubicCurvePassesThroughItsMidpoint) {
    ui::Path curve;
    curve.moveTo({10, 10});
    curve.curveTo({10, 50}, {50, 50}, {50, 10});  // at t = 0.5: (30, 40)
    ctx().stroke(curve, ui::Color::white(), {4});
    EXPECT_TRUE(pixelNear(image, 30, 39, kWhite));
    EXPECT_TRUE(pixelNear(image, 30, 20, kBlack));
}

TEST_F(Drawing, ClockwiseArcsTurnTowardsPositiveY) {
    // A quarter pie from angle 0 to a quarter turn: clockwise covers the lower right, the other way the rest.
    ui::Path clockwise;
    clockwise.moveTo({30, 30});
    clockwise.addArc({30, 30}, 20, 0, kPi / 2, true);
    clockwise.close();
    ctx().fill(clockwise, ui::Color::white());
    EXPECT_TRUE(pixelNear(image, 38, 38, kWhite));
    EXPECT_TRUE(pixelNear(image, 38, 22, kBlack));

    ui::Path counter;
    counter.moveTo({70, 70});
    counter.addArc({70, 70}, 20, 0, kPi / 2, false);
    counter.close();
    ctx().fill(counter, ui::Color::white());
    EXPECT_TRUE(pixelNear(image, 78, 62, kWhite));
    EXPECT_TRUE(pixelNear(image, 62, 62, kWhite));
    EXPECT_TRUE(pixelNear(image, 78, 78, kBlack));
}

TEST_F(Drawing, TransformsApplyTranslateThenRotateThenScale) {
    ctx().saveGState();
    ctx().translateBy(50, 50);
    ctx().rotate(kPi / 2);  // +x now points down the screen
    ctx().scaleBy(2, 2);
    ctx().fill(ui::Path::rect({0, -1, 10, 2}), ui::Color::white());
    ctx().restoreGState();
    EXPECT_TRUE(pixelNear(image, 50, 65, kWhite));
    EXPECT_TRUE(pixelNear(image, 65, 50, kBlack));

    ctx().fill(ui::Path::rect({0, 0, 4, 4}), {1, 0, 0, 1});  // restored: back at the origin
    EXPECT_TRUE(pixelNear(image, 2, 2, kRed));
}

TEST_F(Drawing, ClipLimitsPaintingUntilRestored) {
    ctx().saveGState();
    ctx().clip({20, 20, 10, 10});
    ctx().fill(ui::Path::rect({0, 0, 100, 100}), ui::Color::white());
    ctx().restoreGState();
    EXPECT_TRUE(pixelNear(image, 25, 25, kWhite));
    EXPECT_TRUE(pixelNear(image, 35, 25, kBlack));
    ctx().fill(ui::Path::rect({40, 40, 10, 10}), ui::Color::white());
    EXPECT_TRUE(pixelNear(image, 45, 45, kWhite));
}

TEST_F(Drawing, ZeroScaleDrawsNothingAndLeavesTheContextUsable) {
    ctx().saveGState();
    ctx().scaleBy(0, 1);
    ctx().restoreGState();
    ctx().fill(ui::Path::rect({0, 0, 10, 10}), ui::Color::white());
    EXPECT_TRUE(pixelNear(image, 5, 5, kWhite));
}

TEST_F(Drawing, RecordingListsTheCallsInOrder) {
    std::vector<std::string> calls;
    ctx().recordCallsInto(&calls);
    ctx().saveGState();
    ctx().translateBy(1.5, 2);
    ctx().fill(ui::Path::rect({0, 0, 1, 1}), {1, 0, 0, 1});
    ctx().restoreGState();
    ctx().recordCallsInto(nullptr);
    ctx().translateBy(1, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"save", "translate 1.5 2", "fill 1 0 0 1", "restore"}));
}

TEST_F(Drawing, WritesAPngFile) {
    const char* tmp = std::getenv("TUNEDECK_TEST_TMP");
    const std::filesystem::path folder =
        std::filesystem::path(tmp ? tmp : std::filesystem::temp_directory_path().string()) / "platform_ui_png";
    std::filesystem::create_directories(folder);
    const auto file = folder / "drawing.png";
    ASSERT_TRUE(image.writePng(file));
    std::ifstream in(file, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    EXPECT_FALSE(image.writePng(folder / "missing" / "x.png"));
}

TEST(ImageSurface, PixelsOutsideAreTransparentAndSizesAreAtLeastOne) {
    ui::ImageSurface image(0, -3);
    EXPECT_EQ(image.width(), 1);
    EXPECT_EQ(image.height(), 1);
    EXPECT_EQ(image.pixel(5, 5), (ui::Pixel{}));
}

}  // namespace
