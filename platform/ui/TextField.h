#pragma once

#include "platform/ui/View.h"

#include <string>

namespace ui {

// A one-line text entry of a form or an alert. Typing is a back end's job; screens and tests set and read the text.
//
// Thread contract: main thread only.
class TextField : public View {
public:
    explicit TextField(Rect frame = {});

    const std::string& text() const { return text_; }
    void setText(std::string text);
    std::string placeholder;

    void draw(GraphicsContext& ctx, Rect dirty) override;

private:
    std::string text_;
};

}  // namespace ui
