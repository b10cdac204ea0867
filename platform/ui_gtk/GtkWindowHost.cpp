#include "platform/ui_gtk/GtkWindowHost.h"

#include "platform/ui/GraphicsContext.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {
// How often GLib's loop drains the main queue, in milliseconds: a little more often than the 60 Hz view timers.
constexpr unsigned kDrainIntervalMs = 4;
}  // namespace

// GTK's signal and callback signatures, forwarding to the host.
struct GtkWindowCallbacks {
    static GtkWindowHost* host(gpointer data) { return static_cast<GtkWindowHost*>(data); }
    static void draw(GtkDrawingArea*, cairo_t* cr, int width, int height, gpointer data) {
        host(data)->drawInto(cr, width, height);
    }
    static void dragBegin(GtkGestureDrag*, double x, double y, gpointer data) { host(data)->dragBegan({x, y}); }
    static void dragUpdate(GtkGestureDrag*, double dx, double dy, gpointer data) { host(data)->dragMoved({dx, dy}); }
    static void dragEnd(GtkGestureDrag*, double dx, double dy, gpointer data) { host(data)->dragEnded({dx, dy}); }
    static void cancel(GtkGesture*, GdkEventSequence*, gpointer data) { host(data)->pointer_.cancel(); }
    static gboolean tick(GtkWidget*, GdkFrameClock*, gpointer data) {
        host(data)->frameTick();
        return G_SOURCE_CONTINUE;
    }
    static gboolean drainQueue(gpointer data) {
        host(data)->queue_.drain();
        return G_SOURCE_CONTINUE;
    }
    static void destroyed(GtkWidget*, gpointer data) { host(data)->windowDestroyed(); }
};

bool GtkWindowHost::gtkAvailable() {
    static const bool available = gtk_init_check() != FALSE;
    return available;
}

GtkWindowHost::GtkWindowHost(std::shared_ptr<View> root, const std::string& title, dispatch::MainQueue& queue)
    : root_(std::move(root)), queue_(queue) {
    window_ = gtk_window_new();
    gtk_window_set_title(GTK_WINDOW(window_), title.c_str());
    const Rect frame = root_->frame();
    gtk_window_set_default_size(GTK_WINDOW(window_), std::max(1, static_cast<int>(std::lround(frame.width))),
                                std::max(1, static_cast<int>(std::lround(frame.height))));

    area_ = gtk_drawing_area_new();
    gtk_widget_set_hexpand(area_, TRUE);
    gtk_widget_set_vexpand(area_, TRUE);
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(area_), &GtkWindowCallbacks::draw, this, nullptr);

    GtkGesture* drag = gtk_gesture_drag_new();
    g_signal_connect(drag, "drag-begin", G_CALLBACK(&GtkWindowCallbacks::dragBegin), this);
    g_signal_connect(drag, "drag-update", G_CALLBACK(&GtkWindowCallbacks::dragUpdate), this);
    g_signal_connect(drag, "drag-end", G_CALLBACK(&GtkWindowCallbacks::dragEnd), this);
    g_signal_connect(drag, "cancel", G_CALLBACK(&GtkWindowCallbacks::cancel), this);
    gtk_widget_add_controller(area_, GTK_EVENT_CONTROLLER(drag));

    GtkWidget* overlay = gtk_overlay_new();
    gtk_overlay_set_child(GTK_OVERLAY(overlay), area_);
    embedded_->overlay_ = overlay;
    gtk_window_set_child(GTK_WINDOW(window_), overlay);
    g_signal_connect(window_, "destroy", G_CALLBACK(&GtkWindowCallbacks::destroyed), this);
    gtk_widget_add_tick_callback(area_, &GtkWindowCallbacks::tick, this, nullptr);
    drainSource_ = g_timeout_add(kDrainIntervalMs, &GtkWindowCallbacks::drainQueue, this);
}

GtkWindowHost::~GtkWindowHost() {
    close();
}

void GtkWindowHost::present() {
    if (window_) gtk_window_present(GTK_WINDOW(window_));
}

void GtkWindowHost::close() {
    if (drainSource_) {
        g_source_remove(drainSource_);
        drainSource_ = 0;
    }
    if (window_) gtk_window_destroy(GTK_WINDOW(window_));  // the destroy signal clears the fields
}

void GtkWindowHost::runUntilClosed() {
    while (window_) g_main_context_iteration(nullptr, TRUE);
}

bool GtkWindowHost::iterate() { return g_main_context_iteration(nullptr, FALSE) != FALSE; }

void GtkWindowHost::drawInto(cairo_t* cr, int width, int height) {
    const Rect frame = root_->frame();
    if (frame.width != width || frame.height != height) root_->setFrame({0, 0, double(width), double(height)});
    GraphicsContext ctx(cr);
    root_->drawHierarchy(ctx);
}

void GtkWindowHost::dragBegan(Point start) {
    dragStart_ = start;
    pointer_.press(*root_, start);
}

void GtkWindowHost::dragMoved(Point offset) { pointer_.move({dragStart_.x + offset.x, dragStart_.y + offset.y}); }

void GtkWindowHost::dragEnded(Point offset) { pointer_.release({dragStart_.x + offset.x, dragStart_.y + offset.y}); }

void GtkWindowHost::frameTick() {
    if (area_ && root_->needsDisplayInTree()) gtk_widget_queue_draw(area_);
    embedded_->place(*root_);
}

void GtkWindowHost::windowDestroyed() {
    pointer_.cancel();
    window_ = nullptr;
    area_ = nullptr;
    embedded_->overlay_ = nullptr;
    if (drainSource_) {
        g_source_remove(drainSource_);
        drainSource_ = 0;
    }
}

void GtkEmbeddedWidgets::add(View& view, GtkWidget* widget) {
    widgets_.emplace_back(&view, widget);
    gtk_widget_set_halign(widget, GTK_ALIGN_START);
    gtk_widget_set_valign(widget, GTK_ALIGN_START);
    gtk_widget_set_visible(widget, FALSE);
    if (overlay_) gtk_overlay_add_overlay(GTK_OVERLAY(overlay_), widget);
}

void GtkEmbeddedWidgets::remove(GtkWidget* widget) {
    std::erase_if(widgets_, [widget](const auto& entry) { return entry.second == widget; });
    if (overlay_ && gtk_widget_get_parent(widget) == overlay_) gtk_overlay_remove_overlay(GTK_OVERLAY(overlay_), widget);
}

void GtkEmbeddedWidgets::place(View& root) {
    for (const auto& [view, widget] : widgets_) {
        // The view's place in the root's coordinates, when the root reaches it through shown views.
        Point origin{0, 0};
        bool shown = !view->isHidden();
        const View* v = view;
        for (; v && v != &root; v = v->superview()) {
            origin.x += v->frame().x;
            origin.y += v->frame().y;
            if (v->superview() && v->superview()->isHidden()) shown = false;
        }
        const Rect frame = view->frame();
        shown = shown && v == &root && frame.width >= 1 && frame.height >= 1;
        if (shown) {
            gtk_widget_set_margin_start(widget, static_cast<int>(std::lround(origin.x)));
            gtk_widget_set_margin_top(widget, static_cast<int>(std::lround(origin.y)));
            gtk_widget_set_size_request(widget, static_cast<int>(std::lround(frame.width)),
                                        static_cast<int>(std::lround(frame.height)));
        }
        if (gtk_widget_get_visible(widget) != shown) gtk_widget_set_visible(widget, shown);
    }
}

}  // namespace ui
