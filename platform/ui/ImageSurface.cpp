#include "platform/ui/ImageSurface.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace ui {

ImageSurface::ImageSurface(int width, int height)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_)),
      cr_(cairo_create(surface_)),
      context_(std::make_unique<GraphicsContext>(cr_)) {}

ImageSurface::~ImageSurface() {
    context_.reset();
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void ImageSurface::clear(Color color) {
    cairo_save(cr_);
    cairo_reset_clip(cr_);
    cairo_identity_matrix(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr_, color.red, color.green, color.blue, color.alpha);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

Pixel ImageSurface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    cairo_surface_flush(surface_);
    const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    std::uint32_t argb;
    std::memcpy(&argb, row + 4 * x, sizeof argb);
    const std::uint8_t a = argb >> 24;
    auto unpremultiply = [a](std::uint32_t c) {
        return static_cast<std::uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a);
    };
    return {unpremultiply((argb >> 16) & 0xff), unpremultiply((argb >> 8) & 0xff), unpremultiply(argb & 0xff), a};
}

bool ImageSurface::writePng(const std::filesystem::path& file) const {
    cairo_surface_flush(surface_);
    return cairo_surface_write_to_png(surface_, file.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::vector<std::uint8_t> ImageSurface::pngBytes() const {
    cairo_surface_flush(surface_);
    std::vector<std::uint8_t> bytes;
    const cairo_status_t status = cairo_surface_write_to_png_stream(
        surface_,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto& out = *static_cast<std::vector<std::uint8_t>*>(closure);
            out.insert(out.end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    if (status != CAIRO_STATUS_SUCCESS) bytes.clear();
    return bytes;
}

}  // namespace ui
