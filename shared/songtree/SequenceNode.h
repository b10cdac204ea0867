// The root of the song tree: one tempo track and up to 1000 music tracks. Each tree owns its event identifier
// counter: events added to its tracks and patterns are numbered 1, 2, 3 and onward, whatever other trees exist.
//
// Ownership: parents own children (tempo track, tracks, patterns, events); pointers back up are weak. Trees come from
// create() and live in std::shared_ptr.
// Threads: no locks; one thread at a time uses a tree. Messages and diagnostics print plainly on the calling thread,
// not on the render thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shared/songtree/TrackNode.h"
#include "shared/songtree/TreeDefaults.h"

class SequenceNode : public std::enable_shared_from_this<SequenceNode> {
 public:
  // The limit on tracks (the tempo track not counted).
  static constexpr uint16_t maxTracks = 1000;

  // A tree with its tempo track (channel 255) and one music track on channel 0.
  static std::shared_ptr<SequenceNode> create();
  // A tree with numberOfTracks music tracks, track i on channel i (mod 256). More than 1000 are refused with a
  // message (the tree keeps one track); 0 is taken as 1, with a message.
  static std::shared_ptr<SequenceNode> create(uint16_t numberOfTracks);

  virtual ~SequenceNode() = default;
  SequenceNode(const SequenceNode&) = delete;
  SequenceNode& operator=(const SequenceNode&) = delete;

  // Appends a track on channel 0 while fewer than 1000 exist and returns its id; refuses with a message and
  // returns 0 otherwise.
  virtual uint16_t addTrack();
  // Removes the first track with that id.
  virtual void removeTrack(uint16_t id);
  // The first track with that id, or null.
  virtual std::shared_ptr<TrackNode> getrack(uint16_t id) const;
  // The track at index; an index beyond the last track is clamped to it with a warning; null, with a message, when
  // the tree has no track.
  virtual std::shared_ptr<TrackNode> getTrack(uint16_t index) const;
  virtual std::shared_ptr<TrackNode> getTempoTrack() const { return tempoTrack; }
  virtual uint16_t getTrackCount() const { return static_cast<uint16_t>(tracks.size()); }
  virtual std::vector<std::shared_ptr<TrackNode>> children() const { return tracks; }
  // As getTrack.
  virtual std::shared_ptr<TrackNode> child(uint16_t index) const { return getTrack(index); }
  // Empties the tempo track's events and every track's events and patterns; the tracks stay.
  virtual void clear();
  // Prints the tree.
  virtual void diagnostics() const;

  // The next event identifier of this tree (1 for its first event).
  int64_t takeNextEventUID() { return nextEventUID_++; }

  // "<SequenceNode: 0x...>" with this object's address.
  std::string debugDescription() const;

  // Always tracks.size().
  uint16_t numberOfTracks = 1;
  std::shared_ptr<TrackNode> tempoTrack;
  // In index order.
  std::vector<std::shared_ptr<TrackNode>> tracks;
  std::string text = "Song Beschreibung";
  std::string copyright{kDefaultCopyright};

 protected:
  SequenceNode() = default;

 private:
  // A new track of this tree on channel.
  std::shared_ptr<TrackNode> makeTrack(uint8_t channel);

  int64_t nextEventUID_ = 1;
};
