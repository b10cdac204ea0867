#pragma once
// Signal sources and measurements shared by the engine tests.

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/audioengine/Node.h"

namespace audioengine::testing {

// A node that plays a sine of a given frequency and amplitude on both channels, phase-continuous across blocks.
class SineNode final : public Node {
public:
    SineNode(double frequencyHz, float amplitude) : frequency_(frequencyHz), amplitude_(amplitude) {}
    std::string name() const override { return "sine"; }
    uint32_t numberOfInputs() const override { return 0; }

protected:
    void render(const RenderCycle& cycle, const StereoChannels*, uint32_t, StereoChannels output) noexcept override {
        for (uint32_t i = 0; i < cycle.frames; ++i) {
            const double t = static_cast<double>(cycle.sampleTime + i) / cycle.sampleRate;
            const auto value = static_cast<float>(amplitude_ * std::sin(2.0 * std::numbers::pi * frequency_ * t));
            output.left[i] = value;
            output.right[i] = value;
        }
    }

private:
    double frequency_;
    float amplitude_;
};

// A node that plays one full-scale sample at its first frame, then silence.
class ImpulseNode final : public Node {
public:
    std::string name() const override { return "impulse"; }
    uint32_t numberOfInputs() const override { return 0; }

protected:
    void render(const RenderCycle& cycle, const StereoChannels*, uint32_t, StereoChannels output) noexcept override {
        for (uint32_t i = 0; i < cycle.frames; ++i) {
            const float value = cycle.sampleTime + i == 0 ? 1.0f : 0.0f;
            output.left[i] = value;
            output.right[i] = value;
        }
    }
};

inline double rms(const std::vector<float>& samples, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

inline float peak(const std::vector<float>& samples) {
    float result = 0.0f;
    for (float s : samples) result = std::max(result, std::fabs(s));
    return result;
}

}  // namespace audioengine::testing
