#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {

// A push button with a title, a picture, or both. The picture shows in the button's image view, which the
// button makes on first use; the picture's name is kept for whoever loads the picture and is never drawn. The
// button's opacity, press and enabled state dim the picture as they dim the title. A release inside the button
// after a press inside it runs the action.
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
    // The view that shows the button's picture: a subview made on first use, taking no touches.
    const std::shared_ptr<ImageView>& imageView();

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
    double shownOpacity() const;

    std::string title_;
    std::string imageName_;
    std::shared_ptr<ImageView> imageView_;
    Color titleColor_{0, 0.48, 1, 1};
    bool pressed_ = false;
};

}  // namespace ui
