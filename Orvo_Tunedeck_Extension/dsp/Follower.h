#pragma once

#include <cstdint>

// Peak envelope of one detector signal: the peak climbs towards a louder input by `increase` per sample, holds for
// `decayTime` samples once the input is quieter, then sinks by `decrease` per sample (never below 0).
//
// Plain value type; the fields are public so the owner (Compander2) and its tests see the whole state.
// Thread contract: setSamplerate on the control thread while rendering is stopped, or on the render thread itself;
// track and reset on the render thread. No allocation, no locks.
class Follower {
public:
    // Set up for 48000 Hz with the peak at 0.
    Follower() noexcept;

    // Recomputes the timings for rate (Hz): attack and release in samples (at least 16 each), the hold counter and
    // the per-sample rise and fall. The peak stays as it is.
    void setSamplerate(float rate) noexcept;

    // One step for a non-negative detector value x. Inline and without branches: the limiter runs four followers a
    // frame, and which way a peak moves changes from frame to frame.
    void track(float x) noexcept {
        const double value = x;
        const bool rise = currentPeak < value;
        const bool fall = currentPeak > value;
        const bool holding = decayTime >= 1;
        const double lowered = currentPeak - decrease;
        const double sunk = lowered < 0.0 ? 0.0 : lowered;
        const double peak = fall && !holding ? sunk : currentPeak;
        const std::int32_t held = fall ? (holding ? decayTime - 1 : 0) : decayTime;
        currentPeak = rise ? currentPeak + increase : peak;
        decayTime = rise ? holdSamples() : held;
    }

    bool operator==(const Follower&) const = default;

    float fSamplerate = 48000.0f;
    float fAttack = 0.01f;    // seconds
    float fRelease = 0.5f;    // seconds
    float fDecay = 0.0001f;   // hold, seconds
    float attackTime = 0.0f;  // samples
    float releaseTime = 0.0f; // samples
    std::int32_t decayTime = 0; // hold samples left
    double increase = 0.0;    // peak rise per sample
    double decrease = 0.0;    // peak fall per sample
    double currentPeak = 0.0;

    static constexpr float kMinimumTimeSamples = 16.0f;

private:
    std::int32_t holdSamples() const noexcept { return static_cast<std::int32_t>(fDecay * fSamplerate); }
};
