// Eases a single number from start to destination in a set count of frames, one per tick of a repeating main-queue
// timer, and hands each value to callbacks (it draws nothing).
//
// For N > 0 frames there are N + 1 ticks: N calls to onAnimation, the first with the start value and each later one
// one frame further on, then onFinished with the destination. Looped runs reverse at either end (onLoop first)
// until stop().
//
// Threads: main queue only; callbacks run there. start() needs the animator to be owned by a std::shared_ptr,
// which the running timer then holds until the run ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/dispatch/Timer.h"
#include "shared/animation/Easing.h"
#include "shared/animation/EnumEasing.h"

class Animator : public std::enable_shared_from_this<Animator> {
public:
    using AnimationCallback = std::function<void(Animator& animator, float value)>;
    using LoopCallback = std::function<void(Animator& animator)>;

    // Idle (_frames -1), linear.
    Animator() = default;
    // Idle, then setup(sourceValue, destinationValue, frames, interval, type).
    Animator(float sourceValue, float destinationValue, std::int64_t frames, float interval, EnumEasing type);
    ~Animator();
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;

    // Prepares a run of frames frames (a negative count becomes 0; equal ends give 0) at interval seconds per frame
    // along the curve of type. A running timer is left as it is.
    void setup(float source, float destination, std::int64_t frames, float interval, EnumEasing type);
    // A new run back from the destination to the start over the frames of the current run (0 when idle).
    void reverse();
    // A new linear run over the frame count of the last set-up, at 0.009 s per frame.
    void rewind();
    // Jumps to the destination within the call: one onAnimation with the start value when the ends differ, then
    // onFinished (onLoop when looped).
    void undo();

    float getSourceValue() const { return _source; }
    float getDestinationValue() const { return _destination; }
    float getValue() const { return _value; }
    float getAmount() const { return _amount; }
    std::int64_t getFrames() const { return _frames; }
    // Kept for callers that count frames from a start of their own; the animator itself never moves it.
    std::int64_t getStartFrame() const { return _startFrame; }
    std::int64_t getFrameCount() const { return _frameCount; }
    std::int64_t getStep() const { return _step; }
    float getInterval() const { return _interval; }
    EnumEasing getType() const { return _type; }
    // Idle or finished.
    bool isFinished() const { return _frames < 0; }
    // A timer drives the animator.
    bool isRunning() const { return _timer != nullptr; }

    // One frame; the timer calls it, and a caller may call it directly.
    void animate();
    // Drives animate() from a repeating main-queue timer with period _interval; a timer started before is stopped.
    // Does nothing for an animator not owned by a std::shared_ptr.
    void start();
    // Stops the timer and makes the animator idle; looped becomes false. No callback.
    void stop();
    // Stops the timer and brings every value back to that of a new animator (idle, linear, 0.005 s, not looped);
    // the callbacks stay. No callback.
    void reset();

    void setType(EnumEasing type);
    // Takes effect at the next start().
    void setInterval(float interval) { _interval = interval; }

    // Ping-pong until stop() rather than finish.
    bool looped = false;
    // Before each frame, with the value before the frame.
    AnimationCallback onAnimation;
    // Once at the end, with the final value.
    AnimationCallback onFinished;
    // At each turn of a looped run.
    LoopCallback onLoop;

private:
    void stopTimer();

    std::int64_t _startFrame = 0;
    std::int64_t _frameCount = 0;
    std::shared_ptr<dispatch::Timer> _timer;
    float _source = 0.0f;
    float _value = 0.0f;
    float _destination = 0.0f;
    float _amount = 0.0f;
    std::int64_t _frames = -1;
    std::int64_t _step = 0;
    float _interval = 0.005f;
    easing::EasingFunction _action = easing::easeNone;
    EnumEasing _type = EnumEasing::EASING_easeNone;
};
