#pragma once

// Points, sizes and rectangles of the drawing layer: double precision, origin top left, y downwards.
// Plain values; usable from any thread.
namespace ui {

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    double width = 0;
    double height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double minX() const { return width < 0 ? x + width : x; }
    double minY() const { return height < 0 ? y + height : y; }
    double maxX() const { return width < 0 ? x : x + width; }
    double maxY() const { return height < 0 ? y : y + height; }
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }

    // The same area with a non-negative width and height.
    Rect standardized() const { return {minX(), minY(), maxX() - minX(), maxY() - minY()}; }
    Rect insetBy(double dx, double dy) const { return {x + dx, y + dy, width - 2 * dx, height - 2 * dy}; }
    bool isZero() const { return x == 0 && y == 0 && width == 0 && height == 0; }
    bool isEmpty() const { return !(width != 0 && height != 0); }

    // Half-open containment, [minX, maxX) x [minY, maxY): two rectangles that share an edge never both contain a
    // point of it. An empty rectangle contains nothing.
    bool contains(Point p) const {
        return !isEmpty() && p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace ui
