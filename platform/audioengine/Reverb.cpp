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
constexpr float kQuiet = 1e-6f;  // -120 dB of full scale

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
    double longestPathSeconds = kMaximumReverbPreDelaySeconds + (kCombSeconds.back() + kStereoSpreadSeconds) *
                                                                   kMaximumReverbSizeScale;
    for (double seconds : kAllpassSeconds) longestPathSeconds += seconds + kStereoSpreadSeconds;
    settleFrames_ = 2 * framesOf(longestPathSeconds, sampleRateHz);
    quietFrames_ = 0;
    asleep_ = false;
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

// The combs run four at a time over the chunk, their states in registers: each one's low-pass is a chain from frame
// to frame, and four independent chains keep the processor busy where one would wait. Every frame's sum is formed in
// the same order as frame by frame, so the samples are the same.
void Reverb::processChannel(Channel& channel, const float* input, float* out, uint32_t frames) noexcept {
    constexpr size_t kGroup = 4;
    static_assert(kCombs % kGroup == 0);
    std::fill_n(out, frames, 0.0f);
    const float damping = damping_;
    for (size_t first = 0; first < kCombs; first += kGroup) {
        float* samples[kGroup];
        uint32_t length[kGroup], index[kGroup];
        float lowpass[kGroup], feedback[kGroup];
        for (size_t c = 0; c < kGroup; ++c) {
            Comb& comb = channel.combs[first + c];
            samples[c] = comb.line.samples.data();
            length[c] = comb.line.length;
            index[c] = comb.line.index;
            lowpass[c] = comb.lowpass;
            feedback[c] = comb.feedback;
        }
        for (uint32_t i = 0; i < frames; ++i) {
            float sum = out[i];
            for (size_t c = 0; c < kGroup; ++c) {
                const float delayed = samples[c][index[c]];
                lowpass[c] = delayed * (1.0f - damping) + lowpass[c] * damping;
                samples[c][index[c]] = input[i] + lowpass[c] * feedback[c];
                index[c] = index[c] + 1 == length[c] ? 0 : index[c] + 1;
                sum += delayed;
            }
            out[i] = sum;
        }
        for (size_t c = 0; c < kGroup; ++c) {
            channel.combs[first + c].line.index = index[c];
            channel.combs[first + c].lowpass = lowpass[c];
        }
    }
    for (uint32_t i = 0; i < frames; ++i) out[i] *= 1.0f / static_cast<float>(kCombs);
    for (DelayLine& allpass : channel.allpasses) {
        float* samples = allpass.samples.data();
        const uint32_t length = allpass.length;
        uint32_t index = allpass.index;
        for (uint32_t i = 0; i < frames; ++i) {
            const float delayed = samples[index];
            const float signal = out[i];
            samples[index] = signal + delayed * kAllpassGain;
            out[i] = delayed - signal * kAllpassGain;
            index = index + 1 == length ? 0 : index + 1;
        }
        allpass.index = index;
    }
}

bool Reverb::linesQuiet() const noexcept {
    const auto quiet = [](const std::vector<float>& samples) {
        return std::all_of(samples.begin(), samples.end(), [](float x) { return std::fabs(x) < kQuiet; });
    };
    if (!quiet(preDelay_.samples)) return false;
    for (const Channel& channel : channels_) {
        for (const Comb& comb : channel.combs)
            if (!quiet(comb.line.samples) || !(std::fabs(comb.lowpass) < kQuiet)) return false;
        for (const DelayLine& allpass : channel.allpasses)
            if (!quiet(allpass.samples)) return false;
    }
    return true;
}

void Reverb::advance(uint32_t frames) noexcept {
    const auto move = [frames](DelayLine& line) { line.index = (line.index + frames) % line.length; };
    move(preDelay_);
    for (Channel& channel : channels_) {
        for (Comb& comb : channel.combs) move(comb.line);
        for (DelayLine& allpass : channel.allpasses) move(allpass);
    }
}

void Reverb::watchTail(bool inputZero, const float* wetLeft, const float* wetRight, uint32_t frames) noexcept {
    float peak = 0.0f;
    for (uint32_t i = 0; i < frames; ++i) peak = std::max({peak, std::fabs(wetLeft[i]), std::fabs(wetRight[i])});
    if (!inputZero || !(peak < kQuiet)) {
        quietFrames_ = 0;
        return;
    }
    quietFrames_ = std::min(quietFrames_ + frames, settleFrames_);
    if (quietFrames_ == settleFrames_) {
        asleep_ = linesQuiet();
        if (!asleep_) quietFrames_ = 0;
    }
}

void Reverb::process(const float* left, const float* right, float* wetLeft, float* wetRight,
                     uint32_t frames) noexcept {
    const auto zero = [frames](const float* x) { return std::all_of(x, x + frames, [](float v) { return v == 0.0f; }); };
    const bool inputZero = zero(left) && zero(right);
    if (asleep_ && inputZero) {
        advance(frames);
        std::fill_n(wetLeft, frames, 0.0f);
        std::fill_n(wetRight, frames, 0.0f);
        return;
    }
    asleep_ = false;
    float input[kChunkFrames];
    for (uint32_t done = 0; done < frames; done += kChunkFrames) {
        const uint32_t n = std::min(kChunkFrames, frames - done);
        for (uint32_t i = 0; i < n; ++i) {
            float& slot = preDelay_.samples[preDelay_.index];
            input[i] = slot;
            slot = (left[done + i] + right[done + i]) * 0.5f * kInputGain;
            preDelay_.index = preDelay_.index + 1 == preDelay_.length ? 0 : preDelay_.index + 1;
        }
        processChannel(channels_[0], input, wetLeft + done, n);
        processChannel(channels_[1], input, wetRight + done, n);
    }
    watchTail(inputZero, wetLeft, wetRight, frames);
}

}  // namespace audioengine
