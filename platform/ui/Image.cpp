#include "platform/ui/Image.h"

#include <cairo.h>

#include <cstring>

namespace ui {

namespace {

struct PngReader {
    std::span<const std::uint8_t> data;
    std::size_t offset = 0;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (reader->data.size() - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data.data() + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::shared_ptr<const Image> Image::fromPngData(std::span<const std::uint8_t> data) {
    PngReader reader{data};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(&readPng, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::shared_ptr<const Image>(new Image(surface));
}

Image::~Image() { cairo_surface_destroy(surface_); }

int Image::width() const { return cairo_image_surface_get_width(surface_); }

int Image::height() const { return cairo_image_surface_get_height(surface_); }

}  // namespace ui
