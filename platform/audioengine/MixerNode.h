#pragma once
// Sums any number of inputs and scales the sum by its output volume. The engine's main mixer is one of these.

#include <atomic>

#include "platform/audioengine/Node.h"

namespace audioengine {

class MixerNode final : public Node {
public:
    static constexpr uint32_t kInputBusCount = 64;

    std::string name() const override { return "mixer"; }
    uint32_t numberOfInputs() const override { return kInputBusCount; }

    // Linear gain applied to the sum, 0 and above (1 = unity). Any thread; reaches the output within one block,
    // ramped over that block.
    void setOutputVolume(float gain) { targetVolume_.store(gain < 0.0f ? 0.0f : gain, std::memory_order_relaxed); }
    float outputVolume() const { return targetVolume_.load(std::memory_order_relaxed); }

protected:
    bool prepare(double sampleRate, uint32_t maxFrames, std::string& error) override;
    void render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                StereoChannels output) noexcept override;

private:
    std::atomic<float> targetVolume_{1.0f};
    float currentVolume_ = 1.0f;  // render thread only
};

}  // namespace audioengine
