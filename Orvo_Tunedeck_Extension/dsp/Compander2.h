#pragma once

#include <cstdint>

#include "Orvo_Tunedeck_Extension/dsp/Follower.h"

// The instrument's stereo output limiter, run in place on the two output channels after the synthesizer rendered
// them. Each detector channel's peak is followed by a Follower (linear attack, short hold, linear release); while a
// peak is above 1.0 the channel is scaled by 1/peak. Below 1.0 the gain is (1 - peak) * fMultiplier + 1, so 1 with
// the default multiplier of 0.
//
// Detection modes (lMode): 1 detects mid and side and scales both channels by the mid gain; 3 detects left and
// right and scales both by the left gain; 0 (default) and every other value limit left and right separately.
// The instrument runs the defaults: mode 0, threshold and gain 1, full mix, not inverted.
//
// It is a slow peak follower, not a brick wall: a sudden step above full scale passes for up to attackTime samples
// before the gain comes down.
//
// Plain value type. Thread contract: construct and setSamplerate on the control thread while rendering is stopped
// (or on the render thread itself); process and resetState on the render thread. No allocation, no locks.
class Compander2 {
public:
    // All followers set up at 48000 Hz, peaks 0, gains 1.
    Compander2() noexcept;

    // Recomputes the followers' timings for rate (Hz); peaks and hold counters stay.
    void setSamplerate(float rate) noexcept;

    // Peaks to 0 and both factors to 1; timings, hold counters and settings stay.
    void resetState() noexcept;

    // In place on both channels; frames < 1 is a no-op.
    void process(float* left, float* right, std::int64_t frames) noexcept;

    Follower inputFollower[2];
    Follower outputFollower[2]; // followed, not used for the gain
    float fSamplerate = 48000.0f;
    float fMultiplier = 0.0f; // expansion below the threshold
    std::int32_t lMode = 0;
    float fMix = 1.0f; // wet share
    float fGain = 1.0f;
    float vThreshold = 1.0f;    // input scale before detection
    float vThresholdInv = 1.0f; // output scale after the gain
    float factor[2] = {1.0f, 1.0f};
    bool bInverted = false;

private:
    enum class Detection { separate, midSide, leftLinked };

    // Whether the settings leave a sample unchanged while its gain is 1.
    bool passesUnchanged() const noexcept;
    template <Detection mode>
    void processMode(float* left, float* right, std::int64_t frames) noexcept;
    // Moves the followers through a block that passes unchanged.
    template <typename Detect>
    void followUnchanged(const float* left, const float* right, std::int64_t frames, Detect detect) noexcept;
    // The gain and the output frame by frame.
    template <Detection mode>
    void limit(float* left, float* right, std::int64_t frames) noexcept;
};
