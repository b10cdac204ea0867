// One track of the song tree: a PatternNode that may in addition hold patterns. The tree's tempo track is a
// TrackNode with isTempoTrack set and channel 255.
//
// Ownership: a track owns its events and patterns; its sequence reference does not own.
// Threads: as PatternNode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "shared/songtree/PatternNode.h"

class TrackNode : public PatternNode {
 public:
  TrackNode();

  // PatternNode::addEvent plus the event's track back reference; its pattern reference is left alone.
  int64_t addEvent(const std::shared_ptr<EventNode>& event) override;
  // Prints the track's fields, its events and its patterns.
  void dumpout() const override;

  // Empties events and patterns; channel, texts and flags stay.
  virtual void clear();
  // The first pattern with that id; a new PatternNode when none matches (never null).
  virtual std::shared_ptr<PatternNode> getPattern(uint16_t id);
  // The pattern joins this track and its tree: its sequence and track are set, every event already in it names
  // this track. Events numbered outside this tree get fresh identifiers of the tree, so a tree never holds one
  // identifier twice. Returns the pattern's id.
  virtual uint16_t addPattern(const std::shared_ptr<PatternNode>& pattern);
  // Removes the first pattern with that id; false when none.
  virtual bool removePatternId(uint16_t id);
  // Removes the first pattern that is this very object; false when none.
  virtual bool removePattern(const std::shared_ptr<PatternNode>& pattern);
  // Removes the pattern at index; an index beyond the list is logged and ignored.
  virtual void removePatternAtIndex(std::size_t index);
  virtual std::size_t getPatternCount() const { return patterns.size(); }
  virtual std::vector<std::shared_ptr<PatternNode>> patternChildren() const { return patterns; }
  // As getPattern.
  virtual std::shared_ptr<PatternNode> patternChildWithUID(uint16_t id) { return getPattern(id); }
  // The pattern at index; null, with a log line, for an index beyond the list.
  virtual std::shared_ptr<PatternNode> patternChildAtIndex(std::size_t index) const;
  virtual void clearPatterns() { patterns.clear(); }

  // True only for the tree's tempo track.
  bool isTempoTrack = false;
  // In the order of adding.
  std::vector<std::shared_ptr<PatternNode>> patterns;

 protected:
  const char* className() const override { return "TrackNode"; }
};
