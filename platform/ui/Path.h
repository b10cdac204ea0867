#pragma once

#include "platform/ui/Geometry.h"

#include <optional>
#include <vector>

namespace ui {

// A figure of lines, cubic curves and circular arcs, kept as a list of elements and replayed into a graphics
// context. A path made by Path::rect remembers its rectangle, so that hit tests on it are exact.
// Plain value; usable from any thread.
class Path {
public:
    enum class Kind { moveTo, lineTo, curveTo, arc, close };
    struct Element {
        Kind kind = Kind::moveTo;
        Point points[3] = {};     // moveTo/lineTo: [0]; curveTo: control 1, control 2, end
        double radius = 0;        // arc: centre in points[0]
        double startRadians = 0;  // angles measured from +x towards +y (clockwise on screen)
        double endRadians = 0;
        bool clockwise = true;
    };

    Path() = default;

    static Path rect(Rect r);
    // Corner radius clamped to half the shorter side; an empty rectangle gives an empty path.
    static Path roundedRect(Rect r, double cornerRadius);
    // Only the two upper corners rounded, as above.
    static Path roundedTopRect(Rect r, double cornerRadius);
    static Path oval(Rect r);

    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point control1, Point control2, Point end);
    // Clockwise means increasing angle, which turns clockwise on a y-down screen.
    void addArc(Point centre, double radius, double startRadians, double endRadians, bool clockwise);
    void close();

    bool isEmpty() const { return elements_.empty(); }
    const std::vector<Element>& elements() const { return elements_; }
    const std::optional<Rect>& rectangle() const { return rectangle_; }

    // Whether p lies inside (non-zero winding). Rectangle paths use the half-open rule of Rect::contains; an empty
    // path contains nothing.
    bool contains(Point p) const;

private:
    std::vector<Element> elements_;
    std::optional<Rect> rectangle_;
};

}  // namespace ui
