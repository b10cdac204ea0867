#pragma once
// A player of standard MIDI files on an audio engine: it plays the tracks of a loaded file in song time (the file's
// tempo map scaled by rate) and sends each track's MIDI messages to the track's destination unit through the unit's
// schedule-MIDI block, at the sample time of each message within the engine's render cycle.
//
// The sequencer keeps time with a silent node of its own, attached to the engine and connected to its main mixer.
// A unit that the engine renders before that node in a cycle takes the cycle's messages at its next render (they are
// then late by that one cycle).
//
// Threads: construction, loading, routing and transport belong to the engine's control thread; the position getters
// may be read from any thread. The render side neither allocates, locks nor waits.

#include <any>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/audioengine/Engine.h"
#include "platform/audiounit/AUAudioUnit.h"
#include "platform/musicsequence/MusicSequence.h"

namespace musicsequence {
struct SequencerCore;
}

class AudioSequencer {
 public:
  // One track of the loaded file (the tempo track included).
  struct Track {
    double lengthInBeats = 0.0;    // end of its last event, note ends included
    double lengthInSeconds = 0.0;  // the same through the tempo map
    std::shared_ptr<AUAudioUnit> destinationAudioUnit;
  };

  explicit AudioSequencer(audioengine::Engine& engine);
  ~AudioSequencer();
  AudioSequencer(const AudioSequencer&) = delete;
  AudioSequencer& operator=(const AudioSequencer&) = delete;

  // Loads a standard MIDI file (options as MusicSequenceFileLoad takes them) in place of the loaded one; the
  // transport stops and the position goes to beat 0. A failure keeps the loaded file and returns the status.
  OSStatus load(const std::filesystem::path& file, MusicSequenceLoadFlags options);
  OSStatus load(std::span<const std::uint8_t> data, MusicSequenceLoadFlags options);

  const std::vector<Track>& tracks() const { return tracks_; }
  const Track& tempoTrack() const { return tempoTrack_; }
  // Sends a track's messages to unit (none: the track plays silently). index -1 names the tempo track, which has no
  // messages. False for an index out of range.
  bool setDestination(int trackIndex, std::shared_ptr<AUAudioUnit> unit);

  // Readies playback; nothing to precompute here.
  void prepareToPlay() {}
  // Plays from the current position. kAudioToolboxErr_NoSequence without a loaded file,
  // kAudioToolboxErr_InvalidPlayerState while the engine does not run.
  OSStatus start();
  // Stops at the current position and sends "all notes off" on every channel a routed track uses.
  void stop();
  bool isPlaying() const;

  // Song position; it keeps advancing past the end of the song until stop().
  double currentPositionInBeats() const;
  void setCurrentPositionInBeats(double beats);
  double currentPositionInSeconds() const;
  // Song time per wall time; above 0.
  float rate() const;
  void setRate(float rate);

  // Free for the caller; the sequencer reads nothing from it.
  std::map<std::string, std::any> userInfo;

 private:
  OSStatus install(const MusicSequence& sequence);
  void route();

  audioengine::Engine& engine_;
  std::shared_ptr<musicsequence::SequencerCore> core_;
  std::shared_ptr<audioengine::Node> clock_;
  std::vector<Track> tracks_;
  Track tempoTrack_;
};
