#include "Orvo_Tunedeck_Extension/views/TunedeckOverlay.h"
#include "platform/ui/ImageSurface.h"
#include "shared/midievents/NoteNames.h"
#include "tests/platform/ui/SurfaceProbe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// Draws the overlay once into a black picture of the given size.
std::unique_ptr<ui::ImageSurface> drawOnce(TunedeckOverlay& overlay, int width, int height) {
    auto image = std::make_unique<ui::ImageSurface>(width, height);
    image->clear(ui::Color::black());
    overlay.setFrame({0, 0, double(width), double(height)});
    overlay.draw(image->context(), overlay.bounds());
    return image;
}

TEST(TunedeckOverlay, NotesRaiseTheBarAndCountHeldNotes) {
    TunedeckOverlay overlay;
    overlay.setNote(3, 60, 127);
    EXPECT_EQ(overlay.baseClass.valueNotes[3], 1.0);
    EXPECT_EQ(overlay.baseClass.heldNotes(3), 1);
    EXPECT_EQ(overlay.baseClass.noteName(3), noteNames().values[60]);
    overlay.setNote(3, 62, 64);
    EXPECT_EQ(overlay.baseClass.valueNotes[3], 1.0);
    EXPECT_EQ(overlay.baseClass.heldNotes(3), 2);
    overlay.setNote(3, 62, 0);
    EXPECT_EQ(overlay.baseClass.heldNotes(3), 1);
    EXPECT_EQ(overlay.baseClass.noteName(3), "---");

    overlay.setNote(4, 200, 10);
    EXPECT_EQ(overlay.baseClass.noteName(4), noteNames().values[127]);
    overlay.setNote(5, 60, 0);
    EXPECT_EQ(overlay.baseClass.heldNotes(5), 0);

    overlay.setNotesOff(4);
    EXPECT_EQ(overlay.baseClass.heldNotes(4), 0);
    EXPECT_GT(overlay.baseClass.valueNotes[4], 0);
}

TEST(TunedeckOverlay, HighChannelsActOnFifteenUnlessFiltered) {
    TunedeckOverlay overlay;
    ui::ImageSurface image(1, 1);
    overlay.drawHierarchy(image.context());
    overlay.setController(20, 127);
    EXPECT_EQ(overlay.baseClass.valueControllers[15], 1.0);
    EXPECT_TRUE(overlay.needsDisplay());

    overlay.drawHierarchy(image.context());
    overlay.channelFilter = {20, 2};
    overlay.setNote(20, 60, 127);
    overlay.setController(2, 127);
    overlay.setNotesOff(20);
    EXPECT_EQ(overlay.baseClass.valueNotes[15], 0.0);
    EXPECT_EQ(overlay.baseClass.valueControllers[2], 0.0);
    EXPECT_FALSE(overlay.needsDisplay());
    overlay.setNote(15, 60, 127);  // the filter compares the raw channel
    EXPECT_EQ(overlay.baseClass.valueNotes[15], 1.0);
}

TEST(TunedeckOverlay, BarsDecayPerDrawingPassToZero) {
    TunedeckOverlay overlay;
    overlay.setNote(0, 60, 127);
    overlay.setController(1, 127);
    ui::ImageSurface image(60, 33);
    for (int pass = 1; pass <= 100; ++pass) {
        overlay.draw(image.context(), overlay.bounds());
        if (pass == 24) {
            EXPECT_GT(overlay.baseClass.valueControllers[1], 0);
        }
        if (pass == 25) {
            EXPECT_EQ(overlay.baseClass.valueControllers[1], 0);
        }
        if (pass == 99) {
            EXPECT_GT(overlay.baseClass.valueNotes[0], 0);
        }
    }
    EXPECT_EQ(overlay.baseClass.valueNotes[0], 0);
    overlay.draw(image.context(), overlay.bounds());
    EXPECT_EQ(overlay.baseClass.valueNotes[0], 0);
}

