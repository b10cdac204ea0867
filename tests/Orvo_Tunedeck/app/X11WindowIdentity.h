#pragma once
// What an X11 window manager reads from a GTK window to tie it to a desktop entry: the class hint (WM_CLASS) and
// whether the window carries icon pixels (_NET_WM_ICON). Kept apart because the X11 headers define names that
// clash with other code.

#include <optional>
#include <string>

typedef struct _GtkWidget GtkWidget;

struct X11WindowIdentity {
    std::string instanceName;  // WM_CLASS's first string
    std::string className;     // WM_CLASS's second string
    bool hasIcon = false;
};

// The identity of the X11 window that shows widget; none when the widget is not realized or the display is not X11.
std::optional<X11WindowIdentity> x11WindowIdentity(GtkWidget* widget);
