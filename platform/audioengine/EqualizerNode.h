#pragma once
// A parametric equaliser of a fixed number of bands, each a peaking biquad on both channels.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audioengine/Biquad.h"
#include "platform/audioengine/Node.h"

namespace audioengine {

// One band's settings. Any thread; a change reaches the sound at the next block.
class EqualizerBand {
public:
    enum class FilterType { parametric };

    FilterType filterType() const { return FilterType::parametric; }
    void setFilterType(FilterType) {}

    float frequency() const { return frequencyHz_.load(); }
    void setFrequency(float hz) { frequencyHz_.store(hz); touch(); }
    // Width in octaves between the points of half the gain.
    float bandwidth() const { return bandwidthOctaves_.load(); }
    void setBandwidth(float octaves) { bandwidthOctaves_.store(octaves); touch(); }
    float gain() const { return gainDecibels_.load(); }
    void setGain(float decibels) { gainDecibels_.store(decibels); touch(); }
    bool bypass() const { return bypass_.load(); }
    void setBypass(bool bypass) { bypass_.store(bypass); touch(); }

    // Bumped on every change; the render thread recomputes the coefficients when it moves.
    uint32_t generation() const { return generation_.load(std::memory_order_acquire); }

private:
    void touch() { generation_.fetch_add(1, std::memory_order_release); }

    std::atomic<float> frequencyHz_{1000.0f};
    std::atomic<float> bandwidthOctaves_{0.5f};
    std::atomic<float> gainDecibels_{0.0f};
    std::atomic<bool> bypass_{true};
    std::atomic<uint32_t> generation_{1};
};

class EqualizerNode final : public Node {
public:
    explicit EqualizerNode(uint32_t numberOfBands);

    std::string name() const override { return "equaliser"; }
    uint32_t numberOfInputs() const override { return 1; }

    // The bands, in order. Their number is fixed at construction.
    const std::vector<std::unique_ptr<EqualizerBand>>& bands() const { return bands_; }

protected:
    bool prepare(double sampleRate, uint32_t maxFrames, std::string& error) override;
    void render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                StereoChannels output) noexcept override;

private:
    struct BandState {
        uint32_t generation = 0;
        bool active = false;
        BiquadCoefficients coefficients;
        BiquadState left;
        BiquadState right;
    };

    std::vector<std::unique_ptr<EqualizerBand>> bands_;
    std::vector<BandState> states_;  // render thread after prepare
    double sampleRate_ = 0.0;
};

}  // namespace audioengine
