#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <vector>

namespace ui {

// A view that shows part of a larger content: the views added to contentView() are laid out in the content's
// coordinates (contentSize() large) and shown moved by the content offset, clipped to the scroll view. A drag that
// starts on the content's background (or on the scroll view itself) scrolls it; drags on the content's own views
// stay theirs.
//
// Thread contract: main thread only.
class ScrollView : public View {
public:
    explicit ScrollView(Rect frame = {});

    View& contentView() { return *content_; }

    Size contentSize() const { return {content_->frame().width, content_->frame().height}; }
    // Keeps the offset within the new size.
    void setContentSize(Size size);

    // The point of the content shown at the top left; clamped to [0, content size - view size] on each axis (0
    // where the content fits).
    Point contentOffset() const { return offset_; }
    void setContentOffset(Point offset);

    void setFrame(Rect frame) override;
    bool scrollBy(double dy) override;
    void touchesBegan(const std::vector<Touch>& touches) override;
    void touchesMoved(const std::vector<Touch>& touches) override;

private:
    class Content;
    // A drag on the content's background, in the scroll view's coordinates.
    void dragBegan(Point location);
    void dragMoved(Point location);

    std::shared_ptr<View> content_;
    Point offset_;
    Point dragStart_;
    Point offsetAtStart_;
};

}  // namespace ui
