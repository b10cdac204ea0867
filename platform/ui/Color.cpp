#include "platform/ui/Color.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {
double clamp01(double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); }
}  // namespace

Color Color::fromHsba(Hsba hsba) {
    double h = std::isfinite(hsba.hue) ? hsba.hue - std::floor(hsba.hue) : 0.0;
    const double s = clamp01(hsba.saturation);
    const double v = clamp01(hsba.brightness);
    const double a = clamp01(hsba.alpha);
    const double sector = h * 6;
    const int index = static_cast<int>(sector) % 6;
    const double f = sector - std::floor(sector);
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (index) {
        case 0: return {v, t, p, a};
        case 1: return {q, v, p, a};
        case 2: return {p, v, t, a};
        case 3: return {p, q, v, a};
        case 4: return {t, p, v, a};
        default: return {v, p, q, a};
    }
}

Hsba Color::toHsba() const {
    const double maxC = std::max({red, green, blue});
    const double minC = std::min({red, green, blue});
    const double delta = maxC - minC;
    Hsba out{0, maxC > 0 ? delta / maxC : 0, maxC, alpha};
    if (delta > 0) {
        double h = 0;
        if (maxC == red) {
            h = (green - blue) / delta;
        } else if (maxC == green) {
            h = 2 + (blue - red) / delta;
        } else {
            h = 4 + (red - green) / delta;
        }
        h /= 6;
        out.hue = h < 0 ? h + 1 : h;
    }
    return out;
}

}  // namespace ui
