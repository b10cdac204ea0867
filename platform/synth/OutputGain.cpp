#include "platform/synth/OutputGain.h"

#include <algorithm>
#include <cmath>

namespace synth {

float decibelsToGain(float gainDecibels) noexcept {
    return std::pow(10.0f, std::clamp(gainDecibels, kMinimumGainDecibels, kMaximumGainDecibels) / 20.0f);
}

OutputGain::OutputGain() noexcept
    : level_(std::pow(10.0f, kOutputLevelDecibels / 20.0f)), current_(level_), target_(level_) {}

void OutputGain::setTargetDecibels(float gainDecibels) noexcept {
    if (std::isnan(gainDecibels)) return;
    const float target = decibelsToGain(gainDecibels) * level_;
    if (target == target_) return;
    target_ = target;
    rampLeft_ = kRampFrames;
    step_ = (target_ - current_) / static_cast<float>(kRampFrames);
}

void OutputGain::jumpToTarget() noexcept {
    current_ = target_;
    rampLeft_ = 0;
}

void OutputGain::process(float* left, float* right, std::uint32_t frames) noexcept {
    std::uint32_t i = 0;
    for (; i < frames && rampLeft_ > 0; ++i, --rampLeft_) {
        current_ += step_;
        left[i] *= current_;
        right[i] *= current_;
    }
    if (rampLeft_ == 0) current_ = target_;
    const float gain = current_;
    for (; i < frames; ++i) {
        left[i] *= gain;
        right[i] *= gain;
    }
}

}  // namespace synth
