#include "platform/ui/Window.h"

#include "platform/ui/EventScope.h"

#include <utility>

namespace ui {

namespace {

// Keeps the screens it holds (the root screen and those presented over it) at its own size.
class ScreenStack : public View {
public:
    using View::View;
    void setFrame(Rect frame) override {
        View::setFrame(frame);
        for (const auto& screen : subviews()) screen->setFrame(bounds());
    }
};

}  // namespace

Window::Window(Rect frame) : root_(std::make_shared<ScreenStack>(frame)) { root_->window_ = this; }

Window::~Window() { root_->window_ = nullptr; }

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (controller_) {
        controller_->viewWillDisappear(false);
        controller_->view().removeFromSuperview();
        controller_->viewDidDisappear(false);
        releaseAfterEvent(controller_);
    }
    controller_ = std::move(controller);
    if (!controller_) return;
    controller_->view().setFrame(root_->bounds());
    controller_->viewWillAppear(false);
    root_->addSubview(controller_->viewPointer());
    controller_->viewDidAppear(false);
}

}  // namespace ui
