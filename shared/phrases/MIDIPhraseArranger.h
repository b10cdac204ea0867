// Arranges up to 16 beats from six phrases. The chord track leads; on each mix the pad, sequence, lead and bass
// phrases are re-harmonised to its chords, while drums pass as they are. The result, sorted by position, is saved as
// a sixteen-track MIDI file or returned as render events at 24000 samples per beat (120 BPM at 48 kHz).
//
// Threads: one at a time and not the render thread, since mixing allocates and logs. The render events it returns
// are plain values, ready for a render call.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/audiounit/RenderEvent.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "shared/phrases/MIDIChordPhrase.h"
#include "shared/phrases/MIDIPhrase.h"

class MIDIPhraseArranger {
 public:
  static constexpr double samplesPerBeat = 24000.0;

  // The six phrases: chord track on channel 0 as the master, pad 13, sequence 12, lead 11, bass 10, and drums on 9
  // with unquantised positions.
  MIDIPhraseArranger();
  MIDIPhraseArranger(const MIDIPhraseArranger&) = delete;
  MIDIPhraseArranger& operator=(const MIDIPhraseArranger&) = delete;

  // Intentionally empty; load each track with its own loadPhrase, chord track first.
  void loadTrack(int track, const std::filesystem::path& url);
  // Mixes and writes the arrangement as a MIDI file, one track per MIDI channel, replacing an existing file. Notes
  // are written whole with their durations. Write failures are logged (through safeprint).
  void save(const std::filesystem::path& url);
  // Mixes and returns the arrangement as MIDI render events (type MIDI, cable 0, no next event), sorted by sample
  // time, equal times in merged order. Every note start is followed by its release, a note-on of velocity 0 at its
  // end (start plus duration, at most beat 16); releases come ahead of the other events of their sample time, except
  // that of a note ending where it starts. Program changes and channel pressures are two bytes long, the others
  // three. Records on a channel above 15 are passed over.
  std::vector<AUMIDIEvent> phraseEventsToAUMIDIEvents();

  std::shared_ptr<MIDIChordPhrase> chordTrack;
  std::shared_ptr<MIDIChordPhrase> padTrack;
  std::shared_ptr<MIDIChordPhrase> sequenceTrack;
  std::shared_ptr<MIDIChordPhrase> leadTrack;
  std::shared_ptr<MIDIChordPhrase> bassTrack;
  std::shared_ptr<MIDIPhrase> drumTrack;

 private:
  // Merges the chord track's notes, the four re-harmonised tracks' notes and the drum records, sorted by position.
  void mixChannels();

  // The sequence the last save built.
  std::shared_ptr<MIDISequence16> sequence;
  // The merged records of the last mix.
  std::vector<std::shared_ptr<PhraseEvent>> events;
};
