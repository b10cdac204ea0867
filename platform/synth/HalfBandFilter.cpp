#include "platform/synth/HalfBandFilter.h"

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

constexpr std::size_t kCentre = HalfBandFilter::kTaps / 2;
constexpr std::size_t kKept = HalfBandFilter::kTaps - 1;

// h[n] = w[n] · sin(pi m / 2) / (pi m) with m = n - centre (1/2 at the centre): the ideal low-pass cut at a quarter
// of the rate, whose taps at even m other than 0 are exactly zero, times a Blackman window.
constexpr std::array<double, HalfBandFilter::kTaps> makeCoefficients() {
    std::array<double, HalfBandFilter::kTaps> taps{};
    double sum = 0.0;
    for (int n = 0; n < static_cast<int>(HalfBandFilter::kTaps); ++n) {
        const int m = n - static_cast<int>(kCentre);
        double ideal = 0.5;
        if (m != 0) {
            const int quarterTurn = ((m % 4) + 4) % 4;  // sin(pi m / 2) is 0, 1, 0, -1 for m = 0, 1, 2, 3 mod 4
            ideal = quarterTurn == 1 ? 1.0 / (std::numbers::pi * m)
                  : quarterTurn == 3 ? -1.0 / (std::numbers::pi * m)
                                     : 0.0;
        }
        const double phase = 2.0 * std::numbers::pi * n / (HalfBandFilter::kTaps - 1);
        const double window = 0.42 - 0.5 * constexprCos(phase) + 0.08 * constexprCos(2.0 * phase);
        taps[static_cast<std::size_t>(n)] = ideal * window;
        sum += ideal * window;
    }
    for (double& tap : taps) tap /= sum;  // unit gain at 0 Hz
    return taps;
}

constexpr std::array<double, HalfBandFilter::kTaps> kCoefficients = makeCoefficients();

}  // namespace

HalfBandFilter::HalfBandFilter(std::uint32_t maximumLowerRateFrames)
    : left_(kKept + 2 * std::size_t{maximumLowerRateFrames}, 0.0f),
      right_(kKept + 2 * std::size_t{maximumLowerRateFrames}, 0.0f) {}

const std::array<double, HalfBandFilter::kTaps>& HalfBandFilter::coefficients() noexcept {
    return kCoefficients;
}

void HalfBandFilter::reset() noexcept {
    std::fill(left_.begin(), left_.end(), 0.0f);
    std::fill(right_.begin(), right_.end(), 0.0f);
}

void HalfBandFilter::decimate(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                              std::uint32_t outputFrames) noexcept {
    const std::size_t inputFrames = 2 * std::size_t{outputFrames};
    std::copy_n(inLeft, inputFrames, left_.begin() + kKept);
    std::copy_n(inRight, inputFrames, right_.begin() + kKept);
    decimateChannel(left_, outLeft, outputFrames);
    decimateChannel(right_, outRight, outputFrames);
}

void HalfBandFilter::interpolate(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                                 std::uint32_t inputFrames) noexcept {
    const std::size_t outputFrames = 2 * std::size_t{inputFrames};
    for (std::size_t frame = 0; frame < inputFrames; ++frame) {
        left_[kKept + 2 * frame] = inLeft[frame];
        left_[kKept + 2 * frame + 1] = 0.0f;
        right_[kKept + 2 * frame] = inRight[frame];
        right_[kKept + 2 * frame + 1] = 0.0f;
    }
    interpolateChannel(left_, outLeft, outputFrames);
    interpolateChannel(right_, outRight, outputFrames);
}

void HalfBandFilter::decimateChannel(History& history, float* out, std::size_t outputFrames) noexcept {
    for (std::size_t frame = 0; frame < outputFrames; ++frame) {
        const float* window = history.data() + 2 * frame;
        // The taps at odd indices other than the centre are zero.
        double sum = kCoefficients[kCentre] * window[kCentre];
        for (std::size_t tap = 0; tap < kTaps; tap += 2) sum += kCoefficients[tap] * window[tap];
        out[frame] = static_cast<float>(sum);
    }
    keepLast(history, 2 * outputFrames);
}

void HalfBandFilter::interpolateChannel(History& history, float* out, std::size_t outputFrames) noexcept {
    // Input frames stand at the even places of the history, zeros at the odd ones. An even output frame meets the
    // input with its even taps and a zero at the centre; an odd one meets it with the centre tap alone. Every
    // second frame being zero, the filter alone would halve the level: the sums count twice.
    static_assert(kKept % 2 == 0 && kCentre % 2 == 1);
    for (std::size_t frame = 0; frame < outputFrames; frame += 2) {
        const float* window = history.data() + frame;
        double sum = 0.0;
        for (std::size_t tap = 0; tap < kTaps; tap += 2) sum += kCoefficients[tap] * window[tap];
        out[frame] = static_cast<float>(2.0 * sum);
        out[frame + 1] = static_cast<float>(2.0 * kCoefficients[kCentre] * window[kCentre + 1]);
    }
    keepLast(history, outputFrames);
}

void HalfBandFilter::keepLast(History& history, std::size_t newFrames) noexcept {
    std::copy_n(history.begin() + static_cast<std::ptrdiff_t>(newFrames), kKept, history.begin());
}

}  // namespace synth
