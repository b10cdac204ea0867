#include "shared/animation/AnimatorStack.h"

#include <algorithm>

#include "platform/dispatch/MainQueue.h"

AnimatorStack::~AnimatorStack() { stopTimer(); }

void AnimatorStack::add(std::shared_ptr<Animator> item) {
    if (item) _animators.push_back(std::move(item));
}

void AnimatorStack::start() {
    auto self = weak_from_this().lock();
    if (!self) return;
    stopTimer();
    _timer = dispatch::MainQueue::shared().scheduleRepeatingTimer(static_cast<double>(interval),
                                                                  [self](dispatch::Timer&) { self->animate(); });
}

void AnimatorStack::reset() {
    stopTimer();
    _animators.clear();
}

void AnimatorStack::animate() {
    const auto snapshot = _animators;
    bool active = false;
    for (const auto& member : snapshot) {
        if (member->isFinished()) continue;
        active = true;
        if (onAnimation) onAnimation(*this, *member);
        member->animate();
        if (!member->isFinished()) continue;
        // A callback may already have taken the member out.
        const auto found = std::find(_animators.begin(), _animators.end(), member);
        if (found == _animators.end()) continue;
        _animators.erase(found);
        if (onRemovedItem) onRemovedItem(*this, *member);
    }
    if (!active) {
        if (onFinished) onFinished(*this);
        reset();
    }
}

void AnimatorStack::stopTimer() {
    if (!_timer) return;
    _timer->invalidate();
    _timer.reset();
}
