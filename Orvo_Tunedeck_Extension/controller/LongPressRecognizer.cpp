#include "Orvo_Tunedeck_Extension/controller/LongPressRecognizer.h"

#include "platform/dispatch/MainQueue.h"

#include <cmath>

LongPressRecognizer::~LongPressRecognizer() { stopWaiting(); }

void LongPressRecognizer::touchBegan(ui::Point location) {
    stopWaiting();
    recognized_ = false;
    start_ = location;
    // The queue only has repeating timers: the first firing ends the wait for good.
    wait_ = dispatch::MainQueue::shared().scheduleRepeatingTimer(kMinimumPressDuration, [this](dispatch::Timer&) {
        stopWaiting();
        recognized_ = true;
        report(ui::GestureState::began);
    });
}

void LongPressRecognizer::touchMoved(ui::Point location) {
    if (recognized_) {
        report(ui::GestureState::changed);
    } else if (std::hypot(location.x - start_.x, location.y - start_.y) > kAllowableMovement) {
        stopWaiting();
    }
}

void LongPressRecognizer::touchEnded() {
    stopWaiting();
    if (recognized_) report(ui::GestureState::ended);
    recognized_ = false;
}

void LongPressRecognizer::touchCancelled() {
    stopWaiting();
    if (recognized_) report(ui::GestureState::cancelled);
    recognized_ = false;
}

void LongPressRecognizer::stopWaiting() {
    if (wait_) wait_->invalidate();
    wait_.reset();
}

void LongPressRecognizer::report(ui::GestureState state) {
    if (action) action(state);
}
