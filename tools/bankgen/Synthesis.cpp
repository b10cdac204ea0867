#include "tools/bankgen/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bankgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

} // namespace

std::uint32_t periodOfA(std::uint8_t key, std::uint32_t rateHz)
{
    double hz = 440.0 * std::exp2((key - 69) / 12.0);
    return static_cast<std::uint32_t>(std::lround(rateHz / hz));
}

std::vector<std::int16_t> additiveCycles(std::uint32_t period, std::span<const float> amplitudes, int cycles,
                                         double peak)
{
    std::vector<double> cycle(period, 0.0);
    for (std::size_t h = 0; h < amplitudes.size(); ++h) {
        if (amplitudes[h] == 0.0f) {
            continue;
        }
        for (std::uint32_t i = 0; i < period; ++i) {
            cycle[i] += amplitudes[h] * std::sin(kTwoPi * static_cast<double>((h + 1) * i) / period);
        }
    }
    std::vector<double> signal;
    signal.reserve(static_cast<std::size_t>(period) * cycles);
    for (int c = 0; c < cycles; ++c) {
        signal.insert(signal.end(), cycle.begin(), cycle.end());
    }
    return toPoints(signal, peak);
}

double Noise::next()
{
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

std::vector<std::int16_t> toPoints(std::span<const double> signal, double peak)
{
    double loudest = 0.0;
    for (double v : signal) {
        loudest = std::max(loudest, std::abs(v));
    }
    double scale = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    std::vector<std::int16_t> out(signal.size());
    std::transform(signal.begin(), signal.end(), out.begin(),
                   [scale](double v) { return static_cast<std::int16_t>(std::lround(v * scale)); });
    return out;
}

std::vector<double> loopNoiseSignal(std::uint32_t length, int differences, std::uint32_t seed)
{
    std::vector<double> s(length);
    Noise noise(seed);
    for (double& v : s) {
        v = noise.next();
    }
    for (int d = 0; d < differences; ++d) {
        // Circular, so the loop's end joins its start without a step.
        double last = s.back();
        for (std::size_t i = s.size(); i-- > 0;) {
            s[i] -= i > 0 ? s[i - 1] : last;
        }
    }
    return s;
}

} // namespace bankgen
