#include "platform/ui_gtk/GtkWindowHost.h"

#include "platform/ui/GraphicsContext.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <vector>
#include <cmath>
#include <csignal>

namespace ui {

namespace {
// The picture windows show when the icon theme lacks the default icon's name; empty when it has it.
std::filesystem::path& iconFileOutsideTheme() {
    static std::filesystem::path file;
    return file;
}

// How often GLib's loop drains the main queue, in milliseconds: a little more often than the 60 Hz view timers.
constexpr unsigned kDrainIntervalMs = 4;
// One notch of the wheel turned with Ctrl held scales a pinch by this factor (up enlarges).
constexpr double kWheelPinchStep = 1.1;
// How far one notch of the mouse wheel scrolls a list: about one row.
constexpr double kWheelStepPoints = 40;
}  // namespace

// GTK's signal and callback signatures, forwarding to the host.
struct GtkWindowCallbacks {
    static GtkWindowHost* host(gpointer data) { return static_cast<GtkWindowHost*>(data); }
    static void draw(GtkDrawingArea*, cairo_t* cr, int width, int height, gpointer data) {
        host(data)->drawInto(cr, width, height);
    }
    static void realized(GtkWidget* window, gpointer) {
        if (iconFileOutsideTheme().empty()) return;
        GdkTexture* icon = gdk_texture_new_from_filename(iconFileOutsideTheme().c_str(), nullptr);
        if (!icon) return;
        GList icons{icon, nullptr, nullptr};
        gdk_toplevel_set_icon_list(GDK_TOPLEVEL(gtk_native_get_surface(GTK_NATIVE(window))), &icons);
        g_object_unref(icon);
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
    static void zoomBegin(GtkGesture* gesture, GdkEventSequence*, gpointer data) {
        double x = 0;
        double y = 0;
        gtk_gesture_get_bounding_box_center(gesture, &x, &y);
        host(data)->pointer_.pinchBegan(*host(data)->root_, {x, y});
    }
    static void zoomChanged(GtkGestureZoom*, double scale, gpointer data) { host(data)->pointer_.pinchChanged(scale); }
    static void zoomEnd(GtkGesture*, GdkEventSequence*, gpointer data) { host(data)->pointer_.pinchEnded(); }
    static void motion(GtkEventControllerMotion*, double x, double y, gpointer data) { host(data)->hover_ = {x, y}; }
    static gboolean scroll(GtkEventControllerScroll* controller, double, double dy, gpointer data) {
        const GdkModifierType modifiers = gtk_event_controller_get_current_event_state(GTK_EVENT_CONTROLLER(controller));
        if (dy == 0) return FALSE;
        if ((modifiers & GDK_CONTROL_MASK) == 0) {
            // A wheel's notches come as whole steps, a touchpad's glide in points.
            const bool notches = gtk_event_controller_scroll_get_unit(controller) == GDK_SCROLL_UNIT_WHEEL;
            return host(data)->pointer_.scroll(*host(data)->root_, host(data)->hover_,
                                               notches ? dy * kWheelStepPoints : dy)
                       ? TRUE
                       : FALSE;
        }
        host(data)->wheelPinch(dy < 0 ? kWheelPinchStep : 1 / kWheelPinchStep);
        return TRUE;
    }
    static gboolean quit(GtkWidget*, GVariant*, gpointer data) {
        host(data)->close();
        return TRUE;
    }
    static gboolean dropped(GtkDropTarget*, const GValue* value, double, double, gpointer data) {
        return host(data)->drop(value) ? TRUE : FALSE;
    }
    static gboolean signalled(gpointer data) {
        host(data)->close();
        return G_SOURCE_CONTINUE;
    }
};

void GtkWindowHost::setProgramName(const std::string& name) { g_set_prgname(name.c_str()); }

bool GtkWindowHost::gtkAvailable() {
    static const bool available = gtk_init_check() != FALSE;
    return available;
}

void GtkWindowHost::setDefaultIcon(const std::string& name, const std::filesystem::path& folder) {
    GtkIconTheme* theme = gtk_icon_theme_get_for_display(gdk_display_get_default());
    gtk_window_set_default_icon_name(name.c_str());
    // GTK takes a themed icon's sizes only from a theme's folders: a lone picture (as in the build tree) is shown
    // through its file.
    iconFileOutsideTheme() = gtk_icon_theme_has_icon(theme, name.c_str()) ? std::filesystem::path()
                                                                            : folder / (name + ".png");
}

Size GtkWindowHost::largestMonitor() {
    Size largest;
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return largest;
    GListModel* monitors = gdk_display_get_monitors(display);
    for (guint i = 0; i < g_list_model_get_n_items(monitors); ++i) {
        auto* monitor = static_cast<GdkMonitor*>(g_list_model_get_item(monitors, i));
        GdkRectangle area;
        gdk_monitor_get_geometry(monitor, &area);
        g_object_unref(monitor);
        if (double(area.width) * area.height > largest.width * largest.height) largest = {double(area.width), double(area.height)};
    }
    return largest;
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

    GtkGesture* zoom = gtk_gesture_zoom_new();
    g_signal_connect(zoom, "begin", G_CALLBACK(&GtkWindowCallbacks::zoomBegin), this);
    g_signal_connect(zoom, "scale-changed", G_CALLBACK(&GtkWindowCallbacks::zoomChanged), this);
    g_signal_connect(zoom, "end", G_CALLBACK(&GtkWindowCallbacks::zoomEnd), this);
    gtk_widget_add_controller(area_, GTK_EVENT_CONTROLLER(zoom));
    GtkEventController* motion = gtk_event_controller_motion_new();
    g_signal_connect(motion, "motion", G_CALLBACK(&GtkWindowCallbacks::motion), this);
    gtk_widget_add_controller(area_, motion);
    GtkEventController* wheel = gtk_event_controller_scroll_new(GTK_EVENT_CONTROLLER_SCROLL_VERTICAL);
    g_signal_connect(wheel, "scroll", G_CALLBACK(&GtkWindowCallbacks::scroll), this);
    gtk_widget_add_controller(area_, wheel);

    GtkEventController* shortcuts = gtk_shortcut_controller_new();
    gtk_shortcut_controller_set_scope(GTK_SHORTCUT_CONTROLLER(shortcuts), GTK_SHORTCUT_SCOPE_GLOBAL);
    gtk_shortcut_controller_add_shortcut(
        GTK_SHORTCUT_CONTROLLER(shortcuts),
        gtk_shortcut_new(gtk_keyval_trigger_new(GDK_KEY_q, GDK_CONTROL_MASK),
                         gtk_callback_action_new(&GtkWindowCallbacks::quit, this, nullptr)));

    GtkWidget* overlay = gtk_overlay_new();
    gtk_overlay_set_child(GTK_OVERLAY(overlay), area_);
    embedded_->overlay_ = overlay;
    gtk_window_set_child(GTK_WINDOW(window_), overlay);
    gtk_widget_add_controller(window_, shortcuts);
    GtkDropTarget* files = gtk_drop_target_new(GDK_TYPE_FILE_LIST, GDK_ACTION_COPY);
    g_signal_connect(files, "drop", G_CALLBACK(&GtkWindowCallbacks::dropped), this);
    gtk_widget_add_controller(window_, GTK_EVENT_CONTROLLER(files));
    g_signal_connect(window_, "destroy", G_CALLBACK(&GtkWindowCallbacks::destroyed), this);
    g_signal_connect_after(window_, "realize", G_CALLBACK(&GtkWindowCallbacks::realized), nullptr);
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
    removeSources();
    if (window_) gtk_window_destroy(GTK_WINDOW(window_));  // the destroy signal clears the fields
}

void GtkWindowHost::closeOnTerminationSignals() {
    if (!window_ || !signalSources_.empty()) return;
    for (const int signal : {SIGINT, SIGTERM}) {
        signalSources_.push_back(g_unix_signal_add(signal, &GtkWindowCallbacks::signalled, this));
    }
}

void GtkWindowHost::removeSources() {
    if (drainSource_) {
        g_source_remove(drainSource_);
        drainSource_ = 0;
    }
    for (const unsigned source : signalSources_) g_source_remove(source);
    signalSources_.clear();
}

void GtkWindowHost::wheelPinch(double scale) {
    pointer_.pinchBegan(*root_, hover_);
    pointer_.pinchChanged(scale);
    pointer_.pinchEnded();
}

bool GtkWindowHost::drop(const GValue* value) {
    if (!filesDropped_ || !G_VALUE_HOLDS(value, GDK_TYPE_FILE_LIST)) return false;
    auto* list = static_cast<GdkFileList*>(g_value_get_boxed(value));
    if (!list) return false;
    std::vector<std::filesystem::path> paths;
    GSList* files = gdk_file_list_get_files(list);
    for (GSList* file = files; file; file = file->next) {
        // Files of remote locations have no path.
        if (char* path = g_file_get_path(G_FILE(file->data))) {
            paths.emplace_back(path);
            g_free(path);
        }
    }
    g_slist_free(files);
    if (paths.empty()) return false;
    queue_.async([handler = filesDropped_, paths = std::move(paths)] { handler(paths); });
    return true;
}

void GtkWindowHost::runUntilClosed() {
    while (window_) g_main_context_iteration(nullptr, TRUE);
}

bool GtkWindowHost::iterate() { return g_main_context_iteration(nullptr, FALSE) != FALSE; }

std::unique_ptr<ImageSurface> GtkWindowHost::capture() const {
    GtkWidget* content = window_ ? gtk_window_get_child(GTK_WINDOW(window_)) : nullptr;
    if (!content) return nullptr;
    GtkNative* native = gtk_widget_get_native(content);
    GskRenderer* renderer = native ? gtk_native_get_renderer(native) : nullptr;
    const int width = gtk_widget_get_width(content);
    const int height = gtk_widget_get_height(content);
    if (!renderer || width <= 0 || height <= 0) return nullptr;
    GdkPaintable* paintable = gtk_widget_paintable_new(content);
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable, GDK_SNAPSHOT(snapshot), width, height);
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    g_object_unref(paintable);
    if (!node) return nullptr;
    const graphene_rect_t area = GRAPHENE_RECT_INIT(0, 0, static_cast<float>(width), static_cast<float>(height));
    GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &area);
    gsk_render_node_unref(node);
    if (!texture) return nullptr;
    // GDK's default memory layout is cairo's ARGB32.
    const int textureWidth = gdk_texture_get_width(texture);
    const int textureHeight = gdk_texture_get_height(texture);
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, textureWidth);
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(textureHeight));
    gdk_texture_download(texture, pixels.data(), static_cast<size_t>(stride));
    g_object_unref(texture);
    cairo_surface_t* downloaded =
        cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_ARGB32, textureWidth, textureHeight, stride);
    auto image = std::make_unique<ImageSurface>(textureWidth, textureHeight);
    cairo_t* cr = image->context().cairo();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, downloaded, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(downloaded);
    return image;
}

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
    removeSources();
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
        bool shown = !view->isHidden();
        const View* v = view;
        for (; v && v != &root; v = v->superview()) {
            if (v->superview() && v->superview()->isHidden()) shown = false;
        }
        const Rect frame = root.convertRectFrom(view->bounds(), view);
        shown = shown && v == &root && frame.width >= 1 && frame.height >= 1;
        if (shown) {
            gtk_widget_set_margin_start(widget, static_cast<int>(std::lround(frame.x)));
            gtk_widget_set_margin_top(widget, static_cast<int>(std::lround(frame.y)));
            gtk_widget_set_size_request(widget, static_cast<int>(std::lround(frame.width)),
                                        static_cast<int>(std::lround(frame.height)));
        }
        if (gtk_widget_get_visible(widget) != shown) gtk_widget_set_visible(widget, shown);
    }
}

}  // namespace ui
