#pragma once
// The wrapper of one platform music sequence and its song tree: creates, loads, saves and clears the sequence, looks
// its tracks up, reads and writes track properties, and keeps the MIDI channel found in each track read and the
// program last read on each MIDI channel.
//
// Construction is two-phase so that the initialiser reaches overrides of create(numberOfTracks): construct with
// the static create(), which runs init() on the finished object. A subclass with its own initialiser overrides
// init(), calls the base's init() first, and offers its own static create().
//
// Ownership: the wrapper shares its platform sequence (a reference-counted handle). A sequence it made itself goes
// with its last holder; a sequence handed in keeps its content when the wrapper goes. The wrapper owns its song tree
// and holds its delegate strongly.
//
// Threads: no locks and no queues of its own; one thread at a time uses an instance, never the render thread. Log
// lines go through safeprint (printed on the main queue).

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/musicsequence/MusicSequence.h"
#include "shared/songtree/SequenceFoundDelegate.h"
#include "shared/songtree/SequenceNode.h"

class MIDISequence {
 public:
  // The track a reading walk found a MIDI channel in.
  class ChannelAssignment {
   public:
    int index = 0;             // the track index it was made for
    std::uint8_t channel = 0;  // the channel of the last channel event read from that track
  };

  // A sequence with one platform track and a song tree of one track.
  static std::shared_ptr<MIDISequence> create();
  virtual ~MIDISequence() = default;
  MIDISequence(const MIDISequence&) = delete;
  MIDISequence& operator=(const MIDISequence&) = delete;

  // Ticks per quarter note of the model.
  const std::int16_t midiResolution = 480;
  // The track count above which reading warns.
  std::uint16_t maxTracks = 16;
  // Passed to the platform file load.
  MusicSequenceLoadFlags loadFlag = kMusicSequenceLoadSMF_ChannelsToTracks;
  // Told about every event read or written.
  std::shared_ptr<SequenceFoundDelegate> delegate;
  MusicSequence musicSequence;
  std::shared_ptr<SequenceNode> sequenceNode;
  // Beats: the latest event start seen.
  double sequenceLength = 0.0;
  // Beats per minute: the tempo last set.
  double currentTempo = 120.0;

  // A new platform sequence of numberOfTracks tracks and a new song tree of as many (the tree holds at least one).
  // More than 1000 are refused with a log line and nothing changes. The previous sequence is dropped, not emptied.
  virtual void create(std::uint16_t numberOfTracks);
  virtual void deleteTrack(const MusicTrack& track);
  // Removes every event of every music track; the song tree stays; getLength() becomes 0.
  virtual void clear();
  // Removes every event of one track.
  virtual void clear(const MusicTrack& track);
  // The track's index, 0 with a log line when the track is not in the sequence.
  virtual std::uint32_t getTrackIndex(const MusicTrack& track);

  // Track properties. A failed read is logged and gives 0, 0.0 or false.
  virtual double getTrackLength(const MusicTrack& track);
  virtual MusicTrackLoopInfo getTrackLoopInfo(const MusicTrack& track);
  virtual double getTrackOffsetTime(const MusicTrack& track);
  virtual bool getTrackMuteStaus(const MusicTrack& track);
  virtual bool getTrackSoloStatus(const MusicTrack& track);
  virtual bool getTrackAutomatedParameters(const MusicTrack& track);
  virtual std::int16_t getTrackTimeResolution(const MusicTrack& track);
  // A failed write is logged.
  virtual void setTrackLength(const MusicTrack& track, double value);
  // Loop duration to - from (4.0 when negative), played times times.
  virtual void setLoopInfo(const MusicTrack& track, double from, double to, std::int32_t times);
  virtual void setOfssetTime(const MusicTrack& track, double offset);
  virtual void setMuteStatus(const MusicTrack& track, bool value);
  virtual void setSoloStatus(const MusicTrack& track, bool value);
  // These two change nothing.
  virtual void setAutomatedParameters(const MusicTrack& track);
  virtual void setTimeResolution(const MusicTrack& track);

  // Stores the handle; the tree is not rebuilt and the previous sequence is not emptied.
  virtual void setMusicSequence(MusicSequence sequence);
  virtual MusicSequence getMusicSequence();
  virtual std::shared_ptr<SequenceNode> getSequenceNode();
  virtual double getLength();
  // The number of music tracks; -1 without a platform sequence.
  virtual int getNumberOfTracks();
  // The music track at the index; a null track, with a log line, when there is none.
  virtual MusicTrack getTrack(int trackIndex);

  // The channel found in the track read at position channel of the reading order; 0 beyond the list.
  virtual std::uint8_t getChannelAssignment(std::uint8_t channel);
  // The program last read on a MIDI channel; 0 for a channel above 15.
  virtual std::uint8_t getPatchForChannel(std::uint8_t channel);

  // Prints the platform's listing of the sequence.
  virtual void diagnostics();

  // Writes the platform sequence (not the tree) as a standard MIDI file, replacing an existing file.
  virtual void saveToFile(const std::filesystem::path& url);
  // Loads a standard MIDI file into a new platform sequence with loadFlag. The tree, channel assignments, programs
  // and length keep describing the previous content until the tree is rebuilt. A file that cannot be loaded is logged
  // and leaves an empty sixteen-track sequence and tree.
  virtual void loadFromFile(const std::filesystem::path& url);

  // True when no track is given or the track holds no event.
  bool isTrackEmpty(const MusicTrack& track);
  // Diagnostic texts handed in are dropped.
  void diagnose(const std::string& text);
  void nodesToPhraseEvents();

 protected:
  MIDISequence() = default;
  // The initialiser's work after construction: create(1), through the dispatch table.
  virtual void init();

  std::vector<std::shared_ptr<ChannelAssignment>> channelAssignments;
  std::array<std::uint8_t, 16> patches{};

 private:
  // Logs prefix, the status in decimal and text as one line.
  static void logStatus(const char* prefix, OSStatus status, const char* text);
  // Removes every event of a track, logging as clear(track) does.
  void emptyTrack(const MusicTrack& track);
};
