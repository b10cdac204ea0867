#include "platform/synth/HalfBandDecimator.h"

#include <algorithm>
#include <numbers>

namespace synth {

namespace {

// cos(x) by its Taylor series after reducing x to [-pi, pi]; good to double precision there.
constexpr double constexprCos(double x) {
    const double twoPi = 2.0 * std::numbers::pi;
    while (x > std::numbers::pi) x -= twoPi;
    while (x < -std::numbers::pi) x += twoPi;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n < 30; ++n) {
        term *= -x * x / ((2.0 * n - 1.0) * (2.0 * n));
        sum += term;
    }
    return sum;
}

// h[n] = w[n] · sin(pi m / 2) / (pi m) with m = n - centre (1/2 at the centre): the ideal low-pass cut at a quarter
// of the rate, whose taps at even m other than 0 are exactly zero, times a Blackman window.
constexpr std::array<double, HalfBandDecimator::kTaps> makeCoefficients() {
    constexpr int kCentre = static_cast<int>(HalfBandDecimator::kTaps / 2);
    std::array<double, HalfBandDecimator::kTaps> taps{};
    double sum = 0.0;
    for (int n = 0; n < static_cast<int>(HalfBandDecimator::kTaps); ++n) {
        const int m = n - kCentre;
        double ideal = 0.5;
        if (m != 0) {
            const int quarterTurn = ((m % 4) + 4) % 4;  // sin(pi m / 2) is 0, 1, 0, -1 for m = 0, 1, 2, 3 mod 4
            ideal = quarterTurn == 1 ? 1.0 / (std::numbers::pi * m)
                  : quarterTurn == 3 ? -1.0 / (std::numbers::pi * m)
                                     : 0.0;
        }
        const double phase = 2.0 * std::numbers::pi * n / (HalfBandDecimator::kTaps - 1);
        const double window = 0.42 - 0.5 * constexprCos(phase) + 0.08 * constexprCos(2.0 * phase);
        taps[static_cast<std::size_t>(n)] = ideal * window;
        sum += ideal * window;
    }
    for (double& tap : taps) tap /= sum;  // unit gain at 0 Hz
    return taps;
}

constexpr std::array<double, HalfBandDecimator::kTaps> kCoefficients = makeCoefficients();

}  // namespace

HalfBandDecimator::HalfBandDecimator(std::uint32_t maximumOutputFrames)
    : left_(kTaps - 1 + 2 * std::size_t{maximumOutputFrames}, 0.0f),
      right_(kTaps - 1 + 2 * std::size_t{maximumOutputFrames}, 0.0f) {}

const std::array<double, HalfBandDecimator::kTaps>& HalfBandDecimator::coefficients() noexcept {
    return kCoefficients;
}

void HalfBandDecimator::reset() noexcept {
    std::fill(left_.begin(), left_.end(), 0.0f);
    std::fill(right_.begin(), right_.end(), 0.0f);
}

void HalfBandDecimator::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                std::uint32_t outputFrames) noexcept {
    filterChannel(left_, inLeft, outLeft, outputFrames);
    filterChannel(right_, inRight, outRight, outputFrames);
}

void HalfBandDecimator::filterChannel(std::vector<float>& history, const float* in, float* out,
                                      std::uint32_t outputFrames) noexcept {
    constexpr std::size_t kKept = kTaps - 1;
    const std::size_t inputFrames = 2 * std::size_t{outputFrames};
    std::copy_n(in, inputFrames, history.begin() + kKept);
    for (std::size_t frame = 0; frame < outputFrames; ++frame) {
        const float* window = history.data() + 2 * frame;
        double sum = 0.0;
        for (std::size_t tap = 0; tap < kTaps; ++tap) sum += kCoefficients[tap] * window[tap];
        out[frame] = static_cast<float>(sum);
    }
    std::copy_n(history.begin() + static_cast<std::ptrdiff_t>(inputFrames), kKept, history.begin());
}

}  // namespace synth
