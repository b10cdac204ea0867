// A damped impulse between collision limits, as state only: nothing drives it yet.
//
// Threads: main queue only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/dispatch/Timer.h"

struct Impulse {
    std::shared_ptr<dispatch::Timer> _timer;
    std::int64_t _frames = -1;
    std::int64_t _step = 0;
    float _amount = 0.0f;
    float _value = 0.0f;
    float _source = 0.0f;
    float _intensity = 0.75f;
    float _threshold = 0.001f;
    // Timer period in seconds.
    float _interval = 0.009f;
    float _minVal = -1024.0f;
    float _maxVal = 1024.0f;
    bool _collision = false;
    std::function<void(Impulse& impulse)> onAnimation;
    std::function<void(Impulse& impulse)> onFinished;
    std::function<void(Impulse& impulse)> onCollision;
};
