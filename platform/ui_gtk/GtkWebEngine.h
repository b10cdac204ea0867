#pragma once

#include "platform/ui_gtk/GtkWindowHost.h"

namespace ui {

// Makes every web view that loads from now on show its pages through WebKitGTK, in a page widget kept over the
// web view in host's window. Each step of a navigation goes to the web view's delegates, which decide it: actions
// and responses are used or ignored accordingly, a new-window request gets no window. Requests load with the
// engine's own caching and time-out.
//
// Thread contract: main thread only; call once, after GtkWindowHost::gtkAvailable() returned true. Web views
// made later may outlive host: their pages then show nowhere.
void installGtkWebEngine(GtkWindowHost& host);

}  // namespace ui
