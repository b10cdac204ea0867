#pragma once

#include <string>

namespace ui {

// A font request: a family as fontconfig knows it, a weight, a stretch and a size in drawing units.
// Plain value; usable from any thread.
struct Font {
    std::string family = "DejaVu Sans";
    bool bold = false;
    bool condensed = false;
    double size = 14;

    // The size the views use for "standard" text.
    static constexpr double systemFontSize = 14;

    static Font system(double size) { return {"DejaVu Sans", false, false, size}; }
    // Maps the view designs' font names to fonts present on Linux; an unknown name gives the system font.
    static Font named(const std::string& name, double size);

    friend bool operator==(const Font&, const Font&) = default;
};

enum class TextAlignment { left, centre, right };

}  // namespace ui
