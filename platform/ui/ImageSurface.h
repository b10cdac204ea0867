#pragma once

#include "platform/ui/Color.h"
#include "platform/ui/GraphicsContext.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace ui {

// An 8-bit RGBA pixel, not premultiplied.
struct Pixel {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// An in-memory picture of width x height pixels (32-bit ARGB) with a graphics context drawing into it, for the
// headless back end and for tests.
//
// Thread contract: one thread at a time.
class ImageSurface {
public:
    // A surface of at least 1 x 1 pixels, cleared to transparent.
    ImageSurface(int width, int height);
    ~ImageSurface();
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // The context draws in pixel units, origin top left.
    GraphicsContext& context() { return *context_; }

    // Paints every pixel with color, ignoring the clip and transform of the context.
    void clear(Color color);

    // The pixel at (x, y); transparent black outside the surface.
    Pixel pixel(int x, int y) const;

    // Writes the picture as a PNG file; false (and the reason in cairo's status) when it cannot.
    bool writePng(const std::filesystem::path& file) const;
    // The picture encoded as PNG, for a writer of its own choice; empty when it cannot be encoded.
    std::vector<std::uint8_t> pngBytes() const;

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
    std::unique_ptr<GraphicsContext> context_;
};

}  // namespace ui
