#include "platform/audioengine/Reverb.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace audioengine {

namespace {

// Base loop times in seconds, chosen without common factors so that the echoes do not line up.
constexpr std::array<double, 8> kCombSeconds{0.0297, 0.0313, 0.0339, 0.0361, 0.0383, 0.0407, 0.0429, 0.0451};
constexpr std::array<double, 4> kAllpassSeconds{0.0041, 0.0053, 0.0071, 0.0089};
constexpr double kStereoSpreadSeconds = 0.00053;
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

namespace {

// Calls run(offset, slots, m) for the runs of n slots of a ring of `length` slots from `index` on, split where it
// goes round (offset: the frames before the run), and returns the index after them. No run visits a slot twice.
template <typename Run>
uint32_t forRuns(float* samples, uint32_t length, uint32_t index, uint32_t n, Run run) noexcept {
    for (uint32_t done = 0; done < n;) {
        const uint32_t m = std::min(n - done, length - index);
        run(done, samples + index, m);
        index = index + m == length ? 0 : index + m;
        done += m;
    }
    return index;
}

// slots[i] = input[i] + filtered[i] x feedback.
void feedRun(float* __restrict slots, const float* __restrict input, const float* __restrict filtered, float feedback,
             uint32_t n) noexcept {
    for (uint32_t i = 0; i < n; ++i) slots[i] = input[i] + filtered[i] * feedback;
}

// out[i] += delayed[0][i], then delayed[1][i], and so on: all eight summed in one pass, in comb order.
void sumRun(const float* const (&delayed)[8], float* __restrict out, uint32_t n) noexcept {
    for (uint32_t i = 0; i < n; ++i) {
        float sum = out[i];
#pragma GCC unroll 8
        for (size_t c = 0; c < 8; ++c) sum += delayed[c][i];
        out[i] = sum;
    }
}

// out[i] = slots[i], then slots[i] = the reverb's input from left[i] and right[i].
void delayRun(float* __restrict slots, float* __restrict out, const float* __restrict left,
              const float* __restrict right, uint32_t n) noexcept {
    for (uint32_t i = 0; i < n; ++i) {
        out[i] = slots[i];
        slots[i] = (left[i] + right[i]) * 0.5f * kInputGain;
    }
}

void allpassRun(float* __restrict samples, float* __restrict out, uint32_t n) noexcept {
    constexpr float kGain = 0.5f;
    for (uint32_t i = 0; i < n; ++i) {
        const float delayed = samples[i];
        const float signal = out[i];
        samples[i] = signal + delayed * kGain;
        out[i] = delayed - signal * kGain;
    }
}

// Four floats in one vector register (SSE2 on any x86-64).
using Quad = float __attribute__((vector_size(4 * sizeof(float))));

// Four rows of four floats turned into four columns; turning twice gives the rows back.
void turn(Quad (&q)[4]) noexcept {
    const Quad front01 = __builtin_shufflevector(q[0], q[1], 0, 4, 1, 5);
    const Quad back01 = __builtin_shufflevector(q[0], q[1], 2, 6, 3, 7);
    const Quad front23 = __builtin_shufflevector(q[2], q[3], 0, 4, 1, 5);
    const Quad back23 = __builtin_shufflevector(q[2], q[3], 2, 6, 3, 7);
    q[0] = __builtin_shufflevector(front01, front23, 0, 1, 4, 5);
    q[1] = __builtin_shufflevector(front01, front23, 2, 3, 6, 7);
    q[2] = __builtin_shufflevector(back01, back23, 0, 1, 4, 5);
    q[3] = __builtin_shufflevector(back01, back23, 2, 3, 6, 7);
}

// The combs' low-pass filters over m frames of their delayed lines, into filtered from frame `at` on: each frame
// lowpass = delayed x keep + lowpass x damping, as one step over four combs in each of two vectors. Four frames of
// four lines at a time are turned from rows into a column per frame and back; the frames left over go one by one.
template <size_t kCombs, size_t kChunkFrames>
void lowpassRun(const float* const (&delayed)[kCombs], float (&lowpass)[kCombs], float keep, float damping,
                float (&filtered)[kCombs][kChunkFrames], uint32_t at, uint32_t m) noexcept {
    static_assert(kCombs == 8, "two vectors of four combs");
    constexpr uint32_t kTile = 4;
    Quad state[2];
    std::memcpy(state, lowpass, sizeof(state));
    const Quad keeps = Quad{} + keep;
    const Quad dampings = Quad{} + damping;
    uint32_t i = 0;
    for (; i + kTile <= m; i += kTile) {
        Quad tiles[2][kTile];
#pragma GCC unroll 8
        for (size_t c = 0; c < kCombs; ++c) std::memcpy(&tiles[c / kTile][c % kTile], delayed[c] + i, sizeof(Quad));
        turn(tiles[0]);
        turn(tiles[1]);
#pragma GCC unroll 4
        for (uint32_t k = 0; k < kTile; ++k) {
            state[0] = tiles[0][k] * keeps + state[0] * dampings;
            state[1] = tiles[1][k] * keeps + state[1] * dampings;
            tiles[0][k] = state[0];
            tiles[1][k] = state[1];
        }
        turn(tiles[0]);
        turn(tiles[1]);
#pragma GCC unroll 8
        for (size_t c = 0; c < kCombs; ++c) std::memcpy(filtered[c] + at + i, &tiles[c / kTile][c % kTile], sizeof(Quad));
    }
    std::memcpy(lowpass, state, sizeof(state));
    for (; i < m; ++i) {
        for (size_t c = 0; c < kCombs; ++c) {
            lowpass[c] = delayed[c][i] * keep + lowpass[c] * damping;
            filtered[c][at + i] = lowpass[c];
        }
    }
}

}  // namespace

// Stage by stage over stretches no longer than the shortest comb line, so that no frame of a stretch reads a slot
// an earlier frame of it wrote: the eight low-pass chains run side by side over the combs' lines, a frame of all
// eight in one vector step, in runs between the lines' wraps, each run's delayed frames summed in one pass; then
// comb after comb the lines take the new frames. The all-passes run over the runs of their lines between two wraps.
// Every sample comes from the same operations in the same order as frame by frame through all the filters, so the
// output is the same.
void Reverb::processChannel(Channel& channel, const float* input, float* out, uint32_t frames) noexcept {
    std::fill_n(out, frames, 0.0f);
    const float damping = damping_;
    const float keep = 1.0f - damping;
    uint32_t stretch = frames;
    for (const Comb& comb : channel.combs) stretch = std::min(stretch, comb.line.length);
    float filtered[kCombs][kChunkFrames];
    for (uint32_t done = 0; done < frames; done += stretch) {
        const uint32_t n = std::min(stretch, frames - done);
        float lowpass[kCombs];
        uint32_t index[kCombs];
        for (size_t c = 0; c < kCombs; ++c) {
            lowpass[c] = channel.combs[c].lowpass;
            index[c] = channel.combs[c].line.index;
        }
        for (uint32_t at = 0; at < n;) {
            uint32_t m = n - at;
            const float* delayed[kCombs];
            for (size_t c = 0; c < kCombs; ++c) {
                const DelayLine& line = channel.combs[c].line;
                delayed[c] = line.samples.data() + index[c];
                m = std::min(m, line.length - index[c]);
            }
            lowpassRun(delayed, lowpass, keep, damping, filtered, at, m);
            sumRun(delayed, out + done + at, m);
            for (size_t c = 0; c < kCombs; ++c) {
                const uint32_t length = channel.combs[c].line.length;
                index[c] = index[c] + m == length ? 0 : index[c] + m;
            }
            at += m;
        }
        for (size_t c = 0; c < kCombs; ++c) {
            Comb& comb = channel.combs[c];
            comb.lowpass = lowpass[c];
            comb.line.index = forRuns(comb.line.samples.data(), comb.line.length, comb.line.index, n,
                                      [&](uint32_t at, float* slots, uint32_t m) {
                                          feedRun(slots, input + done + at, filtered[c] + at, comb.feedback, m);
                                      });
        }
    }
    for (uint32_t i = 0; i < frames; ++i) out[i] *= 1.0f / static_cast<float>(kCombs);
    for (DelayLine& allpass : channel.allpasses) {
        allpass.index = forRuns(allpass.samples.data(), allpass.length, allpass.index, frames,
                                [out](uint32_t at, float* slots, uint32_t m) { allpassRun(slots, out + at, m); });
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
    // While the input sounds the tail cannot end: the wet signal is only looked at once the input is silent.
    float peak = 0.0f;
    if (inputZero)
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
        preDelay_.index = forRuns(preDelay_.samples.data(), preDelay_.length, preDelay_.index, n,
                                  [&](uint32_t at, float* slots, uint32_t m) {
                                      delayRun(slots, input + at, left + done + at, right + done + at, m);
                                  });
        processChannel(channels_[0], input, wetLeft + done, n);
        processChannel(channels_[1], input, wetRight + done, n);
    }
    watchTail(inputZero, wetLeft, wetRight, frames);
}

}  // namespace audioengine
