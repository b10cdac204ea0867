#include "platform/ui/CairoPath.h"

#include <cairo.h>

namespace ui {

void appendToCairo(cairo_t* cr, const Path& path) {
    cairo_new_path(cr);
    for (const Path::Element& e : path.elements()) {
        switch (e.kind) {
            case Path::Kind::moveTo: cairo_move_to(cr, e.points[0].x, e.points[0].y); break;
            case Path::Kind::lineTo: cairo_line_to(cr, e.points[0].x, e.points[0].y); break;
            case Path::Kind::curveTo:
                cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                               e.points[2].y);
                break;
            case Path::Kind::arc:
                if (e.clockwise) {
                    cairo_arc(cr, e.points[0].x, e.points[0].y, e.radius, e.startRadians, e.endRadians);
                } else {
                    cairo_arc_negative(cr, e.points[0].x, e.points[0].y, e.radius, e.startRadians, e.endRadians);
                }
                break;
            case Path::Kind::close: cairo_close_path(cr); break;
        }
    }
}

}  // namespace ui
