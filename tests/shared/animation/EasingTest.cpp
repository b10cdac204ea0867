#include "shared/animation/Easing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace easing;

TEST(Easing, EveryCurveStartsAtTheSourceAndEndsAtTheDestination) {
    const std::pair<float, float> runs[] = {{0.0f, 1.0f}, {2.5f, -3.0f}, {-100.0f, 400.0f}};
    for (int raw = 0; raw <= 41; ++raw) {
        const auto curve = curveFor(*easingFromRawValue(raw));
        for (const std::int64_t d : {2, 3, 4, 5, 10, 60}) {
            for (const auto& [b, c] : runs) {
                const float tolerance = 1e-5f * (std::fabs(b) + std::fabs(c));
                EXPECT_NEAR(curve(0, b, c, d), b, tolerance) << "kind " << raw << " d " << d;
                EXPECT_NEAR(curve(d, b, c, d), b + c, tolerance) << "kind " << raw << " d " << d;
            }
        }
    }
}

TEST(Easing, KnownValues) {
    struct Case {
        const char* name;
        EasingFunction curve;
        std::int64_t t;
        float b;
        float c;
        std::int64_t d;
        float expected;
    };
    const Case cases[] = {
        {"easeNone", easeNone, 1, 0.0f, 1.0f, 4, 0.25f},
        {"easeInQuad", easeInQuad, 1, 0.0f, 1.0f, 2, 0.25f},
        {"easeOutQuad", easeOutQuad, 1, 0.0f, 1.0f, 2, 0.75f},
        {"easeInOutQuad", easeInOutQuad, 1, 0.0f, 1.0f, 4, 0.125f},
        {"easeOutInQuad", easeOutInQuad, 1, 0.0f, 1.0f, 4, 0.375f},
        {"easeInCubic", easeInCubic, 1, 0.0f, 8.0f, 2, 1.0f},
        {"easeOutQuart", easeOutQuart, 1, 0.0f, 1.0f, 2, 0.9375f},
        {"easeOutQuart shifted", easeOutQuart, 1, 10.0f, 2.0f, 2, 11.875f},
        {"easeInOutQuint", easeInOutQuint, 3, 0.0f, 1.0f, 4, 0.984375f},
        {"easeInOutSine", easeInOutSine, 1, 0.0f, 1.0f, 2, 0.5f},
        {"easeInExpo", easeInExpo, 9, 0.0f, 1.0f, 10, 0.5f},
        {"easeOutExpo", easeOutExpo, 1, 0.0f, 1.0f, 10, 0.5f},
        {"easeInOutExpo", easeInOutExpo, 5, 0.0f, 1.0f, 10, 0.5f},
        {"easeInCirc", easeInCirc, 1, 0.0f, 1.0f, 2, 0.13397460f},
        {"easeInElastic", easeInElastic, 9, 0.0f, 1.0f, 10, -0.25f},
        {"easeOutElastic", easeOutElastic, 1, 0.0f, 1.0f, 10, 1.25f},
        {"easeInOutElastic", easeInOutElastic, 5, 0.0f, 1.0f, 10, 0.5f},
        {"easeInBack", easeInBack, 1, 0.0f, 1.0f, 2, -0.0876975f},
        {"easeOutBack", easeOutBack, 1, 0.0f, 1.0f, 2, 1.0876975f},
        {"easeOutBounce", easeOutBounce, 1, 0.0f, 1.0f, 4, 0.47265625f},
        {"easeOutInBounce frame 1", easeOutInBounce, 1, 0.0f, 1.0f, 4, 0.3828125f},
        {"easeOutInBounce frame 3", easeOutInBounce, 3, 0.0f, 1.0f, 4, 0.6171875f},
        {"easeOutInBounce frame 4", easeOutInBounce, 4, 0.0f, 1.0f, 4, 1.0f},
        // Odd frame counts: InOut halves the run in floating point, OutIn in whole frames.
        {"easeInOutBounce first half", easeInOutBounce, 2, 0.0f, 1.0f, 5, 0.34875f},
        {"easeOutInBounce second half", easeOutInBounce, 2, 0.0f, 1.0f, 5, 0.28f},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(c.curve(c.t, c.b, c.c, c.d), c.expected, 2e-6f) << c.name;
    }
}

TEST(Easing, GuardedEndsAreExact) {
    EXPECT_EQ(easeInOutExpo(10, 0.0f, 1.0f, 10), 1.0f);
    EXPECT_EQ(easeInOutExpo(0, 0.3f, 1.0f, 10), 0.3f);
    EXPECT_EQ(easeOutExpo(7, 2.0f, 3.0f, 7), 5.0f);
    EXPECT_EQ(easeInElastic(0, 2.0f, 3.0f, 7), 2.0f);
    EXPECT_EQ(easeOutInElastic(3, 2.0f, 4.0f, 6), 4.0f);
}

TEST(Easing, KindsSelectTheCurveOfTheirName) {
    const std::pair<EnumEasing, EasingFunction> cases[] = {
        {EnumEasing::EASING_easeNone, easeNone},
        {EnumEasing::EASING_easeInQuad, easeInQuad},
        {EnumEasing::EASING_easeOutInQuad, easeOutInQuad},
        {EnumEasing::EASING_easeInCubic, easeInCubic},
        {EnumEasing::EASING_easeOutQuart, easeOutQuart},
        {EnumEasing::EASING_easeInOutSine, easeInOutSine},
        {EnumEasing::EASING_easeInOutExpo, easeInOutExpo},
        {EnumEasing::EASING_easeOutCirc, easeOutCirc},
        {EnumEasing::EASING_easeOutInElastic, easeOutInElastic},
        {EnumEasing::EASING_easeInOutBack, easeInOutBack},
        {EnumEasing::EASING_easeInBounce, easeInBounce},
        {EnumEasing::EASING_easeOutInBounce, easeOutInBounce},
        {EnumEasing::EASING_easeLast, easeNone},
    };
    for (const auto& [kind, curve] : cases) EXPECT_EQ(curveFor(kind), curve) << static_cast<int>(kind);
}

TEST(Easing, RawValuesOutsideTheKindsGiveNone) {
    EXPECT_EQ(easingFromRawValue(0), EnumEasing::EASING_easeNone);
    EXPECT_EQ(easingFromRawValue(4), EnumEasing::EASING_easeOutInQuad);
    EXPECT_EQ(easingFromRawValue(33), EnumEasing::EASING_easeInBack);
    EXPECT_EQ(easingFromRawValue(41), EnumEasing::EASING_easeLast);
    EXPECT_FALSE(easingFromRawValue(42).has_value());
    EXPECT_FALSE(easingFromRawValue(-1).has_value());
}

}  // namespace
