#include "Orvo_Tunedeck_Extension/views/TunedeckViewBase.h"
#include "platform/ui/ImageSurface.h"
#include "tests/platform/ui/SurfaceProbe.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr ui::Pixel kSlider{26, 26, 26, 255};
constexpr ui::Pixel kFocus{110, 15, 46, 255};
constexpr ui::Pixel kDimmed{77, 77, 77, 255};

// The panel drawn into a black view of the given size, probed at canvas points.
class PanelPicture {
public:
    PanelPicture(const TunedeckViewBase& state, int width, int height) : base(state), image(width, height) {
        image.clear(ui::Color::black());
        base.drawSymbolControls(image.context(), {0, 0, double(width), double(height)}, ResizingBehavior::aspectFit);
        const ui::Rect fitted = TunedeckViewBase::apply(ResizingBehavior::aspectFit, TunedeckViewBase::canvas,
                                                         {0, 0, double(width), double(height)});
        origin = {fitted.x, fitted.y};
        scale = fitted.width / TunedeckViewBase::canvas.width;
    }

    ::testing::AssertionResult at(double x, double y, ui::Pixel expected, int tolerance = 3) {
        const int px = static_cast<int>(std::floor(origin.x + x * scale));
        const int py = static_cast<int>(std::floor(origin.y + y * scale));
        auto result = pixelNear(image, px, py, expected, tolerance);
        if (!result) keepForInspection();
        return result << " at canvas (" << x << ", " << y << ") scale " << scale;
    }

    TunedeckViewBase base;
    ui::ImageSurface image;
    ui::Point origin;
    double scale = 1;

private:
    void keepForInspection() {
        const char* tmp = std::getenv("TUNEDECK_TEST_TMP");
        if (!tmp) return;
        const auto folder = std::filesystem::path(tmp) / "panel_drawing";
        std::filesystem::create_directories(folder);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        image.writePng(folder / (std::string(info->name()) + "_" + std::to_string(image.width()) + ".png"));
    }
};

class PanelDrawing : public ::testing::TestWithParam<int> {
protected:
    // The canvas at 1x (600 x 500) and at 2x (1200 x 1000).
    int width() const { return 600 * GetParam(); }
    int height() const { return 500 * GetParam(); }
    PanelPicture draw(const TunedeckViewBase& state) const { return PanelPicture(state, width(), height()); }
};

TEST_P(PanelDrawing, RecordsTheScaleIncludingAtTheCanvasSize) {
    PanelPicture picture = draw(TunedeckViewBase{});
    const double s = GetParam();
    EXPECT_EQ(picture.base.TunedeckViewScale, (ui::Size{s, s}));
    EXPECT_TRUE(picture.base.hotspotPlayPath.contains({520, 425}));
}

TEST_P(PanelDrawing, FramesAndMuteLights) {
    TunedeckViewBase state;
    state.isMuted[4] = true;
    PanelPicture picture = draw(state);
    EXPECT_TRUE(picture.at(300, 26, kWhite));   // upper frame
    EXPECT_TRUE(picture.at(300, 375, kWhite));  // lower frame
    EXPECT_TRUE(picture.at(300, 200, kBlack));
    for (int i : {0, 3, 15}) EXPECT_TRUE(picture.at(160 + 24 * i, 188, kWhite)) << i;
    EXPECT_TRUE(picture.at(160 + 24 * 4, 188, kDimmed));
}

TEST_P(PanelDrawing, FocusFrameFollowsTheSelectedChannel) {
    for (int selected : {0, 9, 15}) {
        TunedeckViewBase state;
        state.valueSelected = selected;
        PanelPicture picture = draw(state);
        EXPECT_TRUE(picture.at(147 + 24 * selected, 150, kFocus, 4)) << selected;
        EXPECT_TRUE(picture.at(147 + 24 * ((selected + 5) % 16), 150, kBlack)) << selected;
    }
}

TEST_P(PanelDrawing, LevelMarkerSitsAtItsValue) {
    struct Case {
        double level;
        double markerY;
        double bodyY;
    };
    for (const Case c : {Case{0.8, 214.2, 218}, Case{0, 243, 239}, Case{1, 207, 211}}) {
        TunedeckViewBase state;
        state.valueLevel[2] = c.level;
        PanelPicture picture = draw(state);
        EXPECT_TRUE(picture.at(160 + 48 + 0.5, c.markerY, kWhite)) << c.level;
        EXPECT_TRUE(picture.at(160 + 48 + 0.5, c.bodyY, kSlider)) << c.level;
    }
}

