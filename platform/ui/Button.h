#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <string>

namespace ui {

// A push button with a title or a named picture (the pictures of the designs are not part of this system; the
// name is kept and the title drawn). A release inside the button after a press inside it runs the action.
//
// Thread contract: main thread only.
class Button : public View {
public:
    explicit Button(Rect frame = {}, std::string title = {});

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    Color titleColor() const { return titleColor_; }
    void setTitleColor(Color color);
    const std::string& imageName() const { return imageName_; }
    void setImageName(std::string name);

    bool isEnabled = true;
    // Opacity of the whole button, 0...1.
    double alpha = 1;
    Font font = Font::system(Font::systemFontSize);

    // Runs on a tap; may be empty.
    std::function<void(Button&)> action;
    // A tap as the user makes it; does nothing while disabled.
    void sendAction();

    void draw(GraphicsContext& ctx, Rect dirty) override;
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesEnded(const std::vector<Touch>& touches) override;
    void touchesCancelled(const std::vector<Touch>& touches) override;

private:
    std::string title_;
    std::string imageName_;
    Color titleColor_{0, 0.48, 1, 1};
    bool pressed_ = false;
};

}  // namespace ui
