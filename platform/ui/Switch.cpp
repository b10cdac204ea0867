#include "platform/ui/Switch.h"

#include <algorithm>

namespace ui {

Switch::Switch(Rect frame) : View(frame) {}

void Switch::setOn(bool on) {
    on_ = on;
    setNeedsDisplay();
}

void Switch::toggle() {
    setOn(!on_);
    if (valueChanged) valueChanged(*this);
}

void Switch::draw(GraphicsContext& ctx, Rect) {
    const Rect b = bounds();
    const double radius = std::min(b.width, b.height) / 2;
    ctx.fill(Path::roundedRect(b, radius), on_ ? Color{0.2, 0.78, 0.35, 1} : Color::lightGray());
    const double knob = 2 * radius - 4;
    const double x = on_ ? b.width - knob - 2 : 2;
    ctx.fill(Path::oval({x, 2, knob, knob}), Color::white());
}

void Switch::touchesEnded(const std::vector<Touch>& touches) {
    if (bounds().contains(touches.front().location)) toggle();
}

}  // namespace ui