TEST_P(PanelDrawing, ProgressFillAndHandle) {
    TunedeckViewBase state;
    state.colorMain = {1, 0, 0, 1};
    PanelPicture empty = draw(state);
    EXPECT_TRUE(empty.at(200, 425, kBlack));
    EXPECT_TRUE(empty.at(127, 425.5, kWhite));  // the handle at the start

    state.valueProgress = 0.5;
    PanelPicture half = draw(state);
    EXPECT_TRUE(half.at(200, 425, kRed));
    EXPECT_TRUE(half.at(301, 425, kWhite));
    EXPECT_TRUE(half.at(400, 425, kBlack));
}

TEST_P(PanelDrawing, VolumeSliderAndTransposeKnob) {
    TunedeckViewBase state;
    PanelPicture picture = draw(state);
    EXPECT_TRUE(picture.at(86, 176, kWhite));   // volume marker at 0.79
    EXPECT_TRUE(picture.at(75, 240, kSlider));  // volume body
    EXPECT_TRUE(picture.at(86, 95, kWhite));    // transpose pointer straight up at 0.5
    EXPECT_TRUE(picture.at(95, 114, kSlider));

    state.valueTranspose = 1;
    PanelPicture turned = draw(state);
    EXPECT_TRUE(turned.at(86, 95, kSlider));
    EXPECT_TRUE(turned.at(95, 114, kWhite));  // turned 130 degrees clockwise
    EXPECT_TRUE(turned.at(59, 131.35, kWhite));  // end dots
    EXPECT_TRUE(turned.at(115, 131.35, kWhite));
}

TEST_P(PanelDrawing, TouchedControlsAreDrawnLarger) {
    TunedeckViewBase state;
    PanelPicture normal = draw(state);
    EXPECT_TRUE(normal.at(232 + 12, 230, kBlack));
    state.isSliderLevelActive[3] = true;
    PanelPicture enlarged = draw(state);
    EXPECT_TRUE(enlarged.at(232 + 12, 230, kSlider));
}

TEST_P(PanelDrawing, TextsAreInkedInTheirBoxes) {
    const auto inkIn = [](PanelPicture& p, ui::Rect box) {
        int inked = 0;
        for (double y = box.y; y < box.maxY(); y += 1 / p.scale) {
            for (double x = box.x; x < box.maxX(); x += 1 / p.scale) {
                const ui::Pixel px = p.image.pixel(int(p.origin.x + x * p.scale), int(p.origin.y + y * p.scale));
                if (px.red > 100 && px.green > 100) ++inked;
            }
        }
        return inked;
    };
    TunedeckViewBase state;
    PanelPicture picture = draw(state);
    EXPECT_GT(inkIn(picture, {160, 49, 369, 30}), 20);   // display line
    EXPECT_EQ(inkIn(picture, {529.5, 49, 10, 30}), 0);   // right-aligned: nothing past its box
    EXPECT_GT(inkIn(picture, {149, 165, 22, 12}), 5);    // "01"
    EXPECT_GT(inkIn(picture, {128, 442, 100, 10}), 5);   // file name
    EXPECT_GT(inkIn(picture, {87, 330, 120, 20}), 20);   // "MIDI Collection"

    state.isDisplayVisible = false;
    PanelPicture hidden = draw(state);
    EXPECT_EQ(inkIn(hidden, {160, 49, 369, 30}), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, PanelDrawing, ::testing::Values(1, 2));

// Small symbols at four times the canvas size.
TEST(PanelSymbolsLarge, PlayTriangleOrPauseBarsAndPanPointers) {
    TunedeckViewBase stopped;
    stopped.valuePan[5] = 0;
    PanelPicture play(stopped, 2400, 2000);
    EXPECT_TRUE(pixelNear(play.image, 2084, 1702, kWhite));
    for (int i : {0, 1, 15}) EXPECT_TRUE(pixelNear(play.image, 640 + 96 * i, 1036, kWhite)) << i;
    EXPECT_TRUE(pixelNear(play.image, 640 + 96 * 5, 1036, kSlider));  // pan 0 turns the pointer away

    TunedeckViewBase playing;
    playing.isPlaying = true;
    PanelPicture pause(playing, 2400, 2000);
    EXPECT_TRUE(pixelNear(pause.image, 2084, 1702, kBlack));
    EXPECT_TRUE(pixelNear(pause.image, 2078, 1702, kWhite));  // left bar
    EXPECT_TRUE(pixelNear(pause.image, 2090, 1702, kWhite));  // right bar
    for (const PanelPicture* picture : {&play, &pause}) {
        EXPECT_TRUE(pixelNear(picture->image, 2132, 1702, kWhite, 8));  // the ring, in both states
        EXPECT_TRUE(pixelNear(picture->image, 2122, 1702, kBlack));
    }
}

TEST(PanelPlacement, AWideViewCentresTheCanvas) {
    PanelPicture picture(TunedeckViewBase{}, 1200, 500);
    EXPECT_EQ(picture.base.TunedeckViewScale, (ui::Size{1, 1}));
    EXPECT_TRUE(pixelNear(picture.image, 300 + 300, 26, kWhite));
    EXPECT_TRUE(pixelNear(picture.image, 100, 26, kBlack));
}

TEST(PanelPlacement, AZeroFrameDrawsAtScaleOneWithoutRecording) {
    TunedeckViewBase state;
    ui::ImageSurface image(600, 500);
    image.clear(ui::Color::black());
    state.drawSymbolControls(image.context(), {}, ResizingBehavior::aspectFit);
    EXPECT_EQ(state.TunedeckViewScale, (ui::Size{0, 0}));
    EXPECT_TRUE(pixelNear(image, 300, 26, kWhite));
}

}  // namespace

