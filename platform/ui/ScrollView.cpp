#include "platform/ui/ScrollView.h"

#include <algorithm>

namespace ui {

// The content's background hands its drags to the scroll view, in the scroll view's coordinates (the content moves
// under the finger while it scrolls).
class ScrollView::Content final : public View {
public:
    explicit Content(ScrollView& owner) : owner_(owner) {}
    void touchesBegan(const std::vector<Touch>& touches) override { owner_.dragBegan(inOwner(touches)); }
    void touchesMoved(const std::vector<Touch>& touches) override { owner_.dragMoved(inOwner(touches)); }

private:
    Point inOwner(const std::vector<Touch>& touches) const {
        const Point p = touches.front().location;
        return {p.x + frame().x, p.y + frame().y};
    }
    ScrollView& owner_;
};

ScrollView::ScrollView(Rect frame) : View(frame), content_(std::make_shared<Content>(*this)) {
    addSubview(content_);
}

void ScrollView::setContentSize(Size size) {
    content_->setFrame({-offset_.x, -offset_.y, size.width, size.height});
    setContentOffset(offset_);
}

bool ScrollView::scrollBy(double dy) {
    const double before = offset_.y;
    setContentOffset({offset_.x, offset_.y + dy});
    return offset_.y != before;
}

void ScrollView::setContentOffset(Point offset) {
    const Size content = contentSize();
    offset_ = {std::clamp(offset.x, 0.0, std::max(0.0, content.width - bounds().width)),
               std::clamp(offset.y, 0.0, std::max(0.0, content.height - bounds().height))};
    content_->setFrame({-offset_.x, -offset_.y, content.width, content.height});
    setNeedsDisplay();
}

void ScrollView::setFrame(Rect frame) {
    View::setFrame(frame);
    setContentOffset(offset_);
}

void ScrollView::touchesBegan(const std::vector<Touch>& touches) { dragBegan(touches.front().location); }

void ScrollView::touchesMoved(const std::vector<Touch>& touches) { dragMoved(touches.front().location); }

void ScrollView::dragBegan(Point location) {
    dragStart_ = location;
    offsetAtStart_ = offset_;
}

void ScrollView::dragMoved(Point location) {
    setContentOffset({offsetAtStart_.x - (location.x - dragStart_.x), offsetAtStart_.y - (location.y - dragStart_.y)});
}

}  // namespace ui
