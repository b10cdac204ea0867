#pragma once

typedef struct _GMemoryMonitor GMemoryMonitor;

namespace ui {

// Forwards the system's low-memory warnings (the "low-memory-warning" signal of GLib's memory monitor, at any
// level) to the view controllers shown in windows, through ViewController::sendMemoryWarning, while it lives.
//
// Thread contract: main thread only; the monitor reports on the main context of the thread that made it, so make
// this on the thread that runs GLib's main loop.
class GtkMemoryWarnings {
public:
    // monitor: the one to listen to (tests give a fake one); null takes GLib's default monitor of the system.
    explicit GtkMemoryWarnings(GMemoryMonitor* monitor = nullptr);
    ~GtkMemoryWarnings();
    GtkMemoryWarnings(const GtkMemoryWarnings&) = delete;
    GtkMemoryWarnings& operator=(const GtkMemoryWarnings&) = delete;

private:
    GMemoryMonitor* monitor_ = nullptr;
    unsigned long handler_ = 0;
};

}  // namespace ui
