#include "platform/ui/Label.h"

#include <utility>

namespace ui {

Label::Label(Rect frame, std::string text) : View(frame), text_(std::move(text)) {
    userInteractionEnabled = false;
}

void Label::setText(std::string text) {
    text_ = std::move(text);
    setNeedsDisplay();
}

void Label::draw(GraphicsContext& ctx, Rect) {
    if (!text_.empty()) ctx.drawText(text_, bounds(), {font, textColor, alignment});
}

}  // namespace ui
