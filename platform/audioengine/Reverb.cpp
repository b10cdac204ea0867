#include "platform/audioengine/Reverb.h"

#include <algorithm>
#include <cmath>

namespace audioengine {

namespace {

// Base loop times in seconds, chosen without common factors so that the echoes do not line up.
constexpr std::array<double, 8> kCombSeconds{0.0297, 0.0313, 0.0339, 0.0361, 0.0383, 0.0407, 0.0429, 0.0451};
constexpr std::array<double, 4> kAllpassSeconds{0.0041, 0.0053, 0.0071, 0.0089};
constexpr double kStereoSpreadSeconds = 0.00053;
constexpr float kAllpassGain = 0.5f;
constexpr float kInputGain = 0.2f;

uint32_t framesOf(double seconds, double sampleRate) {
    return std::max<uint32_t>(1, static_cast<uint32_t>(std::lround(seconds * sampleRate)));
}

}  // namespace

void Reverb::prepare(double sampleRateHz) {
    sampleRate_ = sampleRateHz;
    preDelay_.samples.assign(framesOf(kMaximumReverbPreDelaySeconds, sampleRateHz) + 1, 0.0f);
    for (size_t c = 0; c < channels_.size(); ++c) {
        const double spread = c == 0 ? 0.0 : kStereoSpreadSeconds;
        for (size_t i = 0; i < kCombs; ++i)
            channels_[c].combs[i].line.samples.assign(
                framesOf((kCombSeconds[i] + spread) * kMaximumReverbSizeScale, sampleRateHz), 0.0f);
        for (size_t i = 0; i < kAllpasses; ++i)
            channels_[c].allpasses[i].samples.assign(framesOf(kAllpassSeconds[i] + spread, sampleRateHz), 0.0f);
    }
    configure(reverbShape(ReverbPreset::mediumRoom));
}

void Reverb::configure(const ReverbShape& shape) noexcept {
    const double scale = std::clamp(shape.sizeScale, 0.1, kMaximumReverbSizeScale);
    preDelay_.length = std::clamp<uint32_t>(framesOf(shape.preDelaySeconds, sampleRate_) + 1, 1,
                                            static_cast<uint32_t>(preDelay_.samples.size()));
    damping_ = static_cast<float>(std::clamp(shape.damping, 0.0, 0.95));
    for (size_t c = 0; c < channels_.size(); ++c) {
        const double spread = c == 0 ? 0.0 : kStereoSpreadSeconds;
        for (size_t i = 0; i < kCombs; ++i) {
            Comb& comb = channels_[c].combs[i];
            const double seconds = (kCombSeconds[i] + spread) * scale;
            comb.line.length =
                std::min<uint32_t>(framesOf(seconds, sampleRate_), static_cast<uint32_t>(comb.line.samples.size()));
            comb.line.index %= comb.line.length;
            // A loop of t seconds repeated decay/t times falls by 60 dB: g = 10^(-3 t / decay).
            comb.feedback = static_cast<float>(std::pow(10.0, -3.0 * seconds / std::max(0.05, shape.decaySeconds)));
        }
        for (auto& allpass : channels_[c].allpasses) allpass.length = static_cast<uint32_t>(allpass.samples.size());
    }
    preDelay_.index %= preDelay_.length;
}

float Reverb::processChannel(Channel& channel, float input) noexcept {
    float sum = 0.0f;
    for (Comb& comb : channel.combs) {
        float& slot = comb.line.samples[comb.line.index];
        const float delayed = slot;
        comb.lowpass = delayed * (1.0f - damping_) + comb.lowpass * damping_;
        slot = input + comb.lowpass * comb.feedback;
        comb.line.index = comb.line.index + 1 == comb.line.length ? 0 : comb.line.index + 1;
        sum += delayed;
    }
    float signal = sum * (1.0f / static_cast<float>(kCombs));
    for (DelayLine& allpass : channel.allpasses) {
        float& slot = allpass.samples[allpass.index];
        const float delayed = slot;
        slot = signal + delayed * kAllpassGain;
        signal = delayed - signal * kAllpassGain;
        allpass.index = allpass.index + 1 == allpass.length ? 0 : allpass.index + 1;
    }
    return signal;
}

void Reverb::process(const float* left, const float* right, float* wetLeft, float* wetRight,
                     uint32_t frames) noexcept {
    for (uint32_t i = 0; i < frames; ++i) {
        float& slot = preDelay_.samples[preDelay_.index];
        const float input = slot;
        slot = (left[i] + right[i]) * 0.5f * kInputGain;
        preDelay_.index = preDelay_.index + 1 == preDelay_.length ? 0 : preDelay_.index + 1;
        wetLeft[i] = processChannel(channels_[0], input);
        wetRight[i] = processChannel(channels_[1], input);
    }
}

}  // namespace audioengine
