// Easing curves: Linear, then each curve family in its In, Out, InOut and OutIn variants, then an end marker that
// behaves as Linear.
#pragma once

#include <optional>

enum class EnumEasing : int {
    EASING_easeNone = 0,
    EASING_easeInQuad, EASING_easeOutQuad, EASING_easeInOutQuad, EASING_easeOutInQuad,
    EASING_easeInCubic, EASING_easeOutCubic, EASING_easeInOutCubic, EASING_easeOutInCubic,
    EASING_easeInQuart, EASING_easeOutQuart, EASING_easeInOutQuart, EASING_easeOutInQuart,
    EASING_easeInQuint, EASING_easeOutQuint, EASING_easeInOutQuint, EASING_easeOutInQuint,
    EASING_easeInSine, EASING_easeOutSine, EASING_easeInOutSine, EASING_easeOutInSine,
    EASING_easeInExpo, EASING_easeOutExpo, EASING_easeInOutExpo, EASING_easeOutInExpo,
    EASING_easeInCirc, EASING_easeOutCirc, EASING_easeInOutCirc, EASING_easeOutInCirc,
    EASING_easeInElastic, EASING_easeOutElastic, EASING_easeInOutElastic, EASING_easeOutInElastic,
    EASING_easeInBack, EASING_easeOutBack, EASING_easeInOutBack, EASING_easeOutInBack,
    EASING_easeInBounce, EASING_easeOutBounce, EASING_easeInOutBounce, EASING_easeOutInBounce,
    EASING_easeLast,
};

// The kind with that raw value (0 to 41); nullopt for any other value.
constexpr std::optional<EnumEasing> easingFromRawValue(int rawValue) {
    if (rawValue < 0 || rawValue > static_cast<int>(EnumEasing::EASING_easeLast)) return std::nullopt;
    return static_cast<EnumEasing>(rawValue);
}
