#pragma once
// A stereo-linked look-ahead peak limiter that never lets a sample past its ceiling.
//
// For every input frame the gain that brings its larger channel down to the ceiling is computed. The minimum of
// those gains over a window of L frames is smoothed by a moving average of L frames, and the audio is delayed by
// L - 1 frames: every minimum that enters the average of a frame covers that frame, so the averaged gain never
// exceeds the gain the frame needs, and the average turns each gain step into a linear ramp of L frames (the attack).
// The gain then recovers with a one-pole release and only ever rises towards the averaged value.

#include <cstdint>
#include <vector>

namespace audioengine {

struct PeakLimiterSettings {
    double attackSeconds = 0.012;   // look-ahead and attack ramp
    double releaseSeconds = 0.024;  // time constant of the recovery
    double preGainDecibels = 0.0;   // gain before limiting
    double ceilingDecibels = 0.0;   // largest output magnitude, dB relative to full scale

    bool operator==(const PeakLimiterSettings&) const = default;
};

class PeakLimiter {
public:
    // Allocates the delay lines for attacks up to maximumAttackSeconds at sampleRateHz. Control thread.
    void prepare(double sampleRateHz, double maximumAttackSeconds);
    // Takes new settings; a changed attack restarts the delay line. Render thread (no allocation).
    void configure(const PeakLimiterSettings& settings) noexcept;
    // Limits frames frames of left and right in place. Render thread.
    void process(float* left, float* right, uint32_t frames) noexcept;
    // Latency in frames (the look-ahead).
    uint32_t latencyFrames() const { return length_ - 1; }

private:
    void restart() noexcept;
    // At rest: the gain is 1 and so is every window minimum, as after any stretch of frames below the ceiling.
    bool atRest() const noexcept;
    // Frames of a block that keep the limiter at rest pass through the look-ahead delay and nothing else; the state
    // is left as the frame-by-frame path would leave it.
    void passThrough(float* left, float* right, uint32_t frames) noexcept;

    double sampleRate_ = 48000.0;
    uint32_t capacity_ = 1;
    uint32_t length_ = 1;  // L
    float preGain_ = 1.0f;
    float ceiling_ = 1.0f;
    float releaseCoefficient_ = 1.0f;

    std::vector<float> delayLeft_, delayRight_;  // last L input frames
    std::vector<float> required_;                // their required gains
    std::vector<float> minima_;                  // last L window minima
    std::vector<uint64_t> queue_;                // monotonic queue of frame positions for the window minimum
    uint32_t queueHead_ = 0, queueSize_ = 0;
    uint64_t position_ = 0;
    double minimaSum_ = 0.0;
    float gain_ = 1.0f;
};

}  // namespace audioengine
