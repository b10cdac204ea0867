// The application's whole chain with the built instrument module: one block of 512 frames rendered through the
// instrument (sixteen channels holding a four-note chord each), reverb, equaliser, limiter and main mixer.

#include <benchmark/benchmark.h>

#include <vector>

#include "Orvo_Tunedeck/engine/AudioEngine.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"

namespace {

void BM_HostChainBlock(benchmark::State& state) {
    foundation::setLogSink([](std::string_view) {});
    AudioComponentRegistry::shared().addSearchFolder(TUNEDECK_AUDIO_MODULES_DIR);
    auto player = AudioEngine::create(std::make_unique<audioengine::ManualRenderingOutput>(48000.0));
    dispatch::MainQueue::shared().drain();
    if (!player->engine->isRunning()) {
        state.SkipWithError("the instrument module could not be loaded");
        return;
    }
    for (uint8_t channel = 0; channel < 16; ++channel)
        for (const uint8_t note : {48, 55, 60, 64})
            player->sendMIDI(static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(note + channel % 3), 100);
    constexpr uint32_t kFrames = 512;
    std::vector<float> left(kFrames), right(kFrames);
    for (auto _ : state) {
        player->engine->renderOffline(kFrames, left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
        state.PauseTiming();
        dispatch::MainQueue::shared().drain();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    player.reset();
    dispatch::MainQueue::shared().drain();
}
BENCHMARK(BM_HostChainBlock)->Unit(benchmark::kMicrosecond);

}  // namespace
