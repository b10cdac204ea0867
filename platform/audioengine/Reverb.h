#pragma once
// A stereo reverberator after Schroeder and Moorer: a pre-delay, eight parallel feedback comb filters with a
// low-pass in each loop, and four series all-pass diffusers per channel (J. A. Moorer, "About This Reverberation
// Business", Computer Music Journal 3(2), 1979). The right channel's delays are slightly longer for width.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audioengine/ReverbPresets.h"

namespace audioengine {

class Reverb {
public:
    // Allocates the delay lines for the largest shape at sampleRateHz. Control thread.
    void prepare(double sampleRateHz);
    // Takes a shape: delay lengths, feedback and damping. Render thread (no allocation).
    void configure(const ReverbShape& shape) noexcept;
    // Adds nothing to the input: writes the reverberated (wet) signal of left+right into wetLeft and wetRight.
    // Render thread.
    void process(const float* left, const float* right, float* wetLeft, float* wetRight, uint32_t frames) noexcept;

private:
    static constexpr size_t kCombs = 8;
    static constexpr size_t kAllpasses = 4;

    struct DelayLine {
        std::vector<float> samples;
        uint32_t length = 1;
        uint32_t index = 0;
    };
    struct Comb {
        DelayLine line;
        float feedback = 0.0f;
        float lowpass = 0.0f;
    };
    struct Channel {
        std::array<Comb, kCombs> combs;
        std::array<DelayLine, kAllpasses> allpasses;
    };

    float processChannel(Channel& channel, float input) noexcept;

    double sampleRate_ = 48000.0;
    DelayLine preDelay_;
    std::array<Channel, 2> channels_;
    float damping_ = 0.3f;
};

}  // namespace audioengine
