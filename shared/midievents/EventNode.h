// Base class of all song-tree events. Readers, writers and converters switch on kind() rather than on dynamic type.
//
// Threads: an event is used by one thread at a time (the thread that reads, writes or converts its tree); nothing
// here locks. dumpout() and the typed getters that log go through safeprint: not on the render thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "shared/midievents/EventKind.h"

class TrackNode;
class PatternNode;

class EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::EventNode;

  EventNode() = default;
  virtual ~EventNode() = default;
  EventNode(const EventNode&) = delete;
  EventNode& operator=(const EventNode&) = delete;

  // The class of this object.
  virtual EventKind kind() const { return staticKind; }
  // True when this object's class is the class of ancestor or derives from it.
  bool isKindOf(EventKind ancestor) const { return kindIsA(kind(), ancestor); }
  template <class T>
  bool isA() const {
    return isKindOf(T::staticKind);
  }

  // statusMask + channel: the status byte of a channel message (0x90 + channel for a note). A sum above 0xFF (a
  // channel beyond 15 on a channel message) is logged and clamped to 0xFF; statusByteFits() tells it beforehand.
  uint8_t getStausByte() const;
  bool statusByteFits() const { return statusMask + channel <= 0xFF; }

  // value formatted with "0x%2X": 0x0A gives "0x A".
  static std::string toHex(uint8_t value);

  // "<ClassName: 0x...>" with this object's class and address.
  std::string debugDescription() const;

  // Logs one line per field: two tabs, the label, ": ", the value and ".". Each class adds its lines after its base
  // class's lines.
  virtual void dumpout() const;

  // Back references to the track and pattern that hold the event; they do not own.
  std::weak_ptr<TrackNode> track;
  std::weak_ptr<PatternNode> pattern;
  // -1 until a track or pattern takes the event in.
  int64_t uid = -1;
  // Upper status bits of the class.
  uint8_t statusMask = 0;
  // In quarter notes, counted from song start.
  double position = 0.0;
  // Channel messages: 0-15; tempo marker: 255; anything else: 0.
  uint8_t channel = 0;

 protected:
  static void dumpLine(std::string_view label, std::string_view value);
};

// The event as an object of class T, or null when it is not one (nor of a class derived from T).
template <class T>
std::shared_ptr<T> eventCast(const std::shared_ptr<EventNode>& event) {
  if (!event || !event->isA<T>()) return nullptr;
  return std::static_pointer_cast<T>(event);
}
