#pragma once
// The reverb as an engine node: a factory preset and a wet/dry mix in percent.

#include <atomic>

#include "platform/audioengine/Node.h"
#include "platform/audioengine/Reverb.h"
#include "platform/audioengine/ReverbPresets.h"

namespace audioengine {

class ReverbNode final : public Node {
public:
    std::string name() const override { return "reverb"; }
    uint32_t numberOfInputs() const override { return 1; }

    // Any thread; reaches the sound at the next block.
    void loadFactoryPreset(ReverbPreset preset);
    ReverbPreset factoryPreset() const { return static_cast<ReverbPreset>(preset_.load()); }
    // Share of reverberated signal in percent, 0 (dry) to 100 (wet); values outside are clamped.
    void setWetDryMix(float percent);
    float wetDryMix() const { return wetDryMixPercent_.load(); }

protected:
    bool prepare(double sampleRate, uint32_t maxFrames, std::string& error) override;
    void render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                StereoChannels output) noexcept override;

private:
    std::atomic<int32_t> preset_{static_cast<int32_t>(ReverbPreset::mediumRoom)};
    std::atomic<float> wetDryMixPercent_{100.0f};
    int32_t appliedPreset_ = -1;  // render thread
    float currentMix_ = 1.0f;     // render thread
    Reverb reverb_;
    ChannelBuffers wet_;
};

}  // namespace audioengine
