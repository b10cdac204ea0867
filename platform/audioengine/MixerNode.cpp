#include "platform/audioengine/MixerNode.h"

namespace audioengine {

namespace {

// samples[i] x= start + step x (i + 1). A signed count, so that the vectoriser converts it to float four at a time.
void ramp(float* samples, float start, float step, uint32_t frames) noexcept {
    for (int32_t i = 0; i < static_cast<int32_t>(frames); ++i) samples[i] *= start + step * static_cast<float>(i + 1);
}

}  // namespace

bool MixerNode::prepare(double sampleRate, uint32_t maxFrames, std::string& error) {
    currentVolume_ = targetVolume_.load(std::memory_order_relaxed);
    return Node::prepare(sampleRate, maxFrames, error);
}

void MixerNode::render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                       StereoChannels output) noexcept {
    const uint32_t frames = cycle.frames;
    for (uint32_t i = 0; i < frames; ++i) {
        output.left[i] = 0.0f;
        output.right[i] = 0.0f;
    }
    for (uint32_t n = 0; n < inputCount; ++n) {
        const float* left = inputs[n].left;
        const float* right = inputs[n].right;
        for (uint32_t i = 0; i < frames; ++i) {
            output.left[i] += left[i];
            output.right[i] += right[i];
        }
    }
    const float target = targetVolume_.load(std::memory_order_relaxed);
    const float start = currentVolume_;
    const float step = frames > 0 ? (target - start) / static_cast<float>(frames) : 0.0f;
    ramp(output.left, start, step, frames);
    ramp(output.right, start, step, frames);
    currentVolume_ = target;
}

}  // namespace audioengine
