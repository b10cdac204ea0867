#include "platform/ui/TouchRouter.h"

namespace ui {

void TouchRouter::press(View& root, Point point) {
    root_ = &root;
    last_ = point;
    grabbed_ = root.hitTest(point);
    if (grabbed_) grabbed_->touchesBegan({{root.convert(point, grabbed_)}});
}

void TouchRouter::move(Point point) {
    if (!grabbed_) return;
    last_ = point;
    grabbed_->touchesMoved({{root_->convert(point, grabbed_)}});
}

void TouchRouter::release(Point point) {
    View* view = grabbed_;
    grabbed_ = nullptr;
    if (view) view->touchesEnded({{root_->convert(point, view)}});
}

void TouchRouter::cancel() {
    View* view = grabbed_;
    grabbed_ = nullptr;
    if (view) view->touchesCancelled({{root_->convert(last_, view)}});
}

}  // namespace ui
