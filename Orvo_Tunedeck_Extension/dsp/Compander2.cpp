#include "Orvo_Tunedeck_Extension/dsp/Compander2.h"

#include <algorithm>
#include <cmath>

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

float Compander2::gainForPeak(double peak) const noexcept {
    const auto p = static_cast<float>(peak);
    if (p == 1.0f) return 1.0f;
    if (p > 1.0f) return 1.0f / p;
    return (1.0f - std::max(p, 0.0f)) * fMultiplier + 1.0f;
}

template <Compander2::Detection mode>
void Compander2::processMode(float* left, float* right, std::int64_t frames) noexcept {
    const float k = vThresholdInv * fGain;
    for (std::int64_t i = 0; i < frames; ++i) {
        const float l = left[i] * vThreshold;
        const float r = right[i] * vThreshold;

        if constexpr (mode == Detection::midSide) {
            inputFollower[0].track(std::fabs((l + r) * 0.5f));
            inputFollower[1].track(std::fabs((l - r) * 0.5f));
        } else {
            inputFollower[0].track(std::fabs(l));
            inputFollower[1].track(std::fabs(r));
        }

        const float gainLeft = gainForPeak(inputFollower[0].currentPeak);
        const float gainRight =
            mode == Detection::separate ? gainForPeak(inputFollower[1].currentPeak) : gainLeft;
        factor[0] = gainLeft;
        factor[1] = gainRight;

        const float outLeft = l * gainLeft * k;
        const float outRight = r * gainRight * k;
        if (bInverted) {
            left[i] -= outLeft;
            right[i] -= outRight;
        } else {
            left[i] = outLeft * fMix + left[i] * (1.0f - fMix);
            right[i] = outRight * fMix + right[i] * (1.0f - fMix);
        }

        if constexpr (mode == Detection::midSide) {
            outputFollower[0].track(std::fabs((outLeft + outRight) * 0.5f));
            outputFollower[1].track(std::fabs((outLeft - outRight) * 0.5f));
        } else {
            outputFollower[0].track(std::fabs(outLeft));
            outputFollower[1].track(std::fabs(outRight));
        }
    }
}
