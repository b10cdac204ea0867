#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Path.h"

#include <string>
#include <string_view>
#include <vector>

typedef struct _cairo cairo_t;

namespace ui {

class Image;

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };

struct StrokeStyle {
    double width = 1;
    LineCap cap = LineCap::butt;
    LineJoin join = LineJoin::miter;
    double miterLimit = 10;
};

struct TextStyle {
    Font font;
    Color color = Color::black();
    TextAlignment alignment = TextAlignment::left;
    // Narrows a line wider than its rectangle to fit it, for designs made for narrower fonts than the system has.
    bool narrowToFit = false;
};

// The drawing surface handed to a view's draw pass: a cairo context with the state stack, transforms and clip of
// the views' designs, fills and strokes of paths, and single-line text through Pango.
// Optionally records every call as one line of text ("fill", "translate 10 20", ...) for tests.
//
// Thread contract: one thread at a time, the one that draws (the main thread).
class GraphicsContext {
public:
    // Does not take ownership of cr; the context draws nothing when cr is null.
    explicit GraphicsContext(cairo_t* cr);

    void saveGState();
    void restoreGState();
    void translateBy(double dx, double dy);
    void scaleBy(double sx, double sy);
    // Positive angles turn clockwise on screen (y downwards).
    void rotate(double radians);
    // Intersects the clip with a rectangle in current coordinates.
    void clip(Rect r);

    // Non-zero winding fill of a path in one colour.
    void fill(const Path& path, Color color);
    void stroke(const Path& path, Color color, const StrokeStyle& style);

    // Size of text set as one line (its line height, not just the ink).
    Size textSize(std::string_view text, const Font& font) const;
    // Draws text as one line into rect, aligned horizontally by the style, vertically centred (or at the bottom
    // with alignToBottom), clipped to rect: text wider than rect is cut (or narrowed, see TextStyle), never wrapped.
    void drawText(std::string_view text, Rect rect, const TextStyle& style, bool alignToBottom = false);
    // Paints image scaled into rect (which it fills), at the given opacity (0...1).
    void drawImage(const Image& image, Rect rect, double alpha = 1);

    // When set, every call above appends a line describing it.
    void recordCallsInto(std::vector<std::string>* log) { log_ = log; }

    cairo_t* cairo() const { return cr_; }

private:
    void record(const std::string& line);

    cairo_t* cr_;
    std::vector<std::string>* log_ = nullptr;
};

}  // namespace ui
