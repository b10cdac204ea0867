#include "platform/ui/HeadlessRenderer.h"

#include <cmath>

namespace ui {

void HeadlessRenderer::render(View& root, Color background) {
    const Rect frame = root.frame();
    const int width = static_cast<int>(std::ceil(frame.width));
    const int height = static_cast<int>(std::ceil(frame.height));
    if (!image_ || image_->width() != std::max(width, 1) || image_->height() != std::max(height, 1)) {
        image_ = std::make_unique<ImageSurface>(width, height);
    }
    image_->clear(background);
    GraphicsContext& ctx = image_->context();
    ctx.recordCallsInto(recording_ ? &calls_ : nullptr);
    ctx.saveGState();
    ctx.clip(root.bounds());
    root.drawHierarchy(ctx);
    ctx.restoreGState();
    ctx.recordCallsInto(nullptr);
}

}  // namespace ui
