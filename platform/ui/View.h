#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/GraphicsContext.h"

#include <memory>
#include <vector>

namespace ui {

class GestureRecognizer;
class Window;

// One finger (or pointer) on the screen, located in the coordinates of the view that receives it.
struct Touch {
    Point location;
};

// A rectangle of the window that draws itself and takes touches. Views form a tree: each holds its subviews,
// drawn after it and on top of it, in the order they were added. A back end (a window, or the headless renderer)
// walks the tree, draws the views that asked for it and routes touches to the view under the pointer.
// Screens, tables, alerts and web views build on this class.
//
// Thread contract: main thread only.
class View {
public:
    explicit View(Rect frame = {});
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // Position and size in the superview's coordinates.
    Rect frame() const { return frame_; }
    virtual void setFrame(Rect frame);
    // The view's own coordinate space: origin (0, 0), the frame's size divided by the scale.
    Rect bounds() const { return {0, 0, frame_.width / scale_, frame_.height / scale_}; }

    // How much larger the view's content (its drawing and its subviews) appears than its own coordinates say: a
    // view of scale 2 shows a bounds of 100 x 50 in a frame of 200 x 100. Positive; 1 at first.
    double scale() const { return scale_; }
    void setScale(double scale);

    // While set, the view keeps its superview's bounds as its frame (an edge-to-edge fit that follows every
    // resize of the superview). Without a superview there is nothing to follow and nothing changes.
    void setPinnedToSuperviewEdges(bool pinned);
    bool isPinnedToSuperviewEdges() const { return pinned_; }

    // The window whose tree holds this view, or null while the view is shown in no window.
    Window* window() const;

    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);

    // Asks for a redraw; requests are merged until the back end draws.
    void setNeedsDisplay() { needsDisplay_ = true; }
    bool needsDisplay() const { return needsDisplay_; }
    // Whether this view or any view below it asked for a redraw.
    bool needsDisplayInTree() const;

    // Paints the view into ctx, whose origin is the view's top left; dirty is the area to repaint (the bounds).
    // The default draws nothing.
    virtual void draw(GraphicsContext& ctx, Rect dirty);

    // Touch handlers; the default ignores the touches. The first touch of the list is the one that counts for the
    // panel designs; the list is never empty.
    virtual void touchesBegan(const std::vector<Touch>& touches);
    virtual void touchesMoved(const std::vector<Touch>& touches);
    virtual void touchesEnded(const std::vector<Touch>& touches);
    virtual void touchesCancelled(const std::vector<Touch>& touches);

    // Subviews are shared: a controller may hold an outlet to the same view.
    void addSubview(std::shared_ptr<View> view);
    void removeFromSuperview();
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    View* superview() const { return superview_; }

    // Draws this view (unless hidden) and then its subviews, each translated to its frame and clipped to it;
    // clears the redraw requests of every view drawn.
    void drawHierarchy(GraphicsContext& ctx);

    // The frontmost visible view that contains point (in this view's coordinates), or null; whether a view takes
    // touches at all is its userInteractionEnabled flag.
    View* hitTest(Point point);
    bool userInteractionEnabled = true;

    // Scrolls the view's content by dy points (positive: towards its end) as the mouse wheel does; false when the
    // view does not scroll, or is already at that end. Views that scroll override it.
    virtual bool scrollBy(double dy);

    // Converts a point of this view into the coordinates of one of its descendants (or itself).
    Point convert(Point point, const View* descendant) const;
    // Converts a rectangle of one of this view's descendants (or itself) into this view's coordinates.
    Rect convertRectFrom(Rect rect, const View* descendant) const;

    // Recognisers of gestures made on this view or on the views below it (see GestureRecognizer). The view
    // owns them.
    void addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const { return recognizers_; }

private:
    friend class Window;
    void followSuperview();

    Rect frame_;
    double scale_ = 1;
    bool pinned_ = false;
    Window* window_ = nullptr;  // set on the root view of a window only
    std::vector<std::shared_ptr<GestureRecognizer>> recognizers_;
    bool hidden_ = false;
    bool needsDisplay_ = true;
    View* superview_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
};

}  // namespace ui
