#pragma once
// The application in a window: start-up, then the main screen in a GTK window, playing live through an ALSA PCM
// device, until the window is closed, then shutdown.
//
// Threads: the process's main thread, which drives GLib's main loop and, through it, the main queue.

#include <string>

// Whether a window can be opened here (a display is reachable).
bool windowAvailable();
// The process's exit code: 0 after the window was closed. Call only after windowAvailable() returned true.
int runWindowed(const std::string& device);
