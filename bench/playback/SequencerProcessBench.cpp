#include <cstdint>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/playback/AUMIDISequencer.h"

namespace {

// A looping song of notes on sixteen channels, dense events per beat; one 512-frame render cycle per iteration.
void processCycle(benchmark::State& state) {
    foundation::LogCapture capture;
    const auto eventsPerBeat = static_cast<int>(state.range(0));
    auto player = AUMIDISequencer::create();
    player->setLooping(true);
    player->load(
        [eventsPerBeat](double samplerate) {
            AUMIDISequencer::Events events;
            for (int i = 0; i < 64 * eventsPerBeat; ++i) {
                const double beats = static_cast<double>(i) / eventsPerBeat;
                const auto channel = static_cast<std::uint8_t>(i % 16);
                const std::vector<std::uint8_t> bytes{static_cast<std::uint8_t>((i % 2 == 0 ? 0x90 : 0x80) + channel),
                                                      static_cast<std::uint8_t>(36 + (i / 2) % 48), 100};
                auto event = std::make_shared<AUMIDIEventEx>(8, bytes, 3,
                                                             static_cast<AUEventSampleTime>(beats * samplerate * 0.5));
                event->beats = beats;
                events.push_back(event);
            }
            return events;
        },
        std::nullopt, true);
    player->start(0);
    AUEventSampleTime now = 512;
    std::size_t events = 0;
    for (auto _ : state) {
        for (const AURenderEvent* entry = player->process(now, 512); entry != nullptr; entry = entry->head.next) {
            ++events;
        }
        now += 512;
        if (now % (512 * 4096) == 0) {
            state.PauseTiming();
            dispatch::MainQueue::shared().drain();
            state.ResumeTiming();
        }
    }
    state.counters["events/cycle"] = benchmark::Counter(static_cast<double>(events) / state.iterations());
    dispatch::MainQueue::shared().drain();
}
BENCHMARK(processCycle)->Arg(4)->Arg(64)->Arg(512);

}  // namespace
