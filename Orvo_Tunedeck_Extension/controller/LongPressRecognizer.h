#pragma once

#include "platform/dispatch/Timer.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/GestureRecognizer.h"

#include <functional>
#include <memory>

// Recognises a finger held still: a touch that stays within kAllowableMovement points of where it began for
// kMinimumPressDuration seconds of the main queue's clock. From then on the action gets began, changed for every
// move, and ended or cancelled with the touch. A touch that moves too far or lifts earlier reports nothing.
//
// Thread contract: main queue only. Destroying the recogniser ends a wait in progress.
class LongPressRecognizer {
public:
    static constexpr double kMinimumPressDuration = 0.5;
    static constexpr double kAllowableMovement = 10;

    LongPressRecognizer() = default;
    ~LongPressRecognizer();
    LongPressRecognizer(const LongPressRecognizer&) = delete;
    LongPressRecognizer& operator=(const LongPressRecognizer&) = delete;

    // Runs for each phase of a recognised press; may be empty.
    std::function<void(ui::GestureState)> action;

    // The touch's phases, in any coordinate space that stays the same for the touch.
    void touchBegan(ui::Point location);
    void touchMoved(ui::Point location);
    void touchEnded();
    void touchCancelled();

    bool isRecognized() const { return recognized_; }

private:
    void stopWaiting();
    void report(ui::GestureState state);

    std::shared_ptr<dispatch::Timer> wait_;
    ui::Point start_;
    bool recognized_ = false;
};
