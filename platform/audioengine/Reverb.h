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
    //
    // Once the tail has ended (the input exactly zero and the wet signal below -120 dB of full scale for twice the
    // longest path through the lines, and nothing in the lines at that level), the reverb sleeps: while the input
    // stays zero it only moves its line positions on and writes zeros. The first non-zero input wakes it.
    void process(const float* left, const float* right, float* wetLeft, float* wetRight, uint32_t frames) noexcept;
    // Whether it sleeps. Render thread, or while it is not processing.
    bool sleeping() const noexcept { return asleep_; }

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

    // Frames run through the filters together, at most this many at a time.
    static constexpr uint32_t kChunkFrames = 256;

    // Writes the channel's wet signal for frames frames of the pre-delayed input into out.
    void processChannel(Channel& channel, const float* input, float* out, uint32_t frames) noexcept;
    // Counts the quiet frames of a block just processed and falls asleep when they are enough.
    void watchTail(bool inputZero, const float* wetLeft, const float* wetRight, uint32_t frames) noexcept;
    bool linesQuiet() const noexcept;
    // Moves every line position on by frames, as processing silence would.
    void advance(uint32_t frames) noexcept;

    double sampleRate_ = 48000.0;
    DelayLine preDelay_;
    std::array<Channel, 2> channels_;
    float damping_ = 0.3f;
    uint32_t settleFrames_ = 1;  // quiet frames before the lines are checked
    uint32_t quietFrames_ = 0;
    bool asleep_ = false;
};

}  // namespace audioengine
