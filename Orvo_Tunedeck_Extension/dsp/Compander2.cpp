#include "Orvo_Tunedeck_Extension/dsp/Compander2.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The gain for a followed peak: 1/peak above 1, (1 - peak) x multiplier + 1 below.
float gainForPeak(double peak, float multiplier) noexcept {
    const auto p = static_cast<float>(peak);
    if (p == 1.0f) return 1.0f;
    if (p > 1.0f) return 1.0f / p;
    return (1.0f - std::max(p, 0.0f)) * multiplier + 1.0f;
}

}  // namespace

Compander2::Compander2() noexcept {
    setSamplerate(48000.0f);
    resetState();
}

void Compander2::setSamplerate(float rate) noexcept {
    fSamplerate = rate;
    for (Follower& follower : inputFollower) follower.setSamplerate(rate);
    for (Follower& follower : outputFollower) follower.setSamplerate(rate);
}

void Compander2::resetState() noexcept {
    for (Follower& follower : inputFollower) follower.currentPeak = 0.0;
    for (Follower& follower : outputFollower) follower.currentPeak = 0.0;
    factor[0] = 1.0f;
    factor[1] = 1.0f;
}

void Compander2::process(float* left, float* right, std::int64_t frames) noexcept {
    if (frames < 1) return;
    switch (lMode) {
    case 1:
        processMode<Detection::midSide>(left, right, frames);
        break;
    case 3:
        processMode<Detection::leftLinked>(left, right, frames);
        break;
    default:
        processMode<Detection::separate>(left, right, frames);
        break;
    }
}

namespace {

// A detector value the follower may meet and keep its peak at or below 1: the peak only climbs towards a louder
// value, by its increase, so it stays below v + increase, and that sum is below 1.
float quietBound(const Follower& follower) noexcept {
    auto bound = static_cast<float>(1.0 - follower.increase);
    while (static_cast<double>(bound) + follower.increase >= 1.0) bound = std::nextafter(bound, 0.0f);
    return bound;
}

// Whether every detector value of the frames, as the detection sees them, is at or below its bound (a value that is
// not a number changes no peak). A count, not a loudest value, so that the loop runs four frames at a time.
template <typename Detect>
bool quietEnough(const float* left, const float* right, std::int64_t frames, Detect detect, float firstBound,
                 float secondBound) noexcept {
    std::int32_t loud = 0;
    for (std::int64_t i = 0; i < frames; ++i) {
        const auto [a, b] = detect(left[i], right[i]);
        loud |= static_cast<std::int32_t>(a > firstBound) | static_cast<std::int32_t>(b > secondBound);
    }
    return loud == 0;
}

bool peakAtOrBelowOne(const Follower& follower) noexcept { return static_cast<float>(follower.currentPeak) <= 1.0f; }

}  // namespace

bool Compander2::passesUnchanged() const noexcept {
    return vThreshold == 1.0f && vThresholdInv * fGain == 1.0f && fMix == 1.0f && !bInverted && fMultiplier == 0.0f;
}

// With the settings that pass a signal unchanged while the gain is 1 (the instrument's), a block whose detector values
// keep both input peaks at or below 1 leaves the channels as they are: only the followers move. The output followers
// then follow the same values as the input followers, so where they are in the same state they stay so.
template <Compander2::Detection mode>
void Compander2::processMode(float* left, float* right, std::int64_t frames) noexcept {
    const auto detect = [](float l, float r) {
        if constexpr (mode == Detection::midSide)
            return std::pair{std::fabs((l + r) * 0.5f), std::fabs((l - r) * 0.5f)};
        else
            return std::pair{std::fabs(l), std::fabs(r)};
    };
    if (passesUnchanged() && peakAtOrBelowOne(inputFollower[0]) && peakAtOrBelowOne(inputFollower[1]) &&
        quietEnough(left, right, frames, detect, quietBound(inputFollower[0]), quietBound(inputFollower[1]))) {
        followUnchanged(left, right, frames, detect);
        return;
    }
    limit<mode>(left, right, frames);
}

template <typename Detect>
void Compander2::followUnchanged(const float* left, const float* right, std::int64_t frames, Detect detect) noexcept {
    const auto follow = [&](Follower (&followers)[2]) {
        Follower f[2] = {followers[0], followers[1]};
        for (std::int64_t i = 0; i < frames; ++i) {
            const auto [a, b] = detect(left[i], right[i]);
            f[0].track(a);
            f[1].track(b);
        }
        followers[0] = f[0];
        followers[1] = f[1];
    };
    const bool mirrored = outputFollower[0] == inputFollower[0] && outputFollower[1] == inputFollower[1];
    follow(inputFollower);
    if (mirrored) {
        outputFollower[0] = inputFollower[0];
        outputFollower[1] = inputFollower[1];
    } else {
        follow(outputFollower);
    }
    factor[0] = 1.0f;
    factor[1] = 1.0f;
}

// The followers and settings are copied in and out of the loop: the channels are floats like the settings, and
// without the copies every store to a channel would make the compiler read the state again.
template <Compander2::Detection mode>
void Compander2::limit(float* left, float* right, std::int64_t frames) noexcept {
    const float k = vThresholdInv * fGain;
    const float threshold = vThreshold;
    const float multiplier = fMultiplier;
    const float mix = fMix;
    const bool inverted = bInverted;
    Follower in[2] = {inputFollower[0], inputFollower[1]};
    Follower out[2] = {outputFollower[0], outputFollower[1]};
    float gainLeft = factor[0];
    float gainRight = factor[1];
    for (std::int64_t i = 0; i < frames; ++i) {
        const float l = left[i] * threshold;
        const float r = right[i] * threshold;

        if constexpr (mode == Detection::midSide) {
            in[0].track(std::fabs((l + r) * 0.5f));
            in[1].track(std::fabs((l - r) * 0.5f));
        } else {
            in[0].track(std::fabs(l));
            in[1].track(std::fabs(r));
        }

        gainLeft = gainForPeak(in[0].currentPeak, multiplier);
        gainRight = mode == Detection::separate ? gainForPeak(in[1].currentPeak, multiplier) : gainLeft;

        const float outLeft = l * gainLeft * k;
        const float outRight = r * gainRight * k;
        if (inverted) {
            left[i] -= outLeft;
            right[i] -= outRight;
        } else {
            left[i] = outLeft * mix + left[i] * (1.0f - mix);
            right[i] = outRight * mix + right[i] * (1.0f - mix);
        }

        if constexpr (mode == Detection::midSide) {
            out[0].track(std::fabs((outLeft + outRight) * 0.5f));
            out[1].track(std::fabs((outLeft - outRight) * 0.5f));
        } else {
            out[0].track(std::fabs(outLeft));
            out[1].track(std::fabs(outRight));
        }
    }
    inputFollower[0] = in[0];
    inputFollower[1] = in[1];
    outputFollower[0] = out[0];
    outputFollower[1] = out[1];
    factor[0] = gainLeft;
    factor[1] = gainRight;
}
