#include "Orvo_Tunedeck_Extension/views/TunedeckViewBase.h"
#include "tests/Orvo_Tunedeck_Extension/views/CatalogueHost.h"

#include <gtest/gtest.h>

namespace {

TEST(TunedeckViewBase, StartsWithChannelNineSelectedAndNoScale) {
    const TunedeckViewBase base;
    EXPECT_EQ(base.valueSelected, 9);
    EXPECT_EQ(base.valueDisplay, "CH 01: 000/000 - 000 Grand Piano");
    EXPECT_EQ(base.TunedeckViewScale, (ui::Size{0, 0}));
    EXPECT_EQ(base.valuePan[15], 0.5);
    EXPECT_EQ(base.valueLevel[0], 0.8);
    EXPECT_EQ(base.valueMainVolume, 0.79);
    EXPECT_EQ(base.valueLabelFile, "file.mid");
    EXPECT_EQ(base.colorFocus, (ui::Color{0.431, 0.057, 0.179, 1}));
    EXPECT_TRUE(base.hotspotProgramPath.isEmpty());
}

struct DisplayCase {
    const char* name;
    bool host;
    bool audioUnit;
    int selected;
    const char* expected;
};

TEST(TunedeckViewBase, FormatDisplayCaptionsTheSelectedChannel) {
    const DisplayCase cases[] = {
        {"channel 3 program 4", true, true, 3, "CH 04 : 000/000 - 004 : E.Piano 1"},
        {"drum channel ignores its banks", true, true, 9, "CH 10 : 127/127 - 025 : TR-808"},
        {"channel 16", true, true, 16, "unchanged"},
        {"channel -1", true, true, -1, "unchanged"},
        {"no audio unit", true, false, 3, "unchanged"},
        {"no view controller", false, false, 3, "unchanged"},
    };
    for (const auto& c : cases) {
        CatalogueHost host(c.audioUnit);
        TunedeckViewBase base;
        if (c.host) base.viewController = &host;
        base.valueDisplay = "unchanged";
        base.valueSelected = c.selected;
        base.program[3] = 4;
        base.bankMSB[3] = 0;
        base.program[9] = 25;
        base.bankMSB[9] = 8;
        base.bankLSB[9] = 1;
        base.formatDisplay();
        EXPECT_EQ(base.valueDisplay, c.expected) << c.name;
    }
}

TEST(TunedeckViewBase, ResetRestoresThePlayingStateOnly) {
    CatalogueHost host(true);
    TunedeckViewBase base;
    base.viewController = &host;
    base.valueProgress = 0.6;
    base.valueMainVolume = 0.1;
    base.valueTranspose = 0.9;
    base.valuePan[4] = 0.1;
    base.valueLevel[5] = 0.2;
    base.isMuted[6] = true;
    base.program[2] = 40;
    base.bankMSB[2] = 8;
    base.valueLabelFile = "song.mid";
    base.isPlaying = true;
    base.isKnobPanActive[1] = true;
    base.TunedeckViewScale = {2, 2};

    base.reset();
    EXPECT_EQ(base.valueSelected, 0);
    EXPECT_EQ(base.valueProgress, 0);
    EXPECT_EQ(base.valueMainVolume, 0.79);
    EXPECT_EQ(base.valueTranspose, 0.5);
    EXPECT_EQ(base.valuePan[4], 0.5);
    EXPECT_EQ(base.valueLevel[5], 0.8);
    EXPECT_FALSE(base.isMuted[6]);
    EXPECT_EQ(base.valueDisplay, host.catalogue->formatInstrumentName(0, 0, 0, 0));
    EXPECT_EQ(base.valueDisplay.rfind("CH 01 : 000/000 - 000 : Piano 1", 0), 0u);
    EXPECT_EQ(base.program[2], 40);
    EXPECT_EQ(base.bankMSB[2], 8);
    EXPECT_EQ(base.valueLabelFile, "song.mid");
    EXPECT_TRUE(base.isPlaying);
    EXPECT_TRUE(base.isKnobPanActive[1]);
    EXPECT_EQ(base.TunedeckViewScale, (ui::Size{2, 2}));

    base.viewController = nullptr;
    base.reset();
    EXPECT_EQ(base.valueDisplay, "000/000 - 000 : Program");
}

TEST(TunedeckViewBase, ApplyWithAnInstanceRecordsTheScaleOnlyWhenFitting) {
    TunedeckViewBase base;
    const ui::Rect canvas = TunedeckViewBase::canvas;
    EXPECT_EQ(TunedeckViewBase::apply(ResizingBehavior::aspectFit, canvas, canvas, base), canvas);
    EXPECT_EQ(TunedeckViewBase::apply(ResizingBehavior::aspectFit, canvas, {}, base), canvas);
    EXPECT_EQ(base.TunedeckViewScale, (ui::Size{0, 0}));
    EXPECT_EQ(TunedeckViewBase::apply(ResizingBehavior::aspectFit, canvas, {0, 0, 1200, 500}, base),
              (ui::Rect{300, 0, 600, 500}));
    EXPECT_EQ(base.TunedeckViewScale, (ui::Size{1, 1}));
    TunedeckViewBase::apply(ResizingBehavior::stretch, canvas, {0, 0, 1200, 1000});
    EXPECT_EQ(base.TunedeckViewScale, (ui::Size{1, 1}));
}

}  // namespace
