#pragma once

#include "platform/ui/Geometry.h"

#include <functional>

namespace ui {

class View;

// The phase of a gesture as its action sees it. Discrete gestures (taps) report ended only.
enum class GestureState { began, changed, ended, cancelled };

// Watches the touches made on its view, or on any view below it, for one gesture and runs its action at each phase
// of a recognised gesture. The touches still reach the view under them as well. A back end (TouchRouter) feeds the
// recognisers of the touched view and of every view above it, each in its own view's coordinates.
//
// Thread contract: main thread only.
class GestureRecognizer {
public:
    GestureRecognizer() = default;
    virtual ~GestureRecognizer() = default;
    GestureRecognizer(const GestureRecognizer&) = delete;
    GestureRecognizer& operator=(const GestureRecognizer&) = delete;

    // The view it is attached to (View::addGestureRecognizer), or null.
    View* view() const { return view_; }
    GestureState state() const { return state_; }

    // Runs at each phase of a recognised gesture; may be empty.
    std::function<void()> action;
    // Whether a touch that begins on hitView is for this recogniser; every touch is while it is empty.
    std::function<bool(const View& hitView)> shouldReceiveTouch;

    // The phases of one touch, located in the recogniser's view.
    virtual void touchBegan(Point) {}
    virtual void touchMoved(Point) {}
    virtual void touchEnded(Point) {}
    virtual void touchCancelled() {}

protected:
    void report(GestureState state);

private:
    friend class View;
    View* view_ = nullptr;
    GestureState state_ = GestureState::ended;
};

// Recognises numberOfTapsRequired taps in a row: presses lifted within kAllowableMovement points of where they
// began, each press following the last release within kMaximumTapInterval seconds of the main queue's clock.
class TapGestureRecognizer : public GestureRecognizer {
public:
    static constexpr double kAllowableMovement = 10;
    static constexpr double kMaximumTapInterval = 0.35;

    explicit TapGestureRecognizer(int numberOfTapsRequired = 1) : numberOfTapsRequired(numberOfTapsRequired) {}
    int numberOfTapsRequired;

    void touchBegan(Point location) override;
    void touchMoved(Point location) override;
    void touchEnded(Point location) override;
    void touchCancelled() override;

private:
    Point start_;
    bool tracking_ = false;
    int taps_ = 0;
    double lastRelease_ = 0;
};

// Recognises a drag: begins once the touch has moved kMinimumDistance points, then follows it until it lifts.
// translation() is the way travelled since the touch began, in the view's coordinates.
class PanGestureRecognizer : public GestureRecognizer {
public:
    static constexpr double kMinimumDistance = 10;

    Point translation() const { return translation_; }

    void touchBegan(Point location) override;
    void touchMoved(Point location) override;
    void touchEnded(Point location) override;
    void touchCancelled() override;

private:
    Point start_;
    Point translation_;
    bool tracking_ = false;
    bool recognized_ = false;
};

// Recognises two fingers moving apart or together; scale() is their distance relative to where they began (1 at
// the start). Pointer back ends have a single touch, so they feed the pinch of a touchpad, or the wheel turned with
// the zoom modifier, through pinchBegan, pinchChanged and pinchEnded.
class PinchGestureRecognizer : public GestureRecognizer {
public:
    double scale() const { return scale_; }

    void pinchBegan();
    void pinchChanged(double scale);
    void pinchEnded();
    void pinchCancelled();

private:
    double scale_ = 1;
    bool pinching_ = false;
};

}  // namespace ui
