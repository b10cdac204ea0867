#pragma once

#include "platform/ui/View.h"

#include <string>

namespace ui {

// One line of text in a view: font, colour and horizontal alignment; vertically centred, cut at the bounds.
// Like every decoration it takes no touches of its own (userInteractionEnabled starts false).
//
// Thread contract: main thread only.
class Label : public View {
public:
    explicit Label(Rect frame = {}, std::string text = {});

    const std::string& text() const { return text_; }
    void setText(std::string text);

    Font font = Font::system(Font::systemFontSize);
    Color textColor = Color::black();
    TextAlignment alignment = TextAlignment::left;

    void draw(GraphicsContext& ctx, Rect dirty) override;

private:
    std::string text_;
};

}  // namespace ui