TEST(TunedeckOverlay, ResetEmptiesBarsButKeepsCountsAndAsksNoRedraw) {
    TunedeckOverlay overlay;
    overlay.setNote(7, 60, 100);
    ui::ImageSurface image(1, 1);
    overlay.drawHierarchy(image.context());
    overlay.reset();
    EXPECT_FALSE(overlay.needsDisplay());
    EXPECT_EQ(overlay.baseClass.valueNotes[7], 0);
    EXPECT_EQ(overlay.baseClass.noteName(7), "---");
    EXPECT_EQ(overlay.baseClass.heldNotes(7), 1);
}

TEST(TunedeckOverlay, ChannelColoursGoRoundTheHueCircle) {
    EXPECT_EQ(TunedeckOverlayBase{}.channelColors[0], ui::Color{});
    const TunedeckOverlay overlay;
    const auto& colors = overlay.baseClass.channelColors;
    const ui::Color expected[] = {{0.8, 0.4, 0.4, 0.75}, {0.8, 0.55, 0.4, 0.75}, {0.45, 0.4, 0.8, 0.75}};
    const int channels[] = {0, 1, 11};
    for (int k = 0; k < 3; ++k) {
        const ui::Color c = colors[channels[k]];
        EXPECT_NEAR(c.red, expected[k].red, 1e-9) << channels[k];
        EXPECT_NEAR(c.green, expected[k].green, 1e-9) << channels[k];
        EXPECT_NEAR(c.blue, expected[k].blue, 1e-9) << channels[k];
        EXPECT_EQ(c.alpha, 0.75);
    }
}

TEST(TunedeckOverlay, ScaleIsRecordedOnlyWhenFitting) {
    TunedeckOverlay overlay;
    drawOnce(overlay, 600, 328);
    EXPECT_EQ(overlay.baseClass.TunedeckOverlayScale, (ui::Size{0, 0}));
    drawOnce(overlay, 1200, 656);
    EXPECT_EQ(overlay.baseClass.TunedeckOverlayScale, (ui::Size{2, 2}));
}

struct BarCase {
    const char* name;
    bool note;
    bool controller;
    ui::Point probe;
    ui::Pixel expected;
};

class OverlayBars : public ::testing::TestWithParam<int> {};

TEST_P(OverlayBars, StandOnTheBaseLineInTheChannelColour) {
    const int s = GetParam();
    const BarCase cases[] = {
        {"note bar", true, false, {167, 150}, {153, 77, 77, 255}},
        {"above a note bar", true, false, {167, 55}, kBlack},
        {"controller bar", false, true, {160, 150}, {153, 77, 77, 255}},
        {"beside a controller bar", false, true, {167, 150}, kBlack},
        {"both bars", true, true, {160, 150}, {191, 96, 96, 255}},
        {"below the base line", true, true, {160, 161}, kBlack},
    };
    for (const auto& c : cases) {
        TunedeckOverlay overlay;
        if (c.note) overlay.setNote(0, 60, 127);
        if (c.controller) overlay.setController(0, 127);
        const auto image = drawOnce(overlay, 600 * s, 328 * s);
        EXPECT_TRUE(pixelNear(*image, int(c.probe.x * s), int(c.probe.y * s), c.expected)) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, OverlayBars, ::testing::Values(1, 2));

TEST(TunedeckOverlay, HiddenOverlayDrawsNothing) {
    TunedeckOverlay overlay({0, 0, 600, 328});
    overlay.setNote(0, 60, 127);
    overlay.setHidden(true);
    ui::ImageSurface image(600, 328);
    image.clear(ui::Color::black());
    overlay.drawHierarchy(image.context());
    EXPECT_TRUE(pixelNear(image, 167, 150, kBlack));
    EXPECT_EQ(overlay.baseClass.valueNotes[0], 1.0);
}

}  // namespace
