#pragma once

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/TouchRouter.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

typedef struct _GtkWidget GtkWidget;
typedef struct _cairo cairo_t;

namespace ui {

// The window back end: shows a view tree in a GTK 4 window. The root view takes the size of the window; a view's
// redraw request repaints the window on the next frame; presses, drags and releases of the pointer become touches
// of the view under the press, and a broken grab cancels them. While the window is open, GLib's main loop also
// drains the given main queue.
//
// Thread contract: main thread only; construct after gtkAvailable() returned true.
class GtkWindowHost {
public:
    // Initialises GTK once; false when no display can be opened (headless machines).
    static bool gtkAvailable();

    GtkWindowHost(std::shared_ptr<View> root, const std::string& title, dispatch::MainQueue& queue);
    ~GtkWindowHost();
    GtkWindowHost(const GtkWindowHost&) = delete;
    GtkWindowHost& operator=(const GtkWindowHost&) = delete;

    void present();
    bool isOpen() const { return window_ != nullptr; }
    void close();

    // Runs GLib's main loop until the window is closed.
    void runUntilClosed();
    // One non-blocking pass of GLib's main loop; true when something was dispatched.
    bool iterate();

    View& root() { return *root_; }
    TouchRouter& pointer() { return pointer_; }
    GtkWidget* drawingArea() const { return area_; }

private:
    friend struct GtkWindowCallbacks;
    void drawInto(cairo_t* cr, int width, int height);
    void dragBegan(Point start);
    void dragMoved(Point offset);
    void dragEnded(Point offset);
    void frameTick();
    void windowDestroyed();

    std::shared_ptr<View> root_;
    dispatch::MainQueue& queue_;
    TouchRouter pointer_;
    Point dragStart_;
    GtkWidget* window_ = nullptr;
    GtkWidget* area_ = nullptr;
    unsigned drainSource_ = 0;
};

}  // namespace ui
