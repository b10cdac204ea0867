#include "platform/ui/View.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Window.h"

#include <algorithm>

namespace ui {

View::View(Rect frame) : frame_(frame) {}

View::~View() {
    for (auto& child : subviews_) child->superview_ = nullptr;
    for (auto& recognizer : recognizers_) recognizer->view_ = nullptr;
}

void View::setFrame(Rect frame) {
    frame_ = frame;
    setNeedsDisplay();
    for (const auto& child : subviews_) {
        if (child->pinned_) child->followSuperview();
    }
}

void View::setScale(double scale) {
    if (!(scale > 0) || scale == scale_) return;
    scale_ = scale;
    setFrame(frame_);
}

void View::setPinnedToSuperviewEdges(bool pinned) {
    pinned_ = pinned;
    if (pinned_) followSuperview();
}

void View::followSuperview() {
    if (superview_ && frame_ != superview_->bounds()) setFrame(superview_->bounds());
}

Window* View::window() const {
    const View* root = this;
    while (root->superview_) root = root->superview_;
    return root->window_;
}

void View::addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer) {
    if (!recognizer || recognizer->view_) return;
    recognizer->view_ = this;
    recognizers_.push_back(std::move(recognizer));
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
    subviews_.push_back(view);
    setNeedsDisplay();
    if (view->pinned_) view->followSuperview();
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
    const bool scaled = scale_ != 1;
    if (scaled) {
        ctx.saveGState();
        ctx.scaleBy(scale_, scale_);
    }
    draw(ctx, bounds());
    for (const auto& child : subviews_) {
        ctx.saveGState();
        ctx.translateBy(child->frame_.x, child->frame_.y);
        ctx.clip({0, 0, child->frame_.width, child->frame_.height});
        child->drawHierarchy(ctx);
        ctx.restoreGState();
    }
    if (scaled) ctx.restoreGState();
}

bool View::scrollBy(double) { return false; }

View* View::hitTest(Point point) {
    if (hidden_ || !userInteractionEnabled || !bounds().contains(point)) return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        View* child = it->get();
        const Point inChild{(point.x - child->frame_.x) / child->scale_, (point.y - child->frame_.y) / child->scale_};
        if (View* hit = child->hitTest(inChild)) return hit;
    }
    return this;
}

Point View::convert(Point point, const View* descendant) const {
    std::vector<const View*> chain;
    for (const View* v = descendant; v && v != this; v = v->superview_) chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        point.x = (point.x - (*it)->frame_.x) / (*it)->scale_;
        point.y = (point.y - (*it)->frame_.y) / (*it)->scale_;
    }
    return point;
}

Rect View::convertRectFrom(Rect rect, const View* descendant) const {
    for (const View* v = descendant; v && v != this; v = v->superview_) {
        rect = {v->frame_.x + rect.x * v->scale_, v->frame_.y + rect.y * v->scale_, rect.width * v->scale_,
                rect.height * v->scale_};
    }
    return rect;
}

}  // namespace ui
