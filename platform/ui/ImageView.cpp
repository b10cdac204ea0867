#include "platform/ui/ImageView.h"

#include <utility>

namespace ui {

ImageView::ImageView(Rect frame, std::string imageName) : View(frame), imageName_(std::move(imageName)) {
    userInteractionEnabled = false;
}

void ImageView::setImageName(std::string name) {
    imageName_ = std::move(name);
    setNeedsDisplay();
}

}  // namespace ui
