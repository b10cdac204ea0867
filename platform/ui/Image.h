#pragma once

#include <cstdint>
#include <memory>
#include <span>

typedef struct _cairo_surface cairo_surface_t;

namespace ui {

// A decoded picture, read-only once made. Pictures come as PNG data (from a file or any other source).
//
// Thread contract: made on any thread; drawn on the thread that draws.
class Image {
public:
    // The picture the PNG data forms, or null when they form none.
    static std::shared_ptr<const Image> fromPngData(std::span<const std::uint8_t> data);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    int width() const;
    int height() const;
    cairo_surface_t* surface() const { return surface_; }

private:
    explicit Image(cairo_surface_t* surface) : surface_(surface) {}
    cairo_surface_t* surface_;
};

}  // namespace ui
