#include "Orvo_Tunedeck_Extension/views/ResizingBehavior.h"

#include <algorithm>
#include <cmath>

std::optional<ResizingBehavior> resizingBehaviorFromRaw(int raw) {
    if (raw < 0 || raw > 3) return std::nullopt;
    return static_cast<ResizingBehavior>(raw);
}

FittedCanvas fitCanvas(ui::Rect canvas, ui::Rect rawTarget, ResizingBehavior behavior) {
    if (canvas == rawTarget || rawTarget.isZero()) return {canvas, std::nullopt};
    // Extents are measured as magnitudes, so a target given with a negative size fits like its standard form.
    const ui::Rect target = rawTarget.standardized();
    double sx = std::abs(target.width / canvas.width);
    double sy = std::abs(target.height / canvas.height);
    switch (behavior) {
        case ResizingBehavior::aspectFit: sx = sy = std::min(sx, sy); break;
        case ResizingBehavior::aspectFill: sx = sy = std::max(sx, sy); break;
        case ResizingBehavior::stretch: break;
        case ResizingBehavior::center: sx = sy = 1; break;
    }
    const ui::Rect standard = canvas.standardized();
    ui::Rect result{0, 0, standard.width * sx, standard.height * sy};
    result.x = target.minX() + (target.width - result.width) / 2;
    result.y = target.minY() + (target.height - result.height) / 2;
    return {result, ui::Size{sx, sy}};
}
