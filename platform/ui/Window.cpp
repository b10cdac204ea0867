#include "platform/ui/Window.h"

#include "platform/ui/EventScope.h"

#include <utility>

namespace ui {

Window::Window(Rect frame) : root_(std::make_shared<View>(frame)) {}

void Window::setRootViewController(std::shared_ptr<ViewController> controller) {
    if (controller_) {
        controller_->viewWillDisappear(false);
        controller_->view().removeFromSuperview();
        controller_->viewDidDisappear(false);
        releaseAfterEvent(controller_);
    }
    controller_ = std::move(controller);
    if (!controller_) return;
    View& shown = controller_->view();
    controller_->viewWillAppear(false);
    shown.setFrame(root_->bounds());
    root_->addSubview(controller_->viewPointer());
    controller_->viewDidAppear(false);
}

}  // namespace ui
