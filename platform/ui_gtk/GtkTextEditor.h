#pragma once

#include "platform/ui_gtk/GtkWindowHost.h"

namespace ui {

// Makes every text field made from now on editable through a GTK entry kept over it in host's window; what the
// user types becomes the field's text.
//
// Thread contract: main thread only; call once, after GtkWindowHost::gtkAvailable() returned true. Text fields
// made later may outlive host: they are then no longer editable.
void installGtkTextEditor(GtkWindowHost& host);

}  // namespace ui
