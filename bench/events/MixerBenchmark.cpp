#include <cstdint>

#include <benchmark/benchmark.h>

#include "shared/events/AUMIDIEventListMixer.h"
#include "shared/events/RenderEventBuffer.h"

namespace {

// A list of count note messages over 16 channels, sample times falling so that the mixer has to sort them.
const AURenderEvent* noteList(RenderEventBuffer& storage, int count, std::uint8_t status) {
    for (int i = 0; i < count; ++i) {
        AUMIDIEvent event{nullptr, 0, AURenderEventMIDI, 0, 3, 0,
                          {static_cast<std::uint8_t>(status | (i % 16)), static_cast<std::uint8_t>(i % 128), 100}};
        storage.append(event, count - i);
    }
    return storage.finishList(false);
}

void mixTwoLists(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    RenderEventBuffer hostStorage(1 << 20);
    RenderEventBuffer fileStorage(1 << 20);
    const AURenderEvent* host = noteList(hostStorage, count, 0x90);
    const AURenderEvent* file = noteList(fileStorage, count, 0x80);
    AUMIDIEventListMixer mixer(1 << 20);
    mixer.mute(5);
    for (auto _ : state) {
        benchmark::DoNotOptimize(mixer.mixEvents(host, file, 0, 0, false));
    }
    state.SetItemsProcessed(state.iterations() * 2 * count);
}
BENCHMARK(mixTwoLists)->Arg(8)->Arg(64)->Arg(512);

}  // namespace
