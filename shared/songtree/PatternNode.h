// MIDI event objects in the order they were added, plus the pattern's channel, start in beats, length (bars of so
// many beats), loop/mute/solo switches and texts. TrackNode builds on it; the pattern sequences use patterns on
// their own or inside tracks.
//
// Ownership: a pattern owns its events; its sequence and track references and the events' back references to it do
// not own. Patterns live in std::shared_ptr (back references are taken from it).
// Threads: no locks; one thread at a time uses a tree (while a file is read or written, or events are converted).
// Diagnostics print plainly on the calling thread, not on the render thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/musicsequence/MusicSequence.h"
#include "shared/midievents/EventKind.h"
#include "shared/midievents/EventNode.h"
#include "shared/songtree/TreeDefaults.h"

class SequenceNode;
class TrackNode;

class PatternNode : public std::enable_shared_from_this<PatternNode> {
 public:
  PatternNode() = default;
  virtual ~PatternNode() = default;
  PatternNode(const PatternNode&) = delete;
  PatternNode& operator=(const PatternNode&) = delete;

  // The first event with that uid; a new plain EventNode when none matches (never null).
  virtual std::shared_ptr<EventNode> getEvent(int64_t uid);
  // Gives the event the next identifier of the tree the pattern belongs to (of a module-wide counter while the
  // pattern belongs to none), sets its pattern to this node and appends it. Returns the identifier given.
  virtual int64_t addEvent(const std::shared_ptr<EventNode>& event);
  // Removes the earliest-added event carrying uid; false if no event carries it.
  virtual bool removeEventUid(int64_t uid);
  // Removes the first event that is this very object; false when none.
  virtual bool removeEvent(const std::shared_ptr<EventNode>& event);
  // Removes the event at index; an index beyond the list is logged and ignored.
  virtual void removeEventAtIndex(std::size_t index);
  virtual std::size_t getEventCount() const { return events.size(); }
  virtual bool isEmpty() const { return events.empty(); }
  // Every event whose class is type or derives from it, in list order. begin and end (beats) do not restrict the
  // result.
  virtual std::vector<std::shared_ptr<EventNode>> getElementsOfClass(EventKind type, double begin, double end) const;
  virtual std::vector<std::shared_ptr<EventNode>> eventChildren() const { return events; }
  // As getEvent.
  virtual std::shared_ptr<EventNode> eventChildWithUID(int64_t uid) { return getEvent(uid); }
  // The event at index; null, with a log line, for an index beyond the list.
  virtual std::shared_ptr<EventNode> eventChildAtIndex(std::size_t index) const;
  virtual void clearEvents() { events.clear(); }
  // Prints the fields, then each event with its own listing (which goes through safeprint, so it arrives later).
  virtual void dumpout() const;

  // "<PatternNode: 0x...>" (or the subclass's name) with this object's address.
  std::string debugDescription() const;

  // Identifier used by the look-ups by id; nothing in the tree assigns it.
  uint16_t id = 0;
  // The tree and the track the pattern belongs to.
  std::weak_ptr<SequenceNode> sequence;
  std::weak_ptr<TrackNode> track;
  // MIDI channel; 255 on the tempo track.
  uint8_t channel = 0;
  // In the order of adding.
  std::vector<std::shared_ptr<EventNode>> events;
  // Start position in beats.
  double offset = 0.0;
  uint8_t bars = 1;
  uint8_t beats = 4;
  bool loop = false;
  bool mute = false;
  bool solo = false;
  std::string text = "Pattern Beschreibung";
  std::string copyright{kDefaultCopyright};
  std::string name = "Pattern Name";
  std::string deviceName = "Geraete Name";
  std::string instrumentName = "Instrument Name";
  std::string programName = "Programm Name";
  std::string lyrics = "Songtext";
  std::string marker = "Marker";
  std::string cue = "Abspielmarke";
  // The platform track a pattern sequence last wrote this pattern into; none before the first write and after the
  // sequence cleared or replaced that track. The handle does not keep the track alive.
  std::optional<MusicTrack> link;

 protected:
  // Gives event the next identifier of the tree this node belongs to (of the module-wide counter without a tree),
  // appends it and returns the identifier.
  int64_t appendEvent(const std::shared_ptr<EventNode>& event);
  // The class name the diagnostics print.
  virtual const char* className() const { return "PatternNode"; }
  // Prints "\n\tDie Anzahl der Events ist N.", "\tEvents:" and each event.
  void dumpEvents() const;
};
