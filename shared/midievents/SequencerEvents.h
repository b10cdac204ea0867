// Events that are no MIDI message: the tempo marker of the tempo track, the platform music track's extended events
// (extended note, parameter, audio-unit preset) and events of an unknown type. Their mask is 0.
// Threads: as EventNode.
#pragma once

#include "shared/midievents/EventNode.h"

class UnknownEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::UnknownEvent;
  EventKind kind() const override { return staticKind; }
};

// The tempo track's tempo marker: channel 255, so its status byte is 0xFF.
class TempoEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::TempoEvent;
  TempoEvent() { channel = 255; }
  EventKind kind() const override { return staticKind; }
  // Adds value.
  void dumpout() const override;

  // Beats per minute.
  double value = 120.0;
};

class AExtendedNoteOnEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::AExtendedNoteOnEvent;
  EventKind kind() const override { return staticKind; }
};

class AParameterEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::AParameterEvent;
  EventKind kind() const override { return staticKind; }
};

class AAUPresetEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::AAUPresetEvent;
  EventKind kind() const override { return staticKind; }
};
