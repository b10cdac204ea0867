// The road of a MIDI file to the render-time player: a standard MIDI file of 16 channels with notes, controllers and
// a tempo change every 16 beats is loaded from memory, read into the song tree and converted into sample-timed
// records. Sizes from 12,500 to 100,000 events show how the time grows with the file.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/foundation/Log.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/musicsequence/MIDISequence16.h"

namespace {

constexpr int kChannels = 16;

// A file of `events` events: per channel, a note every quarter beat and a controller with every fourth note.
std::vector<std::uint8_t> songFile(int events) {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  const int perChannel = events / kChannels;
  for (int beat = 0; beat * 4 < perChannel; beat += 16) MusicTrackNewExtendedTempoEvent(tempo, beat, 90.0 + beat % 64);
  for (int channel = 0; channel < kChannels; ++channel) {
    MusicTrack track;
    MusicSequenceNewTrack(sequence, &track);
    for (int n = 0; n < perChannel; ++n) {
      const double beat = n * 0.25;
      if (n % 5 == 4) {
        const MIDIChannelMessage controller{static_cast<std::uint8_t>(0xB0 + channel), 7,
                                            static_cast<std::uint8_t>(n % 128), 0};
        MusicTrackNewMIDIChannelEvent(track, beat, &controller);
      } else {
        const MIDINoteMessage note{static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(36 + n % 48), 100, 0,
                                   0.25f};
        MusicTrackNewMIDINoteEvent(track, beat, &note);
      }
    }
  }
  std::vector<std::uint8_t> file;
  MusicSequenceFileCreateData(sequence, kMusicSequenceFile_MIDIType, 0, 0, &file);
  return file;
}

std::shared_ptr<MIDISequence16> loadedSequence(const std::vector<std::uint8_t>& file) {
  const auto sequence = MIDISequence16::create();
  MusicSequence loaded;
  NewMusicSequence(&loaded);
  MusicSequenceFileLoadData(loaded, file, kMusicSequenceFile_MIDIType, kMusicSequenceLoadSMF_ChannelsToTracks);
  sequence->setMusicSequence(loaded);
  return sequence;
}

// Log lines go to the main queue, which nothing drains here; the sink keeps them off the terminal.
void silenceLog() {
  foundation::setLogSink([](std::string_view) {});
}

void readIntoTree(benchmark::State& state) {
  silenceLog();
  const auto sequence = loadedSequence(songFile(static_cast<int>(state.range(0))));
  for (auto _ : state) sequence->musicSequenceToSequenceNode();
  state.counters["events/s"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(readIntoTree)->RangeMultiplier(2)->Range(12500, 100000)->Unit(benchmark::kMillisecond)->Complexity();

void convertToSampleTimedEvents(benchmark::State& state) {
  silenceLog();
  const auto sequence = loadedSequence(songFile(static_cast<int>(state.range(0))));
  sequence->musicSequenceToSequenceNode();
  for (auto _ : state) {
    auto list = sequence->nodesToAUMIDIEvent(48000.0, 0);
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["events/s"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(convertToSampleTimedEvents)
    ->RangeMultiplier(2)
    ->Range(12500, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
