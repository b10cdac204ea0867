#include "platform/audioengine/EqualizerNode.h"

#include <algorithm>

namespace audioengine {

EqualizerNode::EqualizerNode(uint32_t numberOfBands) {
    for (uint32_t i = 0; i < numberOfBands; ++i) bands_.push_back(std::make_unique<EqualizerBand>());
}

bool EqualizerNode::prepare(double sampleRate, uint32_t maxFrames, std::string& error) {
    if (!Node::prepare(sampleRate, maxFrames, error)) return false;
    sampleRate_ = sampleRate;
    states_.assign(bands_.size(), BandState{});
    return true;
}

void EqualizerNode::render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                           StereoChannels output) noexcept {
    const uint32_t frames = cycle.frames;
    if (inputCount == 0) {
        std::fill_n(output.left, frames, 0.0f);
        std::fill_n(output.right, frames, 0.0f);
    } else {
        std::copy_n(inputs[0].left, frames, output.left);
        std::copy_n(inputs[0].right, frames, output.right);
    }
    for (size_t b = 0; b < bands_.size(); ++b) {
        const EqualizerBand& band = *bands_[b];
        BandState& state = states_[b];
        const uint32_t generation = band.generation();
        if (generation != state.generation) {
            state.generation = generation;
            const bool wasActive = state.active;
            state.active = !band.bypass();
            state.coefficients =
                peakingCoefficients(sampleRate_, band.frequency(), band.bandwidth(), band.gain());
            if (!wasActive) {
                state.left.reset();
                state.right.reset();
            }
        }
        if (!state.active) continue;
        state.left.process(state.coefficients, output.left, frames);
        state.right.process(state.coefficients, output.right, frames);
    }
}

}  // namespace audioengine
