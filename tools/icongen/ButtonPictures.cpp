#include "tools/icongen/ButtonPictures.h"

#include "platform/ui/ImageSurface.h"
#include "platform/ui/Path.h"

#include <array>
#include <cmath>
#include <numbers>
#include <system_error>

namespace icongen {

namespace {

using ui::Path;
using ui::Point;
using ui::Rect;

// Light strokes for the dark background of the views, on a 96-pixel square.
constexpr ui::Color kInk{0.92, 0.92, 0.95, 1};
constexpr ui::Color kAccent{0.35, 0.78, 1.0, 1};
const ui::StrokeStyle kLine{7, ui::LineCap::round, ui::LineJoin::round, 10};
const ui::StrokeStyle kThin{5, ui::LineCap::round, ui::LineJoin::round, 10};

Path polygon(std::initializer_list<Point> points) {
    Path path;
    bool first = true;
    for (const Point p : points) {
        if (first) {
            path.moveTo(p);
        } else {
            path.lineTo(p);
        }
        first = false;
    }
    path.close();
    return path;
}

Path line(Point from, Point to) {
    Path path;
    path.moveTo(from);
    path.lineTo(to);
    return path;
}

void play(ui::GraphicsContext& ctx) {
    const Path triangle = polygon({{30, 20}, {78, 48}, {30, 76}});
    ctx.fill(triangle, kInk);
    ctx.stroke(triangle, kInk, kThin);
}

void pause(ui::GraphicsContext& ctx) {
    ctx.fill(Path::roundedRect({24, 20, 16, 56}, 3), kInk);
    ctx.fill(Path::roundedRect({56, 20, 16, 56}, 3), kInk);
}

void stop(ui::GraphicsContext& ctx) { ctx.fill(Path::roundedRect({24, 24, 48, 48}, 5), kInk); }

// An open folder with an arrow going into it.
void load(ui::GraphicsContext& ctx) {
    ctx.stroke(polygon({{14, 36}, {14, 80}, {82, 80}, {82, 42}, {46, 42}, {40, 36}}), kInk, kThin);
    ctx.stroke(line({48, 10}, {48, 62}), kAccent, kLine);
    ctx.stroke(polygon({{34, 50}, {48, 64}, {62, 50}}), kAccent, kThin);
}

// A tuning fork.
void test(ui::GraphicsContext& ctx) {
    Path fork;
    fork.moveTo({34, 14});
    fork.lineTo({34, 50});
    fork.addArc({48, 50}, 14, std::numbers::pi, 0, false);
    fork.lineTo({62, 14});
    ctx.stroke(fork, kInk, kLine);
    ctx.stroke(line({48, 64}, {48, 84}), kInk, kLine);
}

// A snowflake: three crossing bars with small branches.
void freeze(ui::GraphicsContext& ctx) {
    for (int i = 0; i < 3; ++i) {
        const double a = i * std::numbers::pi / 3;
        const Point tip{48 + 36 * std::cos(a), 48 + 36 * std::sin(a)};
        const Point tail{48 - 36 * std::cos(a), 48 - 36 * std::sin(a)};
        ctx.stroke(line(tip, tail), kInk, kThin);
        for (const Point end : {tip, tail}) {
            const Point mid{48 + (end.x - 48) * 0.6, 48 + (end.y - 48) * 0.6};
            for (const double side : {-1.0, 1.0}) {
                const double b = std::atan2(end.y - 48, end.x - 48) + side * std::numbers::pi / 4;
                ctx.stroke(line(mid, {mid.x + 12 * std::cos(b), mid.y + 12 * std::sin(b)}), kInk, kThin);
            }
        }
    }
}

// A switch: a rounded track with its knob to one side.
void toggle(ui::GraphicsContext& ctx) {
    ctx.stroke(Path::roundedRect({12, 30, 72, 36}, 18), kInk, kThin);
    ctx.fill(Path::oval({52, 36, 24, 24}), kAccent);
}

// A circle, half filled.
void contrast(ui::GraphicsContext& ctx) {
    ctx.stroke(Path::oval({14, 14, 68, 68}), kInk, kThin);
    Path half;
    half.addArc({48, 48}, 34, -std::numbers::pi / 2, std::numbers::pi / 2, true);
    half.close();
    ctx.fill(half, kInk);
}

// A page with a folded corner and lines of text.
void files(ui::GraphicsContext& ctx) {
    ctx.stroke(polygon({{22, 10}, {60, 10}, {76, 26}, {76, 86}, {22, 86}}), kInk, kThin);
    for (const double y : {40.0, 54.0, 68.0}) ctx.stroke(line({34, y}, {64, y}), kInk, kThin);
}

// Three sliders with their knobs.
void config(ui::GraphicsContext& ctx) {
    const std::array<double, 3> knobs{30, 62, 44};
    for (int i = 0; i < 3; ++i) {
        const double y = 24 + i * 24;
        ctx.stroke(line({14, y}, {82, y}), kInk, kThin);
        ctx.fill(Path::oval({knobs[static_cast<std::size_t>(i)] - 8, y - 8, 16, 16}), kAccent);
    }
}

// The instrument's view: a panel with strips.
void instrument(ui::GraphicsContext& ctx) {
    ctx.stroke(Path::roundedRect({10, 18, 76, 60}, 6), kInk, kThin);
    for (int i = 0; i < 5; ++i) {
        const double x = 24 + i * 12;
        ctx.stroke(line({x, 30}, {x, 66}), kInk, {4, ui::LineCap::round, ui::LineJoin::round, 10});
        ctx.fill(Path::oval({x - 4, 56.0 - i * 6, 8, 8}), kAccent);
    }
}

// A question mark in a circle.
void help(ui::GraphicsContext& ctx) {
    ctx.stroke(Path::oval({8, 8, 80, 80}), kInk, kThin);
    Path hook;
    hook.addArc({48, 38}, 13, std::numbers::pi, std::numbers::pi * 2.4, true);
    hook.lineTo({48, 58});
    ctx.stroke(hook, kInk, kLine);
    ctx.fill(Path::oval({43, 66, 10, 10}), kInk);
}

// An "i" in a circle.
void info(ui::GraphicsContext& ctx) {
    ctx.stroke(Path::oval({8, 8, 80, 80}), kInk, kThin);
    ctx.fill(Path::oval({43, 22, 10, 10}), kInk);
    ctx.stroke(line({48, 42}, {48, 72}), kInk, kLine);
}

constexpr std::array kPictures{
    ButtonPicture{"Play Icon", &play},        ButtonPicture{"Pause Icon", &pause},
    ButtonPicture{"Stop Icon", &stop},        ButtonPicture{"Load Icon", &load},
    ButtonPicture{"Test Icon", &test},        ButtonPicture{"Freeze Icon", &freeze},
    ButtonPicture{"Toggle Icon", &toggle},    ButtonPicture{"Contrast Icon", &contrast},
    ButtonPicture{"Files Icon", &files},      ButtonPicture{"Config Icon", &config},
    ButtonPicture{"Instrument Icon", &instrument}, ButtonPicture{"Help Icon", &help},
    ButtonPicture{"Info Icon", &info},
};

}  // namespace

std::span<const ButtonPicture> buttonPictures() { return kPictures; }

std::filesystem::path picturePath(const std::filesystem::path& resources, const std::string& name) {
    return resources / "icons" / (name + ".png");
}

std::string writeButtonPictures(const std::filesystem::path& resources) {
    std::error_code error;
    std::filesystem::create_directories(resources / "icons", error);
    if (error) return "cannot make " + (resources / "icons").string() + ": " + error.message();
    for (const ButtonPicture& picture : kPictures) {
        ui::ImageSurface surface(kPictureSize, kPictureSize);
        picture.draw(surface.context());
        const auto file = picturePath(resources, picture.name);
        if (!surface.writePng(file)) return "cannot write " + file.string();
    }
    return {};
}

std::string writeApplicationIcon(const std::filesystem::path& resources) {
    constexpr double kScale = static_cast<double>(kApplicationIconSize) / kPictureSize;
    constexpr ui::Color kDark{0.08, 0.09, 0.11, 1};
    ui::ImageSurface surface(kApplicationIconSize, kApplicationIconSize);
    ui::GraphicsContext& ctx = surface.context();
    ctx.scaleBy(kScale, kScale);
    ctx.fill(Path::roundedRect({2, 2, 92, 92}, 18), kDark);
    instrument(ctx);
    const auto file = picturePath(resources, kApplicationIconName);
    return surface.writePng(file) ? std::string() : "cannot write " + file.string();
}

}  // namespace icongen
