// Writing songs: a song tree of 16 channels with notes and controllers written back into its music sequence, and a
// live recording of as many events turned into a sequence by the recorder. Sizes from 12,500 to 100,000 events show
// how the time grows with the song.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "shared/recorder/MIDIRecorder.h"

namespace {

constexpr int kChannels = 16;

// Log lines and reports wait on the main queue; they are drained outside the timed part, into a silent sink.
void drainQuietly(benchmark::State& state) {
  state.PauseTiming();
  dispatch::MainQueue::shared().drain();
  state.ResumeTiming();
}

void writeTreeBack(benchmark::State& state) {
  foundation::setLogSink([](std::string_view) {});
  const auto sequence = MIDISequence16::create();
  const int perChannel = static_cast<int>(state.range(0)) / kChannels;
  for (int channel = 0; channel < kChannels; ++channel) {
    for (int n = 0; n < perChannel; ++n) {
      const auto ch = static_cast<std::uint8_t>(channel);
      if (n % 5 == 4) {
        sequence->createControllerEvent(n * 0.25, ch, 7, static_cast<std::uint8_t>(n % 128));
      } else {
        sequence->createNoteEvent(n * 0.25, ch, static_cast<std::uint8_t>(36 + n % 48), 100, 0, 0.25f);
      }
    }
  }
  dispatch::MainQueue::shared().drain();
  for (auto _ : state) {
    sequence->sequenceNodeToMusicSequence();
    drainQuietly(state);
  }
  state.counters["events/s"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(writeTreeBack)->RangeMultiplier(2)->Range(12500, 100000)->Unit(benchmark::kMillisecond)->Complexity();

void recordLiveEvents(benchmark::State& state) {
  foundation::setLogSink([](std::string_view) {});
  std::vector<std::shared_ptr<AUMIDIEventEx>> played;
  const int notes = static_cast<int>(state.range(0)) / 2;
  for (int n = 0; n < notes; ++n) {
    const auto on = static_cast<std::uint8_t>(0x90 | n % kChannels);
    const auto off = static_cast<std::uint8_t>(0x80 | n % kChannels);
    const auto key = static_cast<std::uint8_t>(36 + n % 48);
    const AUEventSampleTime start = n * 1200;
    played.push_back(std::make_shared<AUMIDIEventEx>(8, std::vector<std::uint8_t>{on, key, 100}, 3, start));
    played.push_back(std::make_shared<AUMIDIEventEx>(8, std::vector<std::uint8_t>{off, key, 0}, 3, start + 9000));
  }
  for (auto _ : state) {
    const auto recorder = MIDIRecorder::create();
    recorder->setRecorderTempo(120.0);
    recorder->start();
    recorder->addAUMIDIEvents(played);
    recorder->stop();
    benchmark::DoNotOptimize(recorder.get());
    drainQuietly(state);
  }
  state.counters["events/s"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(recordLiveEvents)->RangeMultiplier(2)->Range(12500, 100000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
