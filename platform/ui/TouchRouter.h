#pragma once

#include "platform/ui/View.h"

namespace ui {

// Turns pointer presses, moves and releases in a root view's coordinates into touches of the view under the
// press, as a window does: the pressed view keeps receiving the moves and the release (a grab), each in its own
// coordinates. Back ends (a window, the headless renderer) feed it. Each delivery is an EventScope.
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

    View* grabbedView() const { return grabbed_; }

private:
    View* root_ = nullptr;
    View* grabbed_ = nullptr;
    Point last_;
};

}  // namespace ui
