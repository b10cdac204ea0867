// The easing curves of the animation kit: pure single-precision functions giving the animated value at frame t
// (0 to d) of a run of d frames from b to b + c. Every curve gives b at t = 0 and b + c at t = d (d above 0); the
// Back and Elastic curves overshoot in between and Bounce touches b + c several times. None reads any state or
// allocates; any thread.
#pragma once

#include <cstdint>

#include "shared/animation/EnumEasing.h"

namespace easing {

using EasingFunction = float (*)(std::int64_t currentFrame, float sourceValue, float amount, std::int64_t numFrames);

// The curve a kind selects: the one named like the kind without "EASING_"; EASING_easeNone and EASING_easeLast give
// the linear easeNone.
EasingFunction curveFor(EnumEasing type);

float easeNone(std::int64_t t, float b, float c, std::int64_t d);

float easeInQuad(std::int64_t t, float b, float c, std::int64_t d);
float easeOutQuad(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutQuad(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInQuad(std::int64_t t, float b, float c, std::int64_t d);

float easeInCubic(std::int64_t t, float b, float c, std::int64_t d);
float easeOutCubic(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutCubic(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInCubic(std::int64_t t, float b, float c, std::int64_t d);

float easeInQuart(std::int64_t t, float b, float c, std::int64_t d);
float easeOutQuart(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutQuart(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInQuart(std::int64_t t, float b, float c, std::int64_t d);

float easeInQuint(std::int64_t t, float b, float c, std::int64_t d);
float easeOutQuint(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutQuint(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInQuint(std::int64_t t, float b, float c, std::int64_t d);

float easeInSine(std::int64_t t, float b, float c, std::int64_t d);
float easeOutSine(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutSine(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInSine(std::int64_t t, float b, float c, std::int64_t d);

float easeInExpo(std::int64_t t, float b, float c, std::int64_t d);
float easeOutExpo(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutExpo(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInExpo(std::int64_t t, float b, float c, std::int64_t d);

float easeInCirc(std::int64_t t, float b, float c, std::int64_t d);
float easeOutCirc(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutCirc(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInCirc(std::int64_t t, float b, float c, std::int64_t d);

float easeInElastic(std::int64_t t, float b, float c, std::int64_t d);
float easeOutElastic(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutElastic(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInElastic(std::int64_t t, float b, float c, std::int64_t d);

float easeInBack(std::int64_t t, float b, float c, std::int64_t d);
float easeOutBack(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutBack(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInBack(std::int64_t t, float b, float c, std::int64_t d);

float easeInBounce(std::int64_t t, float b, float c, std::int64_t d);
float easeOutBounce(std::int64_t t, float b, float c, std::int64_t d);
float easeInOutBounce(std::int64_t t, float b, float c, std::int64_t d);
float easeOutInBounce(std::int64_t t, float b, float c, std::int64_t d);

}  // namespace easing
