#pragma once
// A music sequence holding a single platform track. Offers range edits within it (clear, cut, move) and across two
// patterns (merge, copy-insert), plus writers that fill the track from a pattern node, a track node or the tree.
// Positions and lengths are beats.
//
// Ranges are checked before every edit: both ends are clamped to 0 ... getLength(), a reversed range is swapped, each
// with a warning, and an empty range is refused with an error; a target time is clamped to 0 ... the target's length.
// So nothing moves before beat 0 (a negative move amount becomes 0).
//
// The pattern has a song tree only after loadFromFile(); the tree writers then write the tree's track 0.
// Made with the static create(). Messages are printed at once on the calling thread (the log sink); file failures go
// through safeprint.
// Threads: no locks; one thread at a time uses an instance, never the render thread.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "shared/musicsequence/MIDISequence.h"

class MIDIPattern : public MIDISequence {
 public:
  using MIDISequence::create;
  static std::shared_ptr<MIDIPattern> create();

  const std::uint16_t trackCount = 1;
  // The one track every operation works on; none when it could not be made.
  std::optional<MusicTrack> musicTrack;

  // A new platform sequence with its one track (the count is not used). No song tree is made.
  void create(std::uint16_t numberOfTracks) override;
  // musicTrack, whatever the index (a null track when there is none).
  MusicTrack getTrack(int trackIndex) override;
  // The track's length property; 0.0 with an error when it cannot be read.
  double getLength() override;

  // Clamps and orders the range as described above; false for an empty range.
  bool check(double& from, double& to);
  // Clamps a target time to 0 ... getLength().
  bool check(double& to);

  void clearRange(double from, double to);
  // Removes the range; later events move back by its length.
  void cut(double from, double to);
  // Moves the events of begin ... end by `to` beats.
  void move(double begin, double end, double to);

  // Copies the other pattern's whole track (or begin ... end of it) into this track at 0 (or `to`).
  void mergeFrom(const std::shared_ptr<MIDIPattern>& other);
  void mergeFrom(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to);
  // Copies this pattern's whole track (or begin ... end of it) into the other's track at 0 (or `to`).
  void mergeTo(const std::shared_ptr<MIDIPattern>& other);
  void mergeTo(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to);
  // As the ranged merges, but the target's events at or after `to` move later by the range's length first.
  void copyFrom(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to);
  void copyTo(const std::shared_ptr<MIDIPattern>& other, double begin, double end, double to);

  // Empties the track, writes the node's events at their own positions, then sets the track's length to
  // bars × beats, its loop (0.0 to bars × beats + 1.0, endless) when the node loops, mute and solo when set, and its
  // offset when not negative. The given track is not used.
  void patternNodeToMusicTrack(const std::shared_ptr<PatternNode>& patternNode, const MusicTrack& musicTrack) override;
  void patternNodeToMusicSequence(const std::shared_ptr<PatternNode>& patternNode) override;
  // Empties the track, writes the node's own events, then every pattern of the node as above without emptying the
  // track again (the track ends with the last pattern's properties). The given track is not used.
  void trackNodeToMusicTrack(const std::shared_ptr<TrackNode>& trackNode, const MusicTrack& musicTrack) override;
  void trackNodeToMusicSequence(const std::shared_ptr<TrackNode>& trackNode) override;
  // Writes the song tree's track 0; without a tree, prints an error and leaves the track as it is.
  void sequenceNodeToMusicSequence() override;
  // Writes the song tree's track 0 into the track (without a tree the track is saved as it stands), then the
  // sequence as a standard MIDI file; an existing file is replaced.
  void saveToFile(const std::filesystem::path& url) override;
  // Loads the file into a new platform sequence (one track per file track) whose first track becomes musicTrack (a
  // new one when the file has none), and builds the song tree from it.
  void loadFromFile(const std::filesystem::path& url) override;
  // Changes nothing.
  void setChannel(std::uint8_t channel);

 protected:
  MIDIPattern() = default;
  void init() override;

 private:
  // Writes the node's events and properties into musicTrack without emptying it.
  void writePattern(const PatternNode& patternNode);
  // Prints the missing sequence or track; false then.
  bool hasTarget();
};
