#pragma once

// Colours of the drawing layer: sRGB components and alpha, each 0 to 1, composited source-over.
// Plain values; usable from any thread.
namespace ui {

struct Hsba {
    double hue = 0;         // 0 to 1 (a full turn)
    double saturation = 0;  // 0 to 1
    double brightness = 0;  // 0 to 1
    double alpha = 0;       // 0 to 1
};

struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 0;  // a default colour is transparent black: it paints nothing

    Color withAlpha(double newAlpha) const { return {red, green, blue, newAlpha}; }

    // Standard HSV conversion; a hue outside 0 to 1 wraps, the other components are clamped to 0 to 1.
    static Color fromHsba(Hsba hsba);
    Hsba toHsba() const;

    static constexpr Color white() { return {1, 1, 1, 1}; }
    static constexpr Color black() { return {0, 0, 0, 1}; }
    static constexpr Color lightGray() { return {2.0 / 3, 2.0 / 3, 2.0 / 3, 1}; }
    static constexpr Color darkGray() { return {1.0 / 3, 1.0 / 3, 1.0 / 3, 1}; }
    static constexpr Color gray() { return {0.5, 0.5, 0.5, 1}; }
    static constexpr Color orange() { return {1, 0.5, 0, 1}; }
    static constexpr Color clear() { return {0, 0, 0, 0}; }

    friend bool operator==(const Color&, const Color&) = default;
};

}  // namespace ui
