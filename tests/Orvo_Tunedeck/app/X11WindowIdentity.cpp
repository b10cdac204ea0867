#include "tests/Orvo_Tunedeck/app/X11WindowIdentity.h"

#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>

std::optional<X11WindowIdentity> x11WindowIdentity(GtkWidget* widget) {
    GtkNative* native = widget ? gtk_widget_get_native(widget) : nullptr;
    GdkSurface* surface = native ? gtk_native_get_surface(native) : nullptr;
    if (surface == nullptr || !GDK_IS_X11_SURFACE(surface)) return std::nullopt;
    Display* display = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
    const Window window = gdk_x11_surface_get_xid(surface);

    X11WindowIdentity identity;
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint) != 0) {
        identity.instanceName = hint.res_name ? hint.res_name : "";
        identity.className = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const Atom icon = XInternAtom(display, "_NET_WM_ICON", False);
    if (XGetWindowProperty(display, window, icon, 0, 2, False, AnyPropertyType, &type, &format, &items, &remaining,
                           &data) == Success) {
        identity.hasIcon = items == 2 && data != nullptr;
        XFree(data);
    }
    return identity;
}
