#include "Orvo_Tunedeck_Extension/lists/ListScreenView.h"

#include <algorithm>
#include <utility>

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Path.h"

ListScreenView::ListScreenView(ui::Rect frame, std::shared_ptr<ui::View> list)
    : ui::View(frame), list_(std::move(list)) {
    addSubview(list_);
    setFrame(frame);
}

void ListScreenView::setFrame(ui::Rect frame) {
    ui::View::setFrame(frame);
    if (list_) list_->setFrame({0, kButtonHeight, frame.width, std::max(0.0, frame.height - kButtonHeight)});
}

void ListScreenView::draw(ui::GraphicsContext& ctx, ui::Rect dirty) { ctx.fill(ui::Path::rect(dirty), ui::Color::white()); }
