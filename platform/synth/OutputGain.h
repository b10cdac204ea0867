#pragma once
// The stand-in's master gain, in decibels, applied to the rendered stereo output above the stand-in's own output
// level. A new value is reached by a linear ramp of kRampFrames frames so that volume moves do not click.
//
// Thread contract: render thread; plain loops, no allocation.

#include <cstdint>

namespace synth {

inline constexpr float kMinimumGainDecibels = -96.0f;
inline constexpr float kMaximumGainDecibels = 24.0f;
// The stand-in's output level at a gain of 0 dB, above the library's mix: the instrument that hosts it plays it
// 11 dB down (its main volume at the start), where it then sounds as loud as the library mixes at its own gain
// (and as loud as the peer measurement in bench/peer finds the same bank).
inline constexpr float kOutputLevelDecibels = 11.0f;

// Linear amplitude of a gain in decibels, clamped to kMinimumGainDecibels..kMaximumGainDecibels.
float decibelsToGain(float gainDecibels) noexcept;

class OutputGain {
public:
    static constexpr std::uint32_t kRampFrames = 64;

    // At a gain of 0 dB.
    OutputGain() noexcept;

    // The level to ramp to from the current one; a value that is not a number is ignored.
    void setTargetDecibels(float gainDecibels) noexcept;
    // Takes the target at once (no ramp): for a start from silence.
    void jumpToTarget() noexcept;

    // Scales frames frames of both channels in place.
    void process(float* left, float* right, std::uint32_t frames) noexcept;

private:
    const float level_;  // the output level's amplitude
    float current_;
    float target_;
    float step_ = 0.0f;
    std::uint32_t rampLeft_ = 0;
};

}  // namespace synth
