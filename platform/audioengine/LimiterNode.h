#pragma once
// The peak limiter as an engine node. Defaults: attack 12 ms, release 24 ms, pre-gain 0 dB, ceiling 0 dBFS.

#include <atomic>

#include "platform/audioengine/Node.h"
#include "platform/audioengine/PeakLimiter.h"

namespace audioengine {

class LimiterNode final : public Node {
public:
    // Longest attack the node takes; longer ones are shortened to it.
    static constexpr double kMaximumAttackSeconds = 0.1;

    std::string name() const override { return "peak limiter"; }
    uint32_t numberOfInputs() const override { return 1; }
    // The look-ahead, in seconds.
    double latency() const override;

    // Any thread; reaches the sound at the next block.
    void setSettings(const PeakLimiterSettings& settings);
    PeakLimiterSettings settings() const;

protected:
    bool prepare(double sampleRate, uint32_t maxFrames, std::string& error) override;
    void render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                StereoChannels output) noexcept override;

private:
    std::atomic<double> attackSeconds_{PeakLimiterSettings{}.attackSeconds};
    std::atomic<double> releaseSeconds_{PeakLimiterSettings{}.releaseSeconds};
    std::atomic<double> preGainDecibels_{PeakLimiterSettings{}.preGainDecibels};
    std::atomic<double> ceilingDecibels_{PeakLimiterSettings{}.ceilingDecibels};
    std::atomic<uint32_t> generation_{1};
    uint32_t applied_ = 0;  // render thread
    PeakLimiter limiter_;
    double sampleRate_ = 48000.0;
};

}  // namespace audioengine
