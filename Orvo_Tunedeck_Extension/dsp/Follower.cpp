#include "Orvo_Tunedeck_Extension/dsp/Follower.h"

#include <algorithm>

Follower::Follower() noexcept { setSamplerate(48000.0f); }

void Follower::setSamplerate(float rate) noexcept {
    fSamplerate = rate;
    attackTime = std::max(fAttack * rate, kMinimumTimeSamples);
    releaseTime = std::max(fRelease * rate, kMinimumTimeSamples);
    decayTime = holdSamples();
    increase = 1.0 / static_cast<double>(attackTime);
    decrease = 1.0 / static_cast<double>(releaseTime);
}

void Follower::track(float x) noexcept {
    const double value = x;
    if (currentPeak < value) {
        currentPeak += increase;
        decayTime = holdSamples();
    } else if (currentPeak > value) {
        if (decayTime >= 1) {
            --decayTime;
        } else {
            decayTime = 0;
            currentPeak -= decrease;
            if (currentPeak < 0.0) currentPeak = 0.0;
        }
    }
}

std::int32_t Follower::holdSamples() const noexcept { return static_cast<std::int32_t>(fDecay * fSamplerate); }
