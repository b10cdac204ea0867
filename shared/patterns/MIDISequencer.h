#pragma once
// MIDI file playback through the platform's audio sequencer on the caller's audio engine, with all tracks routed to
// one synthesizer unit or one unit per channel. The file goes in either unchanged or via a sixteen-track sequence
// (which notes each channel's programs) re-encoded as standard MIDI file data. Keeps the song length, a
// pause/resume transport, every channel's program and the programs used.
//
// Lines of "the log" go through debugprint; the transport's lines are printed at once (the log sink).
// Threads: one thread (the engine's control thread) uses a player; no locks. The sequencer plays on its own.

#include <any>
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audioengine/Engine.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "platform/musicsequence/AudioSequencer.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "shared/songtree/SequenceFoundDelegate.h"

class MIDISequencer : public SequenceFoundDelegate {
 public:
  MIDISequencer();
  ~MIDISequencer() override;
  MIDISequencer(const MIDISequencer&) = delete;
  MIDISequencer& operator=(const MIDISequencer&) = delete;

  // The resource "test1.mid" when the resources folder holds it; nothing reads it.
  const std::optional<std::filesystem::path> defaultMIDIFile;
  // The sequence of the last loadMIDIFileAndParse().
  std::shared_ptr<MIDISequence16> sequences;

  // Stores the engine; the first engine given gets the sequencer (later ones are stored only).
  void connect(std::shared_ptr<audioengine::Engine> engine);
  // The synthesizer that the one-unit routing sends every track to.
  void connect(std::shared_ptr<AUAudioUnit> unit);

  // Loads the file into the sequencer as it is (one track per MIDI channel); routes and prepares when a unit is
  // connected. Without a sequencer nothing happens.
  void loadMIDIFile(const std::filesystem::path& url);
  // Reads the file into a new sixteen-track sequence (collecting its programs), then loads the sequencer from that
  // sequence's standard MIDI file data.
  void loadMIDIFileAndParse(const std::filesystem::path& url);
  // The sequence as standard MIDI file data at 480 ticks per quarter note; none, with a log line, on failure.
  std::optional<std::vector<std::uint8_t>> sequenceData(const MusicSequence& musicSequence);

  // Every track, the tempo track included, to units[channel of the track as the parsed sequence assigned it]; the
  // tempo track to units[0]. Stops, with an error line, at a track whose channel has no unit. Needs a parsed file.
  void setTrackPorts(const std::vector<std::shared_ptr<AUAudioUnit>>& units);

  // Transport; each false without a sequencer.
  bool isPlaying();
  // From beat 0.
  bool start();
  // Stops and keeps the position for play().
  bool pause();
  // From the position kept by pause().
  bool play();
  // Stops and rewinds; false (and nothing printed) when not playing.
  bool stop();

  // Position in beats, after the end-of-song check: beyond the song's length + 4 seconds (5 seconds without a
  // length) the song is over: stopped and rewound. 0 without a sequencer.
  double getPosition();
  // lengthInSeconds, or 1.0 when not above 0.
  double getLength() const;
  // lengthInBeats, or 1.0 when not above 0.
  double getBeats() const;
  // Position in seconds; 0 without a sequencer.
  double getTime();
  // The sequencer's free dictionary; empty without a sequencer.
  std::map<std::string, std::any> getInfo();
  void setTempo(float factor);
  void setPosition(float value);

  std::vector<std::uint8_t> getMelodicPatches() const { return melodicPatches; }
  std::vector<std::uint8_t> getRhythmicPatches() const { return rhythmicPatches; }
  // 0 outside channels 0 to 15.
  std::uint8_t getPatch(int channel) const;

  // Records the program of the event's channel and, the first time it is seen, in the melodic list.
  void foundProgramChangeEvent(const std::shared_ptr<MidiProgramChangeEvent>& event) override;
  void foundNoteEvent(const std::shared_ptr<MidiNoteEvent>&) override {}
  void foundPolyPressureEvent(const std::shared_ptr<MidiPolyPressureEvent>&) override {}
  void foundControllerEvent(const std::shared_ptr<MidiControllerEvent>&) override {}
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
  void foundMetaMarkerEvent(const std::shared_ptr<MetaMarkerEvent>&) override {}
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

  // Distinct programs in first-use order; a load starts it as [0].
  std::vector<std::uint8_t> melodicPatches;
  // Holds only the 0 a load puts in.
  std::vector<std::uint8_t> rhythmicPatches;
  // The last program seen on each MIDI channel.
  std::array<std::uint8_t, 16> patches{};

 private:
  // Every track to unit.
  void setTrackPorts();
  void resetPatches();
  // Raises the lengths to the track's and logs them.
  void measure(const AudioSequencer::Track& track);

  std::shared_ptr<audioengine::Engine> engine_;
  std::shared_ptr<audioengine::Engine> sequencerEngine_;
  std::shared_ptr<AUAudioUnit> unit_;
  std::unique_ptr<AudioSequencer> sequencer_;
  MusicSequence musicSequence_;
  double lengthInSeconds_ = 0.0;
  double lengthInBeats_ = 0.0;
  std::optional<std::filesystem::path> currentMIDIFile_;
  double currentPosition_ = 0.0;
};
