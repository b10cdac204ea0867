#include "platform/ui/View.h"

#include <algorithm>

namespace ui {

View::View(Rect frame) : frame_(frame) {}

View::~View() {
    for (auto& child : subviews_) child->superview_ = nullptr;
}

void View::setFrame(Rect frame) {
    frame_ = frame;
    setNeedsDisplay();
}

void View::setHidden(bool hidden) {
    hidden_ = hidden;
    setNeedsDisplay();
}

bool View::needsDisplayInTree() const {
    if (needsDisplay_) return true;
    return std::any_of(subviews_.begin(), subviews_.end(), [](const auto& v) { return v->needsDisplayInTree(); });
}

void View::draw(GraphicsContext&, Rect) {}
void View::touchesBegan(const std::vector<Touch>&) {}
void View::touchesMoved(const std::vector<Touch>&) {}
void View::touchesEnded(const std::vector<Touch>&) {}
void View::touchesCancelled(const std::vector<Touch>&) {}

void View::addSubview(std::shared_ptr<View> view) {
    if (!view || view.get() == this) return;
    view->removeFromSuperview();
    view->superview_ = this;
    subviews_.push_back(std::move(view));
    setNeedsDisplay();
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    superview_ = nullptr;
    auto& siblings = parent->subviews_;
    // Erasing may drop the last reference to this view, so nothing of this may be touched afterwards.
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& v) { return v.get() == this; });
    if (it != siblings.end()) {
        std::shared_ptr<View> keep = std::move(*it);
        siblings.erase(it);
        parent->setNeedsDisplay();
    }
}

void View::drawHierarchy(GraphicsContext& ctx) {
    needsDisplay_ = false;
    if (hidden_) return;
    draw(ctx, bounds());
    for (const auto& child : subviews_) {
        ctx.saveGState();
        ctx.translateBy(child->frame_.x, child->frame_.y);
        ctx.clip(child->bounds());
        child->drawHierarchy(ctx);
        ctx.restoreGState();
    }
}

View* View::hitTest(Point point) {
    if (hidden_ || !userInteractionEnabled || !bounds().contains(point)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        View* child = it->get();
        if (View* hit = child->hitTest({point.x - child->frame_.x, point.y - child->frame_.y})) return hit;
    }
    return this;
}

Point View::convert(Point point, const View* descendant) const {
    std::vector<const View*> chain;
    for (const View* v = descendant; v && v != this; v = v->superview_) chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        point.x -= (*it)->frame_.x;
        point.y -= (*it)->frame_.y;
    }
    return point;
}

}  // namespace ui
