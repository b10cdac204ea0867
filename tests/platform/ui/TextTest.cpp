#include "platform/ui/ImageSurface.h"
#include "tests/platform/ui/SurfaceProbe.h"

#include <gtest/gtest.h>

namespace {

// Leftmost and rightmost columns with ink (any non-black pixel) inside a rectangle, or -1 when there is none.
std::pair<int, int> inkedColumns(const ui::ImageSurface& image, int x0, int y0, int x1, int y1) {
    int left = -1;
    int right = -1;
    for (int x = x0; x < x1; ++x) {
        for (int y = y0; y < y1; ++y) {
            const ui::Pixel p = image.pixel(x, y);
            if (p.red > 60 || p.green > 60 || p.blue > 60) {
                if (left < 0) left = x;
                right = x;
                break;
            }
        }
    }
    return {left, right};
}

struct AlignmentCase {
    ui::TextAlignment alignment;
    int expectedLeftMin, expectedLeftMax, expectedRightMin, expectedRightMax;
};

TEST(Text, AlignmentPlacesTheInkAtTheRightEdge) {
    const AlignmentCase cases[] = {
        {ui::TextAlignment::left, 20, 24, 0, 300},
        {ui::TextAlignment::right, 0, 300, 174, 180},
    };
    for (const auto& c : cases) {
        ui::ImageSurface image(200, 60);
        image.clear(ui::Color::black());
        image.context().drawText("Hello", {20, 10, 160, 40}, {ui::Font::system(16), ui::Color::white(), c.alignment});
        const auto [left, right] = inkedColumns(image, 0, 0, 200, 60);
        EXPECT_GE(left, c.expectedLeftMin);
        EXPECT_LE(left, c.expectedLeftMax);
        EXPECT_GE(right, c.expectedRightMin);
        EXPECT_LE(right, c.expectedRightMax);
    }
}

TEST(Text, CentredTextIsCentredBothWays) {
    ui::ImageSurface image(200, 60);
    image.clear(ui::Color::black());
    image.context().drawText("MMMM", {0, 0, 200, 60},
                             {ui::Font::named("HelveticaNeue", 16), ui::Color::white(), ui::TextAlignment::centre});
    const auto [left, right] = inkedColumns(image, 0, 0, 200, 60);
    ASSERT_GE(left, 0);
    EXPECT_NEAR((left + right) / 2.0, 100, 3);
    EXPECT_TRUE(pixelNear(image, 100, 2, kBlack));
    EXPECT_TRUE(pixelNear(image, 100, 57, kBlack));
}

TEST(Text, DrawingIsClippedToTheRectangle) {
    ui::ImageSurface image(200, 60);
    image.clear(ui::Color::black());
    image.context().drawText("HHHH", {50, 20, 100, 8}, {ui::Font::system(20), ui::Color::white(), ui::TextAlignment::left});
    EXPECT_GE(inkedColumns(image, 0, 20, 200, 28).first, 50);
    EXPECT_EQ(inkedColumns(image, 0, 0, 200, 20).first, -1);
    EXPECT_EQ(inkedColumns(image, 0, 28, 200, 60).first, -1);
}

TEST(Text, SizeGrowsWithTheFontAndTheTextStaysOnOneLine) {
    ui::ImageSurface image(10, 10);
    const ui::Font font = ui::Font::system(10);
    const ui::Size one = image.context().textSize("word", font);
    EXPECT_GT(one.height, 8);
    EXPECT_LT(one.height, 20);
    EXPECT_GT(image.context().textSize("word", ui::Font::system(20)).height, 1.5 * one.height);
    const ui::Size four = image.context().textSize("word word word word", font);
    EXPECT_EQ(four.height, one.height);
    EXPECT_GT(four.width, 4 * one.width);
    EXPECT_LT(image.context().textSize("word", ui::Font::named("HelveticaNeue-CondensedBold", 10)).width,
              image.context().textSize("word", ui::Font::named("EuphemiaUCAS-Bold", 10)).width);
}

TEST(Text, TooWideTextIsCutAtBothEdgesOrNarrowedOnRequest) {
    // Two bars far apart: centred and cut, both lie outside the box; narrowed, they land at its edges.
    const std::string bars = "I" + std::string(40, ' ') + "I";
    for (const bool narrow : {false, true}) {
        ui::ImageSurface image(200, 40);
        image.clear(ui::Color::black());
        image.context().drawText(bars, {80, 0, 40, 40},
                                 {ui::Font::system(12), ui::Color::white(), ui::TextAlignment::centre, narrow});
        const auto [left, right] = inkedColumns(image, 0, 0, 200, 40);
        if (narrow) {
            EXPECT_GE(left, 80);
            EXPECT_LE(left, 83);
            EXPECT_GE(right, 116);
            EXPECT_LE(right, 119);
        } else {
            EXPECT_EQ(left, -1);
        }
    }
}

TEST(Text, BottomAlignmentPutsTheTextLow) {
    ui::ImageSurface image(100, 100);
    image.clear(ui::Color::black());
    image.context().drawText("0", {0, 0, 100, 100}, {ui::Font::system(12), ui::Color::white(), ui::TextAlignment::centre},
                             true);
    bool inkHigh = false;
    bool inkLow = false;
    for (int y = 0; y < 100; ++y) {
        for (int x = 40; x < 60; ++x) {
            if (image.pixel(x, y).red > 60) (y < 80 ? inkHigh : inkLow) = true;
        }
    }
    EXPECT_FALSE(inkHigh);
    EXPECT_TRUE(inkLow);
}

}  // namespace
