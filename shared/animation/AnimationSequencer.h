// A frame sequencer of animators, as state only: nothing drives it yet.
//
// Threads: main queue only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/dispatch/Timer.h"
#include "shared/animation/Animator.h"

struct AnimationSequencer {
    std::shared_ptr<dispatch::Timer> _timer;
    std::int64_t _currentFrame = 0;
    std::int64_t _maxFrames = 0;
    std::vector<std::shared_ptr<Animator>> _animators;
    std::vector<std::shared_ptr<Animator>> _animatedItems;
    std::int64_t _currentIndex = 0;
    bool _suspended = false;
    // Timer period in seconds.
    float interval = 0.005f;
    std::function<void(AnimationSequencer& sequencer, Animator& animator)> onAnimation;
    std::function<void(AnimationSequencer& sequencer)> onFinished;
};
