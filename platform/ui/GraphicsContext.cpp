#include "platform/ui/GraphicsContext.h"

#include "platform/ui/CairoPath.h"
#include "platform/ui/Image.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <memory>

namespace ui {

namespace {

std::string formatNumbers(const char* name, std::initializer_list<double> values) {
    std::string line = name;
    char buffer[32];
    for (double v : values) {
        std::snprintf(buffer, sizeof buffer, " %g", v);
        line += buffer;
    }
    return line;
}

std::string formatColor(Color c) {
    return formatNumbers("", {c.red, c.green, c.blue, c.alpha}).substr(1);
}

cairo_line_cap_t toCairo(LineCap cap) {
    switch (cap) {
        case LineCap::round: return CAIRO_LINE_CAP_ROUND;
        case LineCap::square: return CAIRO_LINE_CAP_SQUARE;
        case LineCap::butt: break;
    }
    return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t toCairo(LineJoin join) {
    switch (join) {
        case LineJoin::round: return CAIRO_LINE_JOIN_ROUND;
        case LineJoin::bevel: return CAIRO_LINE_JOIN_BEVEL;
        case LineJoin::miter: break;
    }
    return CAIRO_LINE_JOIN_MITER;
}

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

// A one-line layout; Pango units are 1/PANGO_SCALE of a drawing unit.
LayoutPtr makeLayout(cairo_t* cr, std::string_view text, const Font& font) {
    LayoutPtr layout(pango_cairo_create_layout(cr));
    // Device-independent metrics keep text sizes in drawing units whatever the transform.
    PangoContext* context = pango_layout_get_context(layout.get());
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_cairo_context_set_resolution(context, 72);
    pango_layout_context_changed(layout.get());

    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, font.family.c_str());
    pango_font_description_set_weight(description, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_stretch(description, font.condensed ? PANGO_STRETCH_CONDENSED : PANGO_STRETCH_NORMAL);
    pango_font_description_set_absolute_size(description, font.size * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), description);
    pango_font_description_free(description);
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
    return layout;
}

Size layoutSize(PangoLayout* layout) {
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return {static_cast<double>(logical.width) / PANGO_SCALE, static_cast<double>(logical.height) / PANGO_SCALE};
}

cairo_t* scratchContext() {
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    static cairo_t* cr = cairo_create(surface);
    return cr;
}

}  // namespace

GraphicsContext::GraphicsContext(cairo_t* cr) : cr_(cr) {}

void GraphicsContext::record(const std::string& line) {
    if (log_) log_->push_back(line);
}

void GraphicsContext::saveGState() {
    record("save");
    if (cr_) cairo_save(cr_);
}

void GraphicsContext::restoreGState() {
    record("restore");
    if (cr_) cairo_restore(cr_);
}

void GraphicsContext::translateBy(double dx, double dy) {
    if (log_) record(formatNumbers("translate", {dx, dy}));
    if (cr_) cairo_translate(cr_, dx, dy);
}

void GraphicsContext::scaleBy(double sx, double sy) {
    if (log_) record(formatNumbers("scale", {sx, sy}));
    // cairo refuses a singular matrix by putting the context into an error state for good; skip it instead.
    if (cr_ && sx != 0 && sy != 0) cairo_scale(cr_, sx, sy);
}

void GraphicsContext::rotate(double radians) {
    if (log_) record(formatNumbers("rotate", {radians}));
    if (cr_) cairo_rotate(cr_, radians);
}

void GraphicsContext::clip(Rect r) {
    if (log_) record(formatNumbers("clip", {r.x, r.y, r.width, r.height}));
    if (!cr_) return;
    const Rect s = r.standardized();
    cairo_rectangle(cr_, s.x, s.y, s.width, s.height);
    cairo_clip(cr_);
}

void GraphicsContext::fill(const Path& path, Color color) {
    if (log_) record("fill " + formatColor(color));
    if (!cr_ || path.isEmpty()) return;
    appendToCairo(cr_, path);
    cairo_set_source_rgba(cr_, color.red, color.green, color.blue, color.alpha);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr_);
}

void GraphicsContext::stroke(const Path& path, Color color, const StrokeStyle& style) {
    if (log_) record("stroke " + formatColor(color) + formatNumbers("", {style.width}));
    if (!cr_ || path.isEmpty()) return;
    appendToCairo(cr_, path);
    cairo_set_source_rgba(cr_, color.red, color.green, color.blue, color.alpha);
    cairo_set_line_width(cr_, style.width);
    cairo_set_line_cap(cr_, toCairo(style.cap));
    cairo_set_line_join(cr_, toCairo(style.join));
    cairo_set_miter_limit(cr_, style.miterLimit);
    cairo_stroke(cr_);
}

Size GraphicsContext::textSize(std::string_view text, const Font& font) const {
    LayoutPtr layout = makeLayout(cr_ ? cr_ : scratchContext(), text, font);
    return layoutSize(layout.get());
}

void GraphicsContext::drawText(std::string_view text, Rect rect, const TextStyle& style, bool alignToBottom) {
    if (log_) {
        record("text \"" + std::string(text) + "\"" + formatNumbers("", {rect.x, rect.y, rect.width, rect.height}) +
               " " + formatColor(style.color));
    }
    if (!cr_) return;
    const Rect r = rect.standardized();
    LayoutPtr layout = makeLayout(cr_, text, style.font);
    const Size size = layoutSize(layout.get());
    const double narrowing = style.narrowToFit && size.width > r.width && r.width > 0 ? r.width / size.width : 1.0;
    const double width = size.width * narrowing;
    double x = r.x;
    if (style.alignment == TextAlignment::centre) x = r.x + (r.width - width) / 2;
    if (style.alignment == TextAlignment::right) x = r.maxX() - width;
    const double y = alignToBottom ? r.maxY() - size.height : r.y + (r.height - size.height) / 2;
    cairo_save(cr_);
    cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
    cairo_clip(cr_);
    cairo_set_source_rgba(cr_, style.color.red, style.color.green, style.color.blue, style.color.alpha);
    cairo_translate(cr_, x, y);
    cairo_scale(cr_, narrowing, 1);
    cairo_move_to(cr_, 0, 0);
    pango_cairo_show_layout(cr_, layout.get());
    cairo_restore(cr_);
}

void GraphicsContext::drawImage(const Image& image, Rect rect, double alpha) {
    if (log_) record(formatNumbers("image", {rect.x, rect.y, rect.width, rect.height, alpha}));
    if (image.width() <= 0 || image.height() <= 0 || rect.isEmpty()) return;
    cairo_save(cr_);
    cairo_translate(cr_, rect.x, rect.y);
    cairo_scale(cr_, rect.width / image.width(), rect.height / image.height());
    cairo_set_source_surface(cr_, image.surface(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_GOOD);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
}

}  // namespace ui
