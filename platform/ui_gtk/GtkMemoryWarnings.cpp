#include "platform/ui_gtk/GtkMemoryWarnings.h"

#include "platform/ui/ViewController.h"

#include <gio/gio.h>

namespace ui {

namespace {

void lowMemoryWarning(GMemoryMonitor*, GMemoryMonitorWarningLevel, gpointer) { ViewController::sendMemoryWarning(); }

}  // namespace

GtkMemoryWarnings::GtkMemoryWarnings(GMemoryMonitor* monitor)
    : monitor_(monitor != nullptr ? G_MEMORY_MONITOR(g_object_ref(monitor)) : g_memory_monitor_dup_default()) {
    if (monitor_ != nullptr)
        handler_ = g_signal_connect(monitor_, "low-memory-warning", G_CALLBACK(&lowMemoryWarning), nullptr);
}

GtkMemoryWarnings::~GtkMemoryWarnings() {
    if (monitor_ == nullptr) return;
    g_signal_handler_disconnect(monitor_, handler_);
    g_object_unref(monitor_);
}

}  // namespace ui
