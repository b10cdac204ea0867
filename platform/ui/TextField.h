#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {

// What lets the user type into a text field in a back end with a keyboard (an entry widget over the field).
// It reports typing through the field's userEdited.
class TextEditor {
public:
    virtual ~TextEditor() = default;
    // The field's text or placeholder changed from the program's side.
    virtual void showText(const std::string& text) = 0;
    virtual void showPlaceholder(const std::string& placeholder) = 0;
};

// A one-line text entry of a form or an alert. Without an editor (headless) screens and tests set and read the
// text; with one, the user types it.
//
// Thread contract: main thread only.
class TextField : public View {
public:
    explicit TextField(Rect frame = {});
    ~TextField() override;

    const std::string& text() const { return text_; }
    void setText(std::string text);
    // Shown, dimmed, while the text is empty; an editor takes it over at the next draw.
    std::string placeholder;

    // The back end's editor maker, used by text fields made from now on; process-wide, set once at start-up by a
    // back end (empty: headless).
    using EditorFactory = std::function<std::unique_ptr<TextEditor>(TextField&)>;
    static void setEditorFactory(EditorFactory factory);
    // For editors: the user changed the text.
    void userEdited(std::string text);

    void draw(GraphicsContext& ctx, Rect dirty) override;

private:
    std::string text_;
    std::string editorPlaceholder_;
    std::unique_ptr<TextEditor> editor_;
};

}  // namespace ui
