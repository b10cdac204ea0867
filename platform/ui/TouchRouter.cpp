#include "platform/ui/TouchRouter.h"

#include "platform/ui/EventScope.h"

namespace ui {

Point TouchRouter::in(const GestureRecognizer& recognizer, Point point) const {
    return root_->convert(point, recognizer.view());
}

void TouchRouter::press(View& root, Point point) {
    const EventScope scope;
    root_ = &root;
    last_ = point;
    grabbed_ = root.hitTest(point);
    watching_.clear();
    if (!grabbed_) return;
    for (View* v = grabbed_; v; v = v->superview()) {
        for (const auto& recognizer : v->gestureRecognizers()) {
            if (!recognizer->shouldReceiveTouch || recognizer->shouldReceiveTouch(*grabbed_)) {
                watching_.push_back(recognizer);
            }
        }
        if (v == &root) break;
    }
    grabbed_->touchesBegan({{root.convert(point, grabbed_)}});
    for (const auto& recognizer : watching_) recognizer->touchBegan(in(*recognizer, point));
}

void TouchRouter::move(Point point) {
    const EventScope scope;
    if (!grabbed_) return;
    last_ = point;
    grabbed_->touchesMoved({{root_->convert(point, grabbed_)}});
    for (const auto& recognizer : watching_) recognizer->touchMoved(in(*recognizer, point));
}

void TouchRouter::release(Point point) {
    const EventScope scope;
    View* view = grabbed_;
    grabbed_ = nullptr;
    const auto watching = std::move(watching_);
    watching_.clear();
    if (!view) return;
    view->touchesEnded({{root_->convert(point, view)}});
    for (const auto& recognizer : watching) recognizer->touchEnded(in(*recognizer, point));
}

void TouchRouter::cancel() {
    const EventScope scope;
    View* view = grabbed_;
    grabbed_ = nullptr;
    const auto watching = std::move(watching_);
    watching_.clear();
    if (!view) return;
    view->touchesCancelled({{root_->convert(last_, view)}});
    for (const auto& recognizer : watching) recognizer->touchCancelled();
}

bool TouchRouter::scroll(View& root, Point point, double dy) {
    const EventScope scope;
    for (View* v = root.hitTest(point); v; v = v->superview()) {
        if (v->scrollBy(dy)) return true;
        if (v == &root) break;
    }
    return false;
}

void TouchRouter::pinchBegan(View& root, Point point) {
    const EventScope scope;
    pinch_.reset();
    for (View* v = root.hitTest(point); v && !pinch_; v = v->superview()) {
        for (const auto& recognizer : v->gestureRecognizers()) {
            if (auto pinch = std::dynamic_pointer_cast<PinchGestureRecognizer>(recognizer)) {
                pinch_ = std::move(pinch);
                break;
            }
        }
        if (v == &root) break;
    }
    if (pinch_) pinch_->pinchBegan();
}

void TouchRouter::pinchChanged(double scale) {
    const EventScope scope;
    if (pinch_) pinch_->pinchChanged(scale);
}

void TouchRouter::pinchEnded() {
    const EventScope scope;
    const auto pinch = std::move(pinch_);
    pinch_.reset();
    if (pinch) pinch->pinchEnded();
}

}  // namespace ui
