#include "Orvo_Tunedeck_Extension/controller/InstrumentRootView.h"

#include "Orvo_Tunedeck_Extension/views/ResizingBehavior.h"
#include "platform/ui/Path.h"

InstrumentRootView::InstrumentRootView(ui::Rect frame)
    : View(frame), content_(std::make_shared<ui::View>(kDesign)) {
    addSubview(content_);
    setFrame(frame);
}

void InstrumentRootView::setFrame(ui::Rect frame) {
    View::setFrame(frame);
    // The scale that fits the design; the content then covers the whole root, so that what its layout puts at its
    // edges (the toolbars) sits at the root's edges, at every size.
    const ui::Rect fitted = fitCanvas(kDesign, bounds(), ResizingBehavior::aspectFit).rect;
    if (fitted.width > 0 && fitted.height > 0) {
        content_->setScale(fitted.width / kDesign.width);
        content_->setFrame(bounds());
    }
    if (didLayout) didLayout();
}

void InstrumentRootView::draw(ui::GraphicsContext& ctx, ui::Rect dirty) { ctx.fill(ui::Path::rect(dirty), kBackground); }
