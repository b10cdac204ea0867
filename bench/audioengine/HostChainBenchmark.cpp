// Cost of one pull through the host's effect chain (source, reverb, three-band equaliser, peak limiter, main mixer)
// at 48 kHz, per block size.

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

#include "platform/audioengine/Engine.h"
#include "platform/audioengine/EqualizerNode.h"
#include "platform/audioengine/LimiterNode.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audioengine/ReverbNode.h"

namespace {

using namespace audioengine;

class Noise final : public Node {
public:
    std::string name() const override { return "noise"; }
    uint32_t numberOfInputs() const override { return 0; }

protected:
    void render(const RenderCycle& cycle, const StereoChannels*, uint32_t, StereoChannels out) noexcept override {
        for (uint32_t i = 0; i < cycle.frames; ++i) {
            state_ = state_ * 1664525u + 1013904223u;
            const float value = static_cast<float>(state_ >> 8) / 16777216.0f - 0.5f;
            out.left[i] = value;
            out.right[i] = -value;
        }
    }

private:
    uint32_t state_ = 1;
};

void HostChain(benchmark::State& state) {
    const auto frames = static_cast<uint32_t>(state.range(0));
    Engine engine(std::make_unique<ManualRenderingOutput>(48000.0));
    auto reverb = std::make_shared<ReverbNode>();
    auto eq = std::make_shared<EqualizerNode>(3);
    const float centres[] = {40.0f, 440.0f, 12000.0f};
    for (size_t i = 0; i < 3; ++i) {
        eq->bands()[i]->setFrequency(centres[i]);
        eq->bands()[i]->setBandwidth(3.0f);
        eq->bands()[i]->setGain(3.0f);
        eq->bands()[i]->setBypass(false);
    }
    reverb->setWetDryMix(33.0f);
    std::vector<std::shared_ptr<Node>> chain{std::make_shared<Noise>(), reverb, eq, std::make_shared<LimiterNode>(),
                                             engine.mainMixerNode()};
    for (const auto& node : chain) engine.attach(node);
    for (size_t i = 0; i + 1 < chain.size(); ++i) engine.connect(chain[i], chain[i + 1], engine.outputFormat());
    engine.start();
    std::vector<float> left(frames), right(frames);
    for (auto _ : state) {
        engine.renderOffline(frames, left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * frames);
    state.counters["realtime_factor"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * frames / 48000.0, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(HostChain)->Arg(64)->Arg(256)->Arg(1024);
