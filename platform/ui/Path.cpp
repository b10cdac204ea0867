#include "platform/ui/Path.h"

#include "platform/ui/CairoPath.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ui {

namespace {
constexpr double kHalfPi = std::numbers::pi / 2;
}  // namespace

Path Path::rect(Rect r) {
    Path path;
    const Rect s = r.standardized();
    path.moveTo({s.minX(), s.minY()});
    path.lineTo({s.maxX(), s.minY()});
    path.lineTo({s.maxX(), s.maxY()});
    path.lineTo({s.minX(), s.maxY()});
    path.close();
    path.rectangle_ = r;
    return path;
}

Path Path::roundedRect(Rect r, double cornerRadius) {
    const Rect s = r.standardized();
    if (!(s.width > 0 && s.height > 0)) return {};
    const double radius = std::clamp(cornerRadius, 0.0, std::min(s.width, s.height) / 2);
    Path path;
    path.addArc({s.maxX() - radius, s.minY() + radius}, radius, -kHalfPi, 0, true);
    path.addArc({s.maxX() - radius, s.maxY() - radius}, radius, 0, kHalfPi, true);
    path.addArc({s.minX() + radius, s.maxY() - radius}, radius, kHalfPi, 2 * kHalfPi, true);
    path.addArc({s.minX() + radius, s.minY() + radius}, radius, 2 * kHalfPi, 3 * kHalfPi, true);
    path.close();
    return path;
}

Path Path::roundedTopRect(Rect r, double cornerRadius) {
    const Rect s = r.standardized();
    if (!(s.width > 0 && s.height > 0)) return {};
    const double radius = std::clamp(cornerRadius, 0.0, std::min(s.width, s.height) / 2);
    Path path;
    path.moveTo({s.minX(), s.maxY()});
    path.addArc({s.minX() + radius, s.minY() + radius}, radius, 2 * kHalfPi, 3 * kHalfPi, true);
    path.addArc({s.maxX() - radius, s.minY() + radius}, radius, -kHalfPi, 0, true);
    path.lineTo({s.maxX(), s.maxY()});
    path.close();
    return path;
}

Path Path::oval(Rect r) {
    const Rect s = r.standardized();
    if (!(s.width > 0 && s.height > 0)) return {};
    // A circle of radius 1 stretched to the box, as four quarter arcs approximated by cubic curves.
    constexpr double k = 0.5522847498307936;  // 4/3 (sqrt 2 - 1), the usual quarter-circle control distance
    const double rx = s.width / 2;
    const double ry = s.height / 2;
    const double cx = s.midX();
    const double cy = s.midY();
    Path path;
    path.moveTo({cx + rx, cy});
    path.curveTo({cx + rx, cy + k * ry}, {cx + k * rx, cy + ry}, {cx, cy + ry});
    path.curveTo({cx - k * rx, cy + ry}, {cx - rx, cy + k * ry}, {cx - rx, cy});
    path.curveTo({cx - rx, cy - k * ry}, {cx - k * rx, cy - ry}, {cx, cy - ry});
    path.curveTo({cx + k * rx, cy - ry}, {cx + rx, cy - k * ry}, {cx + rx, cy});
    path.close();
    return path;
}

void Path::moveTo(Point p) {
    rectangle_.reset();
    elements_.push_back({Kind::moveTo, {p}});
}

void Path::lineTo(Point p) {
    rectangle_.reset();
    elements_.push_back({Kind::lineTo, {p}});
}

void Path::curveTo(Point control1, Point control2, Point end) {
    rectangle_.reset();
    elements_.push_back({Kind::curveTo, {control1, control2, end}});
}

void Path::addArc(Point centre, double radius, double startRadians, double endRadians, bool clockwise) {
    rectangle_.reset();
    Element e{Kind::arc, {centre}};
    e.radius = radius;
    e.startRadians = startRadians;
    e.endRadians = endRadians;
    e.clockwise = clockwise;
    elements_.push_back(e);
}

void Path::close() {
    rectangle_.reset();
    Element e;
    e.kind = Kind::close;
    elements_.push_back(e);
}

bool Path::contains(Point p) const {
    if (rectangle_) return rectangle_->contains(p);
    if (elements_.empty()) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    appendToCairo(cr, *this);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    const bool inside = cairo_in_fill(cr, p.x, p.y) != 0;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return inside;
}

}  // namespace ui
