#pragma once

namespace ui {

// Makes every document picker that appears ask through GTK's file chooser (the desktop's own dialog where the
// desktop offers one): it offers the picker's extensions, allows several files when the picker does, and answers
// the picker with the chosen files or a cancel. A picker that has gone before the dialog answers is left alone.
//
// Thread contract: main thread only; call once at start-up, after GtkWindowHost::gtkAvailable() returned true.
void installGtkDocumentChooser();

}  // namespace ui
