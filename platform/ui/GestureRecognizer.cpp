#include "platform/ui/GestureRecognizer.h"

#include "platform/dispatch/MainQueue.h"

#include <chrono>
#include <cmath>

namespace ui {

namespace {

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

double nowSeconds() {
    return std::chrono::duration<double>(dispatch::MainQueue::shared().now()).count();
}

}  // namespace

void GestureRecognizer::report(GestureState state) {
    state_ = state;
    if (action) action();
}

void TapGestureRecognizer::touchBegan(Point location) {
    if (taps_ > 0 && nowSeconds() - lastRelease_ > kMaximumTapInterval) taps_ = 0;
    start_ = location;
    tracking_ = true;
}

void TapGestureRecognizer::touchMoved(Point location) {
    if (tracking_ && distance(location, start_) > kAllowableMovement) {
        tracking_ = false;
        taps_ = 0;
    }
}

void TapGestureRecognizer::touchEnded(Point location) {
    if (!tracking_ || distance(location, start_) > kAllowableMovement) {
        tracking_ = false;
        taps_ = 0;
        return;
    }
    tracking_ = false;
    lastRelease_ = nowSeconds();
    if (++taps_ < numberOfTapsRequired) return;
    taps_ = 0;
    report(GestureState::ended);
}

void TapGestureRecognizer::touchCancelled() {
    tracking_ = false;
    taps_ = 0;
}

void PanGestureRecognizer::touchBegan(Point location) {
    start_ = location;
    translation_ = {};
    tracking_ = true;
    recognized_ = false;
}

void PanGestureRecognizer::touchMoved(Point location) {
    if (!tracking_) return;
    translation_ = {location.x - start_.x, location.y - start_.y};
    if (recognized_) {
        report(GestureState::changed);
    } else if (distance(location, start_) >= kMinimumDistance) {
        recognized_ = true;
        report(GestureState::began);
        report(GestureState::changed);
    }
}

void PanGestureRecognizer::touchEnded(Point location) {
    if (!tracking_) return;
    tracking_ = false;
    if (!recognized_) return;
    recognized_ = false;
    translation_ = {location.x - start_.x, location.y - start_.y};
    report(GestureState::ended);
}

void PanGestureRecognizer::touchCancelled() {
    if (!tracking_) return;
    tracking_ = false;
    if (!recognized_) return;
    recognized_ = false;
    report(GestureState::cancelled);
}

void PinchGestureRecognizer::pinchBegan() {
    scale_ = 1;
    pinching_ = true;
    report(GestureState::began);
}

void PinchGestureRecognizer::pinchChanged(double scale) {
    if (!pinching_ || !(scale > 0)) return;
    scale_ = scale;
    report(GestureState::changed);
}

void PinchGestureRecognizer::pinchEnded() {
    if (!pinching_) return;
    pinching_ = false;
    report(GestureState::ended);
}

void PinchGestureRecognizer::pinchCancelled() {
    if (!pinching_) return;
    pinching_ = false;
    report(GestureState::cancelled);
}

}  // namespace ui
