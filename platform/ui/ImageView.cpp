#include "platform/ui/ImageView.h"

#include <algorithm>
#include <utility>

namespace ui {

ImageView::ImageView(Rect frame, std::string imageName) : View(frame), imageName_(std::move(imageName)) {
    userInteractionEnabled = false;
}

void ImageView::setImageName(std::string name) {
    imageName_ = std::move(name);
    setNeedsDisplay();
}

void ImageView::setImage(std::shared_ptr<const Image> image) {
    image_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::draw(GraphicsContext& ctx, Rect) {
    if (!image_ || image_->width() <= 0 || image_->height() <= 0) return;
    const Rect b = bounds();
    const double scale = std::min(b.width / image_->width(), b.height / image_->height());
    const double width = image_->width() * scale;
    const double height = image_->height() * scale;
    ctx.drawImage(*image_, {(b.width - width) / 2, (b.height - height) / 2, width, height}, alpha);
}

}  // namespace ui
