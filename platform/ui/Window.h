#pragma once

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <memory>

namespace ui {

// The top of a screen: a root view the size of the window that shows the root controller's view, filling it.
// When the root view is resized (the window was), the screens in it are resized with it. Every view in the root
// view's tree is shown in this window (View::window()) for as long as the window exists.
// A back end (a GTK window host or the headless renderer) draws rootView() and routes touches into it.
//
// Thread contract: main thread only.
class Window {
public:
    explicit Window(Rect frame);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    View& rootView() { return *root_; }
    std::shared_ptr<View> rootViewPointer() { return root_; }

    // Shows controller (loading its view), replacing the one shown before; each gets its appearance calls.
    void setRootViewController(std::shared_ptr<ViewController> controller);
    ViewController* rootViewController() const { return controller_.get(); }

private:
    std::shared_ptr<View> root_;
    std::shared_ptr<ViewController> controller_;
};

}  // namespace ui
