#include "platform/ui/Button.h"

#include <utility>

namespace ui {

Button::Button(Rect frame, std::string title) : View(frame), title_(std::move(title)) {}

void Button::setTitle(std::string title) {
    title_ = std::move(title);
    setNeedsDisplay();
}

void Button::setTitleColor(Color color) {
    titleColor_ = color;
    setNeedsDisplay();
}

void Button::setImageName(std::string name) {
    imageName_ = std::move(name);
    setNeedsDisplay();
}

void Button::sendAction() {
    if (isEnabled && action) action(*this);
}

const std::shared_ptr<ImageView>& Button::imageView() {
    if (!imageView_) {
        imageView_ = std::make_shared<ImageView>(bounds());
        addSubview(imageView_);
    }
    return imageView_;
}

double Button::shownOpacity() const { return alpha * (pressed_ ? 0.5 : 1) * (isEnabled ? 1 : 0.4); }

void Button::draw(GraphicsContext& ctx, Rect) {
    if (imageView_) imageView_->alpha = shownOpacity();
    if (title_.empty()) return;
    Color color = titleColor_;
    color.alpha *= shownOpacity();
    ctx.drawText(title_, bounds(), {font, color, TextAlignment::centre, true});
}

void Button::touchesBegan(const std::vector<Touch>&) {
    pressed_ = isEnabled;
    setNeedsDisplay();
}

void Button::touchesEnded(const std::vector<Touch>& touches) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    setNeedsDisplay();
    if (wasPressed && bounds().contains(touches.front().location)) sendAction();
}

void Button::touchesCancelled(const std::vector<Touch>&) {
    pressed_ = false;
    setNeedsDisplay();
}

}  // namespace ui
