#pragma once
// An engine node that renders an audio unit: an instrument (no input bus) or an effect (its input bus 0 is fed from
// the node's input). When the engine prepares the node it gives an unallocated unit the engine's format and frame
// maximum and allocates it; it deallocates only what it allocated, when the node leaves the engine.

#include <memory>
#include <string>

#include "platform/audioengine/Node.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "platform/audiounit/AudioComponentRegistry.h"

namespace audioengine {

class UnitNode : public Node {
public:
    explicit UnitNode(std::shared_ptr<AUAudioUnit> unit);
    ~UnitNode() override;

    // A node over a new unit of the first component matching description in registry, made on the calling thread.
    // nullptr when nothing matches or the unit cannot be made; error then says why.
    static std::shared_ptr<UnitNode> instantiate(const AudioComponentDescription& description, std::string& error,
                                                 AudioComponentRegistry& registry = AudioComponentRegistry::shared());

    const std::shared_ptr<AUAudioUnit>& auAudioUnit() const { return unit_; }

    std::string name() const override;
    uint32_t numberOfInputs() const override;
    double latency() const override { return unit_->latency(); }

protected:
    bool prepare(double sampleRate, uint32_t maxFrames, std::string& error) override;
    void render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                StereoChannels output) noexcept override;
    void detached() override;

private:
    foundation::OSStatus pullInput(AUAudioFrameCount frames, AudioBufferList* inputData) noexcept;

    std::shared_ptr<AUAudioUnit> unit_;
    AURenderBlock renderBlock_;
    AURenderPullInputBlock pullInputBlock_;
    bool allocatedHere_ = false;
    const StereoChannels* currentInput_ = nullptr;  // render thread, during one render call
};

}  // namespace audioengine
