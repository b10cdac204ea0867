#pragma once

#include "platform/dispatch/MainQueue.h"
#include "platform/ui/ImageSurface.h"
#include "platform/ui/TouchRouter.h"
#include "platform/ui/View.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

typedef struct _GtkWidget GtkWidget;
typedef struct _cairo cairo_t;
typedef struct _GValue GValue;

namespace ui {

// Widgets of the back end shown over views of a window's tree (a browser engine's page over its web view). Each
// follows its view's place and size and shows only while the view is in the tree and nothing above it is hidden.
// Shared with the widgets' owners, who may outlive the window.
//
// Thread contract: main thread only.
class GtkEmbeddedWidgets {
public:
    // The view must stay alive until its widget is removed.
    void add(View& view, GtkWidget* widget);
    void remove(GtkWidget* widget);

private:
    friend class GtkWindowHost;
    void place(View& root);

    GtkWidget* overlay_ = nullptr;
    std::vector<std::pair<View*, GtkWidget*>> widgets_;
};

// The window back end: shows a view tree in a GTK 4 window. The root view takes the size of the window; a view's
// redraw request repaints the window on the next frame; presses, drags and releases of the pointer become touches
// of the view under the press, and a broken grab cancels them; the wheel (or a touchpad's two-finger glide) scrolls
// the list under the pointer; a touchpad pinch, or the wheel turned with Ctrl held, becomes a pinch at the pointer. Ctrl+Q closes the window as its close button does. Files dropped on the
// window go to the handler its owner sets. While the window is open, GLib's main loop also drains the given main
// queue.
//
// Thread contract: main thread only; construct after gtkAvailable() returned true.
class GtkWindowHost {
public:
    using FilesDropped = std::function<void(const std::vector<std::filesystem::path>&)>;

    // The name desktops tie the program's windows to its desktop entry by (the X11 window class, the Wayland
    // application id): the entry's file name without ".desktop". Only before the first gtkAvailable() call, which
    // fixes it.
    static void setProgramName(const std::string& name);
    // Initialises GTK once; false when no display can be opened (headless machines).
    static bool gtkAvailable();
    // From now on windows made here show the icon of that name: the icon theme's, else the PNG file name + ".png"
    // of folder. After gtkAvailable() returned true.
    static void setDefaultIcon(const std::string& name, const std::filesystem::path& folder);
    // The size of the display's largest monitor (a window cannot grow beyond it); zero without one.
    static Size largestMonitor();

    GtkWindowHost(std::shared_ptr<View> root, const std::string& title, dispatch::MainQueue& queue);
    ~GtkWindowHost();
    GtkWindowHost(const GtkWindowHost&) = delete;
    GtkWindowHost& operator=(const GtkWindowHost&) = delete;

    void present();
    bool isOpen() const { return window_ != nullptr; }
    void close();
    // From now on SIGINT and SIGTERM close the window (instead of ending the process) while it is open.
    void closeOnTerminationSignals();

    // From now on the local files of a drop reach handler, in the order dropped, from a task on the main queue.
    // Without a handler the window refuses drops.
    void onFilesDropped(FilesDropped handler) { filesDropped_ = std::move(handler); }
    // What the window does with a dropped value: a file list with at least one local file is taken (true) and its
    // local files handed on; anything else is refused (false). The window's drop target calls it; so can tests.
    bool drop(const GValue* value);

    // The pixels of the window's content (the view tree and the widgets over it, without the title bar), drawn
    // by the window's own renderer, or null while it is closed or has no size yet.
    std::unique_ptr<ImageSurface> capture() const;

    // Runs GLib's main loop until the window is closed.
    void runUntilClosed();
    // One non-blocking pass of GLib's main loop; true when something was dispatched.
    bool iterate();

    View& root() { return *root_; }
    TouchRouter& pointer() { return pointer_; }
    GtkWidget* drawingArea() const { return area_; }
    std::shared_ptr<GtkEmbeddedWidgets> embeddedWidgets() const { return embedded_; }

private:
    friend struct GtkWindowCallbacks;
    void drawInto(cairo_t* cr, int width, int height);
    void dragBegan(Point start);
    void dragMoved(Point offset);
    void dragEnded(Point offset);
    void frameTick();
    void windowDestroyed();
    void removeSources();
    void wheelPinch(double scale);

    std::shared_ptr<View> root_;
    dispatch::MainQueue& queue_;
    TouchRouter pointer_;
    Point dragStart_;
    GtkWidget* window_ = nullptr;
    GtkWidget* area_ = nullptr;
    std::shared_ptr<GtkEmbeddedWidgets> embedded_ = std::make_shared<GtkEmbeddedWidgets>();
    unsigned drainSource_ = 0;
    std::vector<unsigned> signalSources_;
    Point hover_;
    FilesDropped filesDropped_;
};

}  // namespace ui
