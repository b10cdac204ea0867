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
