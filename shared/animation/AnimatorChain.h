// A chain of animators run one after another, as state only: nothing drives it yet.
//
// Threads: main queue only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/dispatch/Timer.h"
#include "shared/animation/Animator.h"

struct AnimatorChain {
    std::shared_ptr<dispatch::Timer> _timer;
    std::vector<std::shared_ptr<Animator>> _animators;
    std::int64_t _currentIndex = 0;
    // 1 forwards, -1 backwards.
    std::int64_t _direction = 1;
    // Timer period in seconds.
    float interval = 0.005f;
    bool async = false;
    std::function<void(AnimatorChain& chain, Animator& animator)> onAnimation;
    std::function<void(AnimatorChain& chain)> onFinished;
};
