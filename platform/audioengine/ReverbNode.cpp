#include "platform/audioengine/ReverbNode.h"

#include <algorithm>

namespace audioengine {

namespace {

// out[i] = dry[i] x (1 - mix) + wet[i] x mix, the mix going from `from` by step a frame (first frame: from + step).
// A signed count, so that the vectoriser converts it to float four at a time.
void crossfade(const float* __restrict dry, const float* __restrict wet, float* __restrict out, float from, float step,
               uint32_t frames) noexcept {
    for (int32_t i = 0; i < static_cast<int32_t>(frames); ++i) {
        const float mix = from + step * static_cast<float>(i + 1);
        out[i] = dry[i] * (1.0f - mix) + wet[i] * mix;
    }
}

}  // namespace

void ReverbNode::loadFactoryPreset(ReverbPreset preset) { preset_.store(static_cast<int32_t>(preset)); }

void ReverbNode::setWetDryMix(float percent) { wetDryMixPercent_.store(std::clamp(percent, 0.0f, 100.0f)); }

bool ReverbNode::prepare(double sampleRate, uint32_t maxFrames, std::string& error) {
    if (!Node::prepare(sampleRate, maxFrames, error)) return false;
    reverb_.prepare(sampleRate);
    wet_.allocate(maxFrames);
    appliedPreset_ = -1;
    currentMix_ = wetDryMixPercent_.load() / 100.0f;
    return true;
}

void ReverbNode::render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                        StereoChannels output) noexcept {
    const uint32_t frames = cycle.frames;
    const int32_t preset = preset_.load();
    if (preset != appliedPreset_) {
        reverb_.configure(reverbShape(static_cast<ReverbPreset>(preset)));
        appliedPreset_ = preset;
    }
    // Without an input the dry signal is silence, written into the output.
    StereoChannels dry = output;
    if (inputCount == 0) {
        std::fill_n(output.left, frames, 0.0f);
        std::fill_n(output.right, frames, 0.0f);
    } else {
        dry = inputs[0];
    }
    const StereoChannels wet = wet_.channels();
    reverb_.process(dry.left, dry.right, wet.left, wet.right, frames);
    const float target = wetDryMixPercent_.load() / 100.0f;
    const float step = frames > 0 ? (target - currentMix_) / static_cast<float>(frames) : 0.0f;
    crossfade(dry.left, wet.left, output.left, currentMix_, step, frames);
    crossfade(dry.right, wet.right, output.right, currentMix_, step, frames);
    currentMix_ = target;
}

}  // namespace audioengine
