#include "Orvo_Tunedeck_Extension/views/PanelSymbols.h"

#include <numbers>

namespace {
constexpr double degrees(double d) { return d * std::numbers::pi / 180; }
}  // namespace

ui::Path knobPath(double radius) {
    ui::Path path;
    // From just right of the top clockwise round to just left of it: 358 degrees.
    path.addArc({0, 0}, radius, degrees(271), degrees(-91), true);
    path.lineTo({0, 0});
    path.close();
    return path;
}

ui::Path playTrianglePath() {
    ui::Path path;
    path.moveTo({0.25, -7.5});
    path.lineTo({6.96, 3.38});
    path.lineTo({-6.46, 3.38});
    path.close();
    return path;
}

ui::Path folderOutlinePath() {
    constexpr double r = 2.3;
    ui::Path path;
    path.moveTo({-20, 14 - r});
    path.lineTo({-20, -14.6 + r});
    path.curveTo({-20, -13.3}, {-19.3, -14.6}, {-18.24, -14.6});
    path.lineTo({-18.24, -20 + r});
    path.curveTo({-18.24, -19}, {-17.3, -20}, {-18.24 + r, -20});
    path.lineTo({-4.5, -20});
    path.lineTo({0.15, -14.6});
    path.lineTo({20 - r, -14.6});
    path.curveTo({19, -14.6}, {20, -13.6}, {20, -14.6 + r});
    path.lineTo({20, 14 - r});
    path.curveTo({20, 13}, {19, 14}, {20 - r, 14});
    path.lineTo({-20 + r, 14});
    path.curveTo({-19, 14}, {-20, 13}, {-20, 14 - r});
    path.close();
    return path;
}

std::vector<ui::Path> midiGlyphPaths() {
    ui::Path m;
    m.moveTo({-17.2, 1.5});
    m.lineTo({-17.2, -7.7});
    m.lineTo({-15.2, -7.7});
    m.lineTo({-13.05, -4.2});
    m.lineTo({-10.9, -7.7});
    m.lineTo({-8.9, -7.7});
    m.lineTo({-8.9, 1.5});
    m.lineTo({-10.7, 1.5});
    m.lineTo({-10.7, -4.0});
    m.lineTo({-13.05, -0.6});
    m.lineTo({-15.4, -4.0});
    m.lineTo({-15.4, 1.5});
    m.close();

    // The bowl of the D runs the other way round, so that the non-zero fill leaves it open.
    ui::Path d;
    d.moveTo({-4.0, -7.7});
    d.lineTo({0.6, -7.7});
    d.curveTo({3.6, -7.7}, {4.6, -5.6}, {4.6, -3.1});
    d.curveTo({4.6, -0.6}, {3.6, 1.5}, {0.6, 1.5});
    d.lineTo({-4.0, 1.5});
    d.close();
    d.moveTo({-2.2, -0.2});
    d.lineTo({0.5, -0.2});
    d.curveTo({2.2, -0.2}, {2.8, -1.4}, {2.8, -3.1});
    d.curveTo({2.8, -4.8}, {2.2, -6.0}, {0.5, -6.0});
    d.lineTo({-2.2, -6.0});
    d.close();

    return {m, ui::Path::rect({-7.4, -7.7, 1.8, 9.2}), d, ui::Path::rect({9.1, -7.7, 1.8, 9.2})};
}
