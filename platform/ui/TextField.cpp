#include "platform/ui/TextField.h"

#include <utility>

namespace ui {

namespace {

TextField::EditorFactory& editorFactory() {
    static TextField::EditorFactory instance;
    return instance;
}

}  // namespace

TextField::TextField(Rect frame) : View(frame) {
    if (editorFactory()) editor_ = editorFactory()(*this);
}

TextField::~TextField() = default;

void TextField::setEditorFactory(EditorFactory factory) {
    editorFactory() = std::move(factory);
}

void TextField::setText(std::string text) {
    text_ = std::move(text);
    if (editor_) editor_->showText(text_);
    setNeedsDisplay();
}

void TextField::userEdited(std::string text) {
    text_ = std::move(text);
    setNeedsDisplay();
}

void TextField::draw(GraphicsContext& ctx, Rect) {
    if (editor_ && editorPlaceholder_ != placeholder) {
        editorPlaceholder_ = placeholder;
        editor_->showPlaceholder(placeholder);
    }
    const Rect b = bounds();
    ctx.fill(Path::roundedRect(b, 5), Color::white());
    ctx.stroke(Path::roundedRect(b.insetBy(0.5, 0.5), 5), Color::lightGray(), {});
    const bool empty = text_.empty();
    const TextStyle style{Font::system(Font::systemFontSize), empty ? Color::lightGray() : Color::black(),
                          TextAlignment::left, false};
    ctx.drawText(empty ? placeholder : text_, b.insetBy(6, 0), style);
}

}  // namespace ui
