// The classic easing equations (quadratic to bounce, In/Out/InOut), all in single precision with pinned constants,
// plus OutIn: the Out curve over the first half of the run and the In curve over the second.
#include "shared/animation/Easing.h"

#include <array>
#include <cmath>

namespace easing {

namespace {

// One step below the nearest single-precision value of pi, as the curves have always used it.
constexpr float kPi = 3.1415925f;
constexpr float kTwoPi = 6.283185f;
constexpr float kBack = 1.70158f;
constexpr float kBackPlusOne = 2.70158f;
constexpr float kBackInOut = 2.5949094f;  // 1.70158 x 1.525
constexpr float kBackInOutPlusOne = 3.5949094f;
constexpr float kElasticPeriod = 0.3f;
constexpr float kElasticPeriodInOut = 0.45000002f;  // 0.3 x 1.5

float ratio(std::int64_t t, std::int64_t d) { return static_cast<float>(t) / static_cast<float>(d); }
float phase(std::int64_t t, std::int64_t d) { return static_cast<float>(t) / (static_cast<float>(d) * 0.5f); }

float bounce(float y) {
    if (y < 0.36363637f) return 7.5625f * y * y;
    if (y < 0.72727275f) {
        y -= 0.54545456f;
        return 7.5625f * y * y + 0.75f;
    }
    if (y < 0.90909094f) {
        y -= 0.8181818f;
        return 7.5625f * y * y + 0.9375f;
    }
    y -= 0.95454544f;
    return 7.5625f * y * y + 0.984375f;
}

template <EasingFunction Out, EasingFunction In>
float outIn(std::int64_t t, float b, float c, std::int64_t d) {
    const float h = c / 2.0f;
    if (t < d / 2) return Out(2 * t, b, h, d);
    return In(2 * t - d, b + h, h, d);
}

}  // namespace

float easeNone(std::int64_t t, float b, float c, std::int64_t d) {
    return static_cast<float>(t) * c / static_cast<float>(d) + b;
}

float easeInQuad(std::int64_t t, float b, float c, std::int64_t d) {
    const float x = ratio(t, d);
    return c * x * x + b;
}
float easeOutQuad(std::int64_t t, float b, float c, std::int64_t d) {
    const float x = ratio(t, d);
    return -c * x * (x - 2.0f) + b;
}
float easeInOutQuad(std::int64_t t, float b, float c, std::int64_t d) {
    const float h = c / 2.0f;
    const float r = phase(t, d);
    if (r < 1.0f) return h * r * r + b;
    return -h * ((r - 1.0f) * (r - 3.0f) - 1.0f) + b;
}
float easeOutInQuad(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutQuad, easeInQuad>(t, b, c, d); }

float easeInCubic(std::int64_t t, float b, float c, std::int64_t d) {
    const float x = ratio(t, d);
    return c * x * x * x + b;
}
float easeOutCubic(std::int64_t t, float b, float c, std::int64_t d) {
    const float y = ratio(t, d) - 1.0f;
    return c * (y * y * y + 1.0f) + b;
}
float easeInOutCubic(std::int64_t t, float b, float c, std::int64_t d) {
    const float h = c / 2.0f;
    const float r = phase(t, d);
    if (r < 1.0f) return h * r * r * r + b;
    const float y = r - 2.0f;
    return h * (y * y * y + 2.0f) + b;
}
float easeOutInCubic(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutCubic, easeInCubic>(t, b, c, d); }

float easeInQuart(std::int64_t t, float b, float c, std::int64_t d) {
    const float x = ratio(t, d);
    return c * x * x * x * x + b;
}
float easeOutQuart(std::int64_t t, float b, float c, std::int64_t d) {
    const float y = ratio(t, d) - 1.0f;
    return c * (1.0f - y * y * y * y) + b;
}
float easeInOutQuart(std::int64_t t, float b, float c, std::int64_t d) {
    const float h = c / 2.0f;
    const float r = phase(t, d);
    if (r < 1.0f) return h * r * r * r * r + b;
    const float y = r - 2.0f;
    return h * (2.0f - y * y * y * y) + b;
}
float easeOutInQuart(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutQuart, easeInQuart>(t, b, c, d); }

float easeInQuint(std::int64_t t, float b, float c, std::int64_t d) {
    const float x = ratio(t, d);
    return c * x * x * x * x * x + b;
}
float easeOutQuint(std::int64_t t, float b, float c, std::int64_t d) {
    const float y = ratio(t, d) - 1.0f;
    return c * (y * y * y * y * y + 1.0f) + b;
}
float easeInOutQuint(std::int64_t t, float b, float c, std::int64_t d) {
    const float h = c / 2.0f;
    const float r = phase(t, d);
    if (r < 1.0f) return h * r * r * r * r * r + b;
    const float y = r - 2.0f;
    return h * (y * y * y * y * y + 2.0f) + b;
}
float easeOutInQuint(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutQuint, easeInQuint>(t, b, c, d); }

float easeInSine(std::int64_t t, float b, float c, std::int64_t d) {
    return c - c * std::cos(ratio(t, d) * (kPi / 2.0f)) + b;
}
float easeOutSine(std::int64_t t, float b, float c, std::int64_t d) {
    return c * std::sin(ratio(t, d) * (kPi / 2.0f)) + b;
}
float easeInOutSine(std::int64_t t, float b, float c, std::int64_t d) {
    return -(c / 2.0f) * (std::cos(kPi * ratio(t, d)) - 1.0f) + b;
}
float easeOutInSine(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutSine, easeInSine>(t, b, c, d); }

float easeInExpo(std::int64_t t, float b, float c, std::int64_t d) {
    if (t == 0) return b;
    return c * std::exp2(10.0f * (ratio(t, d) - 1.0f)) + b;
}
float easeOutExpo(std::int64_t t, float b, float c, std::int64_t d) {
    if (static_cast<float>(t) == static_cast<float>(d)) return b + c;
    return c * (1.0f - std::exp2(-10.0f * ratio(t, d))) + b;
}
float easeInOutExpo(std::int64_t t, float b, float c, std::int64_t d) {
    if (t == 0) return b;
    if (t == d) return b + c;
    const float h = c / 2.0f;
    const float r = phase(t, d);
    if (r < 1.0f) return h * std::exp2(10.0f * (r - 1.0f)) + b;
    return h * (2.0f - std::exp2(-10.0f * (r - 1.0f))) + b;
}
float easeOutInExpo(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutExpo, easeInExpo>(t, b, c, d); }

float easeInCirc(std::int64_t t, float b, float c, std::int64_t d) {
    const float x = ratio(t, d);
    return b - c * (std::sqrt(1.0f - x * x) - 1.0f);
}
float easeOutCirc(std::int64_t t, float b, float c, std::int64_t d) {
    const float y = ratio(t, d) - 1.0f;
    return c * std::sqrt(1.0f - y * y) + b;
}
float easeInOutCirc(std::int64_t t, float b, float c, std::int64_t d) {
    const float h = c / 2.0f;
    const float r = phase(t, d);
    if (r < 1.0f) return -h * (std::sqrt(1.0f - r * r) - 1.0f) + b;
    const float y = r - 2.0f;
    return h * (std::sqrt(1.0f - y * y) + 1.0f) + b;
}
float easeOutInCirc(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutCirc, easeInCirc>(t, b, c, d); }

float easeInElastic(std::int64_t t, float b, float c, std::int64_t d) {
    if (t == 0) return b;
    const float x = ratio(t, d);
    if (x == 1.0f) return b + c;
    const float fd = static_cast<float>(d);
    const float p = kElasticPeriod * fd;
    const float q = p / 4.0f;
    const float y = x - 1.0f;
    return b - c * std::exp2(10.0f * y) * std::sin(kTwoPi * (y * fd - q) / p);
}
float easeOutElastic(std::int64_t t, float b, float c, std::int64_t d) {
    if (t == 0) return b;
    const float x = ratio(t, d);
    if (x == 1.0f) return b + c;
    const float fd = static_cast<float>(d);
    const float p = kElasticPeriod * fd;
    const float q = p / 4.0f;
    return c * std::exp2(-10.0f * x) * std::sin(kTwoPi * (x * fd - q) / p) + c + b;
}
float easeInOutElastic(std::int64_t t, float b, float c, std::int64_t d) {
    if (t == 0) return b;
    const float r = phase(t, d);
    if (r == 2.0f) return b + c;
    const float h = c / 2.0f;
    const float fd = static_cast<float>(d);
    const float p = kElasticPeriodInOut * fd;
    const float q = p / 4.0f;
    const float y = r - 1.0f;
    const float wave = std::sin(kTwoPi * (y * fd - q) / p);
    if (r < 1.0f) return b - h * std::exp2(10.0f * y) * wave;
    return h * std::exp2(-10.0f * y) * wave + c + b;
}
float easeOutInElastic(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn<easeOutElastic, easeInElastic>(t, b, c, d);
}

float easeInBack(std::int64_t t, float b, float c, std::int64_t d) {
    const float x = ratio(t, d);
    return c * x * x * (kBackPlusOne * x - kBack) + b;
}
float easeOutBack(std::int64_t t, float b, float c, std::int64_t d) {
    const float y = ratio(t, d) - 1.0f;
    return c * (y * y * (kBackPlusOne * y + kBack) + 1.0f) + b;
}
float easeInOutBack(std::int64_t t, float b, float c, std::int64_t d) {
    const float h = c / 2.0f;
    const float r = phase(t, d);
    if (r < 1.0f) return h * r * r * (kBackInOutPlusOne * r - kBackInOut) + b;
    const float y = r - 2.0f;
    return h * (y * y * (kBackInOutPlusOne * y + kBackInOut) + 2.0f) + b;
}
float easeOutInBack(std::int64_t t, float b, float c, std::int64_t d) { return outIn<easeOutBack, easeInBack>(t, b, c, d); }

float easeInBounce(std::int64_t t, float b, float c, std::int64_t d) {
    const auto e = static_cast<std::int64_t>(static_cast<float>(d) - static_cast<float>(t));
    return c - c * bounce(ratio(e, d)) + b;
}
float easeOutBounce(std::int64_t t, float b, float c, std::int64_t d) { return c * bounce(ratio(t, d)) + b; }
float easeInOutBounce(std::int64_t t, float b, float c, std::int64_t d) {
    const float ft = static_cast<float>(t);
    const float fd = static_cast<float>(d);
    if (ft < fd * 0.5f) return 0.5f * (c - c * bounce((fd - 2.0f * ft) / fd)) + b;
    return 0.5f * c * bounce((2.0f * ft - fd) / fd) + c / 2.0f + b;
}
float easeOutInBounce(std::int64_t t, float b, float c, std::int64_t d) {
    return outIn<easeOutBounce, easeInBounce>(t, b, c, d);
}

namespace {

constexpr std::array<EasingFunction, 42> kCurves{
    easeNone,
    easeInQuad, easeOutQuad, easeInOutQuad, easeOutInQuad,
    easeInCubic, easeOutCubic, easeInOutCubic, easeOutInCubic,
    easeInQuart, easeOutQuart, easeInOutQuart, easeOutInQuart,
    easeInQuint, easeOutQuint, easeInOutQuint, easeOutInQuint,
    easeInSine, easeOutSine, easeInOutSine, easeOutInSine,
    easeInExpo, easeOutExpo, easeInOutExpo, easeOutInExpo,
    easeInCirc, easeOutCirc, easeInOutCirc, easeOutInCirc,
    easeInElastic, easeOutElastic, easeInOutElastic, easeOutInElastic,
    easeInBack, easeOutBack, easeInOutBack, easeOutInBack,
    easeInBounce, easeOutBounce, easeInOutBounce, easeOutInBounce,
    easeNone,
};
static_assert(kCurves.size() == static_cast<std::size_t>(EnumEasing::EASING_easeLast) + 1);

}  // namespace

EasingFunction curveFor(EnumEasing type) {
    const auto index = static_cast<std::size_t>(type);
    return index < kCurves.size() ? kCurves[index] : easeNone;
}

}  // namespace easing
