#include "Orvo_Tunedeck_Extension/views/TunedeckViewBase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Names of every touch area containing the point, in the order the areas are listed.
std::vector<std::string> areasAt(const TunedeckViewBase& base, ui::Point p) {
    std::vector<std::string> names;
    for (int i = 0; i < TunedeckViewBase::channelCount; ++i) {
        const std::string n = std::to_string(i);
        if (base.hotspotBarsPath[i].contains(p)) names.push_back("bar" + n);
        if (base.hotspotMutePath[i].contains(p)) names.push_back("mute" + n);
        if (base.hotspotSliderPath[i].contains(p)) names.push_back("slider" + n);
        if (base.hotspotKnobPath[i].contains(p)) names.push_back("knob" + n);
    }
    const std::pair<const char*, const ui::Path*> globals[] = {
        {"transpose", &base.hotspotTransposePath}, {"volume", &base.hotspotVolumePath},
        {"file", &base.hotspotFilePath},           {"progress", &base.hotspotProgressPath},
        {"play", &base.hotspotPlayPath},           {"sync", &base.hotspotSyncPath},
        {"panic", &base.hotspotPanicPath},         {"caption1", &base.hotspotCaption1Path},
        {"caption2", &base.hotspotCaption2Path},   {"program", &base.hotspotProgramPath},
    };
    for (const auto& [name, path] : globals) {
        if (path->contains(p)) names.push_back(name);
    }
    return names;
}

struct HitCase {
    ui::Point point;
    std::vector<std::string> expected;
};

TEST(TunedeckHotspots, PointsLandInTheirAreas) {
    TunedeckViewBase base;
    base.drawSymbolHotspots(TunedeckViewBase::canvas, ResizingBehavior::stretch);
    const HitCase cases[] = {
        {{150, 100}, {"bar0"}},        {{150, 60}, {"bar0", "program"}}, {{160, 188}, {"mute0"}},
        {{160, 264}, {"knob0"}},       {{520, 240}, {"slider15"}},       {{86, 107}, {"transpose"}},
        {{86, 200}, {"volume"}},       {{75, 425}, {"file"}},            {{300, 425}, {"progress"}},
        {{520, 425}, {"play"}},        {{150, 340}, {"sync"}},           {{281, 340}, {"panic"}},
        {{40, 340}, {"caption1"}},     {{450, 340}, {"caption2"}},       {{590, 490}, {}},
        {{160, 156}, {"mute0"}},       {{172, 100}, {"bar1"}},           {{531.9, 282.9}, {"knob15"}},
        {{160, 283}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(areasAt(base, c.point), c.expected) << c.point.x << "," << c.point.y;
    }
}

TEST(TunedeckHotspots, NothingIsHitBeforeTheFirstDrawing) {
    const TunedeckViewBase base;
    EXPECT_TRUE(areasAt(base, {150, 60}).empty());
    EXPECT_TRUE(areasAt(base, {300, 425}).empty());
}

TEST(TunedeckHotspots, ChannelAreasRepeatEveryTwentyFourUnits) {
    TunedeckViewBase base;
    base.drawSymbolHotspots(TunedeckViewBase::canvas, ResizingBehavior::stretch);
    for (int i = 0; i < TunedeckViewBase::channelCount; ++i) {
        const double x = 148 + 24.0 * i;
        EXPECT_EQ(base.hotspotBarsPath[i].rectangle(), (ui::Rect{x, 50, 24, 106}));
        EXPECT_EQ(base.hotspotMutePath[i].rectangle(), (ui::Rect{x, 156, 24, 38}));
        EXPECT_EQ(base.hotspotSliderPath[i].rectangle(), (ui::Rect{x, 194, 24, 51}));
        EXPECT_EQ(base.hotspotKnobPath[i].rectangle(), (ui::Rect{x, 245, 24, 38}));
    }
}

TEST(TunedeckHotspots, RebuildingWithTheCanvasKeepsTheRecordedScale) {
    TunedeckViewBase base;
    base.TunedeckViewScale = {2, 2};
    base.drawSymbolHotspots(TunedeckViewBase::canvas, ResizingBehavior::stretch);
    EXPECT_EQ(base.TunedeckViewScale, (ui::Size{2, 2}));
    base.drawSymbolHotspots({0, 0, 300, 1000}, ResizingBehavior::stretch);
    EXPECT_EQ(base.TunedeckViewScale, (ui::Size{0.5, 2}));
}

}  // namespace
