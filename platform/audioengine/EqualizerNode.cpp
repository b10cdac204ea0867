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
            // At 0 dB the peaking section is the identity to the last bit (b0 = 1, b1 = a1, b2 = a2, and its state
            // stays zero), so the band is skipped; its state is still zero when the gain moves.
            state.active = !band.bypass() && band.gain() != 0.0f;
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
