#pragma once

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace ui {

// Turns pointer presses, moves and releases in a root view's coordinates into touches of the view under the
// press, as a window does: the pressed view keeps receiving the moves and the release (a grab), each in its own
// coordinates. The gesture recognisers of the pressed view and of the views above it that want the touch watch it
// too. A pinch (two fingers on a touchpad, or the zoom wheel) goes to the nearest pinch recogniser at or above
// the view under the pointer. Back ends (a window, the headless renderer) feed it. Each delivery is an EventScope.
//
// Thread contract: main thread only. The pressed view must stay in the tree until its release or cancel.
class TouchRouter {
public:
    void press(View& root, Point point);
    // Without a press in progress, moves and releases go nowhere.
    void move(Point point);
    void release(Point point);
    // Sends touchesCancelled, at the last known location, to the pressed view and ends the grab.
    void cancel();

    // The mouse wheel turned over point (root coordinates) by dy points: the nearest view at or above the view
    // under the point that can scroll that way scrolls. False when none did.
    bool scroll(View& root, Point point, double dy);

    // A pinch at point (root coordinates); scale is relative to where it began. Without a recogniser under the
    // point the pinch goes nowhere.
    void pinchBegan(View& root, Point point);
    void pinchChanged(double scale);
    void pinchEnded();

    View* grabbedView() const { return grabbed_; }

private:
    Point in(const GestureRecognizer& recognizer, Point point) const;

    View* root_ = nullptr;
    View* grabbed_ = nullptr;
    Point last_;
    std::vector<std::shared_ptr<GestureRecognizer>> watching_;
    std::shared_ptr<PinchGestureRecognizer> pinch_;
};

}  // namespace ui
