#include "shared/animation/Animator.h"

#include "platform/dispatch/MainQueue.h"

namespace {

constexpr float kRewindInterval = 0.009f;

}  // namespace

Animator::Animator(float sourceValue, float destinationValue, std::int64_t frames, float interval, EnumEasing type) {
    setup(sourceValue, destinationValue, frames, interval, type);
}

Animator::~Animator() { stopTimer(); }

void Animator::setup(float source, float destination, std::int64_t frames, float interval, EnumEasing type) {
    _source = source;
    _destination = destination;
    _value = _source;
    _amount = _destination - _source;
    _frames = frames;
    _frameCount = frames;
    _step = 0;
    _interval = interval;
    setType(type);
    if (_frames < 0) _frames = 0;
    if (_amount == 0.0f) _frames = 0;
}

void Animator::reverse() { setup(_destination, _source, _frames, _interval, _type); }

void Animator::rewind() { setup(_source, _destination, _frameCount, kRewindInterval, EnumEasing::EASING_easeNone); }

void Animator::undo() {
    _frames = 1;
    _step = 0;
    setup(_source, _destination, 1, kRewindInterval, EnumEasing::EASING_easeNone);
    animate();
    animate();
}

void Animator::setType(EnumEasing type) {
    _type = type;
    _action = easing::curveFor(type);
}

void Animator::animate() {
    if (_frames < 0) return;
    if (_step >= _frames) {
        _value = _destination;
        if (looped) {
            if (onLoop) onLoop(*this);
            reverse();
            return;
        }
        stopTimer();
        _step = 0;
        _frames = -1;
        looped = false;
        if (onFinished) onFinished(*this, _value);
        return;
    }
    if (onAnimation) onAnimation(*this, _value);
    ++_step;
    _value = _action(_step, _source, _amount, _frames);
}

void Animator::start() {
    auto self = weak_from_this().lock();
    if (!self) return;
    stopTimer();
    _timer = dispatch::MainQueue::shared().scheduleRepeatingTimer(
        static_cast<double>(_interval), [self](dispatch::Timer&) { self->animate(); });
}

void Animator::stop() {
    stopTimer();
    _step = 0;
    _frames = -1;
    looped = false;
}

void Animator::reset() {
    stopTimer();
    _startFrame = 0;
    _frameCount = 0;
    _source = 0.0f;
    _value = 0.0f;
    _destination = 0.0f;
    _amount = 0.0f;
    _frames = -1;
    _step = 0;
    _interval = 0.005f;
    setType(EnumEasing::EASING_easeNone);
    looped = false;
}

void Animator::stopTimer() {
    if (!_timer) return;
    _timer->invalidate();
    _timer.reset();
}