namespace {

struct PngDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};

// The pixel (x, y) of a PNG file read back through cairo, as RGB (the panel is opaque).
ui::Pixel pngPixel(cairo_surface_t* png, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png);
    std::uint32_t argb;
    std::memcpy(&argb, row + 4 * x, sizeof argb);
    return {std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb), std::uint8_t(argb >> 24)};
}

TEST(PanelPng, TheWrittenFileHoldsThePanelAtBothScales) {
    const char* tmp = std::getenv("TUNEDECK_TEST_TMP");
    const auto folder = std::filesystem::path(tmp ? tmp : std::filesystem::temp_directory_path().string()) / "panel_png";
    std::filesystem::create_directories(folder);
    for (const int s : {1, 2}) {
        TunedeckViewBase state;
        state.valueSelected = 3;
        state.isMuted[7] = true;
        PanelPicture picture(state, 600 * s, 500 * s);
        const auto file = folder / ("panel_" + std::to_string(s) + "x.png");
        ASSERT_TRUE(picture.image.writePng(file));
        std::unique_ptr<cairo_surface_t, PngDeleter> png(cairo_image_surface_create_from_png(file.c_str()));
        ASSERT_EQ(cairo_surface_status(png.get()), CAIRO_STATUS_SUCCESS);
        ASSERT_EQ(cairo_image_surface_get_width(png.get()), 600 * s);
        cairo_surface_flush(png.get());
        const auto near = [](ui::Pixel a, ui::Pixel b) {
            return std::abs(a.red - b.red) <= 4 && std::abs(a.green - b.green) <= 4 && std::abs(a.blue - b.blue) <= 4;
        };
        EXPECT_TRUE(near(pngPixel(png.get(), 300 * s, 26 * s), kWhite)) << s;                 // upper frame
        EXPECT_TRUE(near(pngPixel(png.get(), (147 + 72) * s, 150 * s), kFocus)) << s;         // focus on strip 3
        EXPECT_TRUE(near(pngPixel(png.get(), (160 + 168) * s, 188 * s), kDimmed)) << s;       // strip 7 muted
        EXPECT_TRUE(near(pngPixel(png.get(), (160 + 192) * s, 188 * s), kWhite)) << s;        // strip 8 not
        EXPECT_TRUE(near(pngPixel(png.get(), 300 * s, 200 * s), kBlack)) << s;
    }
}

}  // namespace
