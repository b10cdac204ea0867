#include "platform/audioengine/Biquad.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace audioengine {

BiquadCoefficients peakingCoefficients(double sampleRateHz, double centreHz, double bandwidthOctaves,
                                       double gainDecibels) noexcept {
    const double centre = std::clamp(centreHz, 1.0, 0.49 * sampleRateHz);
    const double bandwidth = std::clamp(bandwidthOctaves, 0.05, 5.0);
    const double a = std::pow(10.0, gainDecibels / 40.0);
    const double w0 = 2.0 * std::numbers::pi * centre / sampleRateHz;
    const double sinW0 = std::sin(w0);
    const double cosW0 = std::cos(w0);
    const double alpha = sinW0 * std::sinh(std::numbers::ln2 / 2.0 * bandwidth * w0 / sinW0);
    const double a0 = 1.0 + alpha / a;
    BiquadCoefficients c;
    c.b0 = (1.0 + alpha * a) / a0;
    c.b1 = -2.0 * cosW0 / a0;
    c.b2 = (1.0 - alpha * a) / a0;
    c.a1 = -2.0 * cosW0 / a0;
    c.a2 = (1.0 - alpha / a) / a0;
    return c;
}

void BiquadState::process(const BiquadCoefficients& c, float* buffer, uint32_t frames) noexcept {
    double z1 = z1_;
    double z2 = z2_;
    for (uint32_t i = 0; i < frames; ++i) {
        const double x = buffer[i];
        const double y = c.b0 * x + z1;
        z1 = c.b1 * x - c.a1 * y + z2;
        z2 = c.b2 * x - c.a2 * y;
        buffer[i] = static_cast<float>(y);
    }
    z1_ = z1;
    z2_ = z2;
}

}  // namespace audioengine
