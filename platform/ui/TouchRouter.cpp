#include "platform/ui/TouchRouter.h"

#include "platform/ui/EventScope.h"

namespace ui {

void TouchRouter::press(View& root, Point point) {
    const EventScope scope;
    root_ = &root;
    last_ = point;
    grabbed_ = root.hitTest(point);
    if (grabbed_) grabbed_->touchesBegan({{root.convert(point, grabbed_)}});
}

void TouchRouter::move(Point point) {
    const EventScope scope;
    if (!grabbed_) return;
    last_ = point;
    grabbed_->touchesMoved({{root_->convert(point, grabbed_)}});
}

void TouchRouter::release(Point point) {
    const EventScope scope;
    View* view = grabbed_;
    grabbed_ = nullptr;
    if (view) view->touchesEnded({{root_->convert(point, view)}});
}

void TouchRouter::cancel() {
    const EventScope scope;
    View* view = grabbed_;
    grabbed_ = nullptr;
    if (view) view->touchesCancelled({{root_->convert(last_, view)}});
}

}  // namespace ui
