#include "platform/audioengine/LimiterNode.h"

#include <algorithm>

namespace audioengine {

double LimiterNode::latency() const {
    return std::min(attackSeconds_.load(), kMaximumAttackSeconds);
}

void LimiterNode::setSettings(const PeakLimiterSettings& settings) {
    attackSeconds_.store(std::clamp(settings.attackSeconds, 0.0, kMaximumAttackSeconds));
    releaseSeconds_.store(settings.releaseSeconds);
    preGainDecibels_.store(settings.preGainDecibels);
    ceilingDecibels_.store(settings.ceilingDecibels);
    generation_.fetch_add(1, std::memory_order_release);
}

PeakLimiterSettings LimiterNode::settings() const {
    return {attackSeconds_.load(), releaseSeconds_.load(), preGainDecibels_.load(), ceilingDecibels_.load()};
}

bool LimiterNode::prepare(double sampleRate, uint32_t maxFrames, std::string& error) {
    if (!Node::prepare(sampleRate, maxFrames, error)) return false;
    sampleRate_ = sampleRate;
    limiter_.prepare(sampleRate, kMaximumAttackSeconds);
    applied_ = 0;
    return true;
}

void LimiterNode::render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                         StereoChannels output) noexcept {
    const uint32_t generation = generation_.load(std::memory_order_acquire);
    if (generation != applied_) {
        const PeakLimiterSettings current = settings();
        // Taken only when no write slipped in while reading; otherwise the next block tries again.
        if (generation_.load(std::memory_order_acquire) == generation) {
            limiter_.configure(current);
            applied_ = generation;
        }
    }
    if (inputCount == 0) {
        std::fill_n(output.left, cycle.frames, 0.0f);
        std::fill_n(output.right, cycle.frames, 0.0f);
    } else {
        std::copy_n(inputs[0].left, cycle.frames, output.left);
        std::copy_n(inputs[0].right, cycle.frames, output.right);
    }
    limiter_.process(output.left, output.right, cycle.frames);
}

}  // namespace audioengine
