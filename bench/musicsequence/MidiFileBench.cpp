// Standard MIDI file speed: a song of 16 tracks and 100,000 notes saved to memory and loaded back in both modes.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"

namespace {

constexpr int kTracks = 16;
constexpr int kNotesPerTrack = 6250;

MusicSequence makeSong() {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  MusicTrackNewExtendedTempoEvent(tempo, 0.0, 120.0);
  for (int t = 0; t < kTracks; ++t) {
    MusicTrack track;
    MusicSequenceNewTrack(sequence, &track);
    for (int n = 0; n < kNotesPerTrack; ++n) {
      const MIDINoteMessage note{static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(36 + n % 48), 100, 0, 0.25f};
      MusicTrackNewMIDINoteEvent(track, n * 0.25, &note);
    }
  }
  return sequence;
}

std::vector<std::uint8_t> songFile() {
  std::vector<std::uint8_t> file;
  MusicSequenceFileCreateData(makeSong(), kMusicSequenceFile_MIDIType, 0, 0, &file);
  return file;
}

void saveToMemory(benchmark::State& state) {
  const MusicSequence song = makeSong();
  for (auto _ : state) {
    std::vector<std::uint8_t> file;
    MusicSequenceFileCreateData(song, kMusicSequenceFile_MIDIType, 0, 0, &file);
    benchmark::DoNotOptimize(file.data());
  }
  state.SetItemsProcessed(state.iterations() * kTracks * kNotesPerTrack);
}
BENCHMARK(saveToMemory)->Unit(benchmark::kMillisecond);

void loadFromMemory(benchmark::State& state) {
  const std::vector<std::uint8_t> file = songFile();
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  for (auto _ : state) {
    MusicSequenceFileLoadData(sequence, file, kMusicSequenceFile_MIDIType,
                              static_cast<MusicSequenceLoadFlags>(state.range(0)));
  }
  state.SetItemsProcessed(state.iterations() * kTracks * kNotesPerTrack);
}
BENCHMARK(loadFromMemory)
    ->Arg(kMusicSequenceLoadSMF_PreserveTracks)
    ->Arg(kMusicSequenceLoadSMF_ChannelsToTracks)
    ->Unit(benchmark::kMillisecond);

}  // namespace
