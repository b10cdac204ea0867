#include "platform/ui/Slider.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double kThumb = 24;

}  // namespace

Slider::Slider(Rect frame, float minimumValue, float maximumValue)
    : View(frame), minimum_(minimumValue), maximum_(std::max(minimumValue, maximumValue)), value_(minimumValue) {}

void Slider::setValue(float value) {
    value_ = std::clamp(value, minimum_, maximum_);
    setNeedsDisplay();
}

void Slider::draw(GraphicsContext& ctx, Rect) {
    const Rect b = bounds();
    const double track = std::max(0.0, b.width - kThumb);
    const double fraction = maximum_ > minimum_ ? (value_ - minimum_) / (maximum_ - minimum_) : 0;
    const double x = kThumb / 2 + fraction * track;
    const double y = b.height / 2;
    ctx.fill(Path::roundedRect({kThumb / 2, y - 2, track, 4}, 2), Color::lightGray());
    ctx.fill(Path::roundedRect({kThumb / 2, y - 2, x - kThumb / 2, 4}, 2), Color{0, 0.48, 1, isEnabled ? 1.0 : 0.4});
    ctx.fill(Path::oval({x - kThumb / 2, y - kThumb / 2, kThumb, kThumb}), Color::white());
    ctx.stroke(Path::oval({x - kThumb / 2, y - kThumb / 2, kThumb, kThumb}), Color::lightGray(), {});
}

void Slider::touchesBegan(const std::vector<Touch>& touches) {
    follow(touches.front().location);
}

void Slider::touchesMoved(const std::vector<Touch>& touches) {
    follow(touches.front().location);
}

void Slider::follow(Point p) {
    if (!isEnabled) return;
    const double track = bounds().width - kThumb;
    const double fraction = track > 0 ? std::clamp((p.x - kThumb / 2) / track, 0.0, 1.0) : 0;
    const float value = minimum_ + static_cast<float>(fraction) * (maximum_ - minimum_);
    if (value == value_) return;
    setValue(value);
    if (valueChanged) valueChanged(*this);
}

}  // namespace ui
