// A phrase: up to 16 beats of music read from a standard MIDI file into a position-ordered list of event records.
// Notes become a start and an end record on the phrase's channel, controllers one record on their own channel;
// markers are logged; every other kind of event is passed over. The phrase can write its loaded sequence back.
//
// The phrase listens to its sequence only while it reads a file: the sequence does not keep it as its delegate, so
// the two never hold each other.
//
// Threads: one thread at a time, never the render thread. Loading lines go straight to the log sink (standard
// output); saving lines go through safeprint.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "shared/musicsequence/MIDISequence16.h"
#include "shared/phrases/PhraseEvent.h"
#include "shared/songtree/SequenceFoundDelegate.h"

class MIDIPhrase : public SequenceFoundDelegate {
 public:
  // The phrase length limit in beats.
  static constexpr int MAXBEATLENGTH = 16;

  MIDIPhrase() = default;
  ~MIDIPhrase() override = default;
  MIDIPhrase(const MIDIPhrase&) = delete;
  MIDIPhrase& operator=(const MIDIPhrase&) = delete;

  // Reads the MIDI file into the phrase: a fresh sequence, fresh records numbered from 0, sorted by position (stable).
  // A missing file is logged and changes nothing; an unreadable one leaves the phrase empty.
  virtual void loadPhrase(const std::filesystem::path& url);
  // Writes the sequence as it was loaded (not the records) to a MIDI file, replacing an existing file. Without a
  // sequence nothing happens; failures are logged.
  virtual void savePhrase(const std::filesystem::path& url);

  // The sequence's reports while it reads. Notes and controllers beyond 16 beats are dropped; a note repeating one
  // already collected from this file (same own channel, number and start) is logged and dropped.
  void foundNoteEvent(const std::shared_ptr<MidiNoteEvent>& event) override;
  void foundControllerEvent(const std::shared_ptr<MidiControllerEvent>& event) override;
  void foundMetaMarkerEvent(const std::shared_ptr<MetaMarkerEvent>& event) override;
  // The other kinds add nothing.
  void foundPolyPressureEvent(const std::shared_ptr<MidiPolyPressureEvent>&) override {}
  void foundProgramChangeEvent(const std::shared_ptr<MidiProgramChangeEvent>&) override {}
  void foundChannelPressureEvent(const std::shared_ptr<MidiChannelPressureEvent>&) override {}
  void foundPitchBendEvent(const std::shared_ptr<MidiPitchBendEvent>&) override {}
  void foundSysExEvent(const std::shared_ptr<SystemExclusiveEvent>&) override {}
  void foundSystemTimeCodeEvent(const std::shared_ptr<SystemTimeCodeEvent>&) override {}
  void foundSystemSongPositionPointerEvent(const std::shared_ptr<SystemSongPositionPointerEvent>&) override {}
  void foundSystemSongSelectEvent(const std::shared_ptr<SystemSongSelectEvent>&) override {}
  void foundSystemTuneRequestEvent(const std::shared_ptr<SystemTuneRequestEvent>&) override {}
  void foundSystemClockEvent(const std::shared_ptr<SystemClockEvent>&) override {}
  void foundSystemStartEvent(const std::shared_ptr<SystemStartEvent>&) override {}
  void foundSystemContinueEvent(const std::shared_ptr<SystemContinueEvent>&) override {}
  void foundSystemStopEvent(const std::shared_ptr<SystemStopEvent>&) override {}
  void foundSystemActiveSensingEvent(const std::shared_ptr<SystemActiveSensingEvent>&) override {}
  void foundSystemResetEvent(const std::shared_ptr<SystemResetEvent>&) override {}
  void foundTempoEvent(const std::shared_ptr<TempoEvent>&) override {}
  void foundParameterEvent(const std::shared_ptr<AParameterEvent>&) override {}
  void foundAUPresetEvent(const std::shared_ptr<AAUPresetEvent>&) override {}
  void foundMetaEvent(const std::shared_ptr<MetaEvent>&) override {}
  void foundMetaSequenceNumberEvent(const std::shared_ptr<MetaSequenceNumberEvent>&) override {}
  void foundMetaTextEvent(const std::shared_ptr<MetaTextEvent>&) override {}
  void foundMetaCopyrightEvent(const std::shared_ptr<MetaCopyrightEvent>&) override {}
  void foundMetaTrackNameEvent(const std::shared_ptr<MetaTrackNameEvent>&) override {}
  void foundMetaInstrumentNameEvent(const std::shared_ptr<MetaInstrumentNameEvent>&) override {}
  void foundMetaLyricsEvent(const std::shared_ptr<MetaLyricsEvent>&) override {}
  void foundMetaCuePointEvent(const std::shared_ptr<MetaCuePointEvent>&) override {}
  void foundMetaProgramNameEvent(const std::shared_ptr<MetaProgramNameEvent>&) override {}
  void foundMetaDeviceNameEvent(const std::shared_ptr<MetaDeviceNameEvent>&) override {}
  void foundMetaChannelPrefixEvent(const std::shared_ptr<MetaChannelPrefixEvent>&) override {}
  void foundMetaMidiPortEvent(const std::shared_ptr<MetaMidiPortEvent>&) override {}
  void foundMetaEndOfTrackEvent(const std::shared_ptr<MetaEndOfTrackEvent>&) override {}
  void foundMetaSetTempoEvent(const std::shared_ptr<MetaSetTempoEvent>&) override {}
  void foundMetaSMTPOffsetEvent(const std::shared_ptr<MetaSMTPOffsetEvent>&) override {}
  void foundMetaTimeSignatureEvent(const std::shared_ptr<MetaTimeSignatureEvent>&) override {}
  void foundMetaKeySignatureEvent(const std::shared_ptr<MetaKeySignatureEvent>&) override {}
  void foundMetaSequencerSpecificEvent(const std::shared_ptr<MetaSequencerSpecificEvent>&) override {}
  void foundMetaUnknownEvent(const std::shared_ptr<MetaUnknownEvent>&) override {}
  void foundUserEvent(const std::shared_ptr<UserEvent>&) override {}
  void foundExtendedNoteEvent(const std::shared_ptr<AExtendedNoteOnEvent>&) override {}
  void foundUnknownEvent(const std::shared_ptr<UnknownEvent>&) override {}

  // The sequence of the last loaded file.
  std::shared_ptr<MIDISequence16> sequence;
  // The records, ordered by position after a load.
  std::vector<std::shared_ptr<PhraseEvent>> events;
  // The file of the last load that found its file.
  std::optional<std::filesystem::path> currentURL;
  // The loaded sequence's length in whole beats, at most 16.
  int currentLength = 0;
  // The next record number to hand out.
  int currentID = 0;
  // 0 to 15; overrides whatever channel the file gave the notes.
  int channel = 0;
  // The lowest C of the phrase's chords; chord phrases set and use it.
  std::uint8_t baseC = 60;
  // Whether chord positions are rounded to the grid, and the grid's steps per beat; chord phrases use them.
  bool quantizeEvents = true;
  double quantizePrecision = 8.0;

 private:
  // (own channel, number, start) of the notes collected from the file being read.
  std::set<std::tuple<std::uint8_t, std::uint8_t, double>> collectedNotes_;
};
