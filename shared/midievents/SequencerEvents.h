// Non-MIDI events, mask 0: the tempo track's tempo marker, the platform track's extended-note, parameter and
// audio-unit-preset events, and anything of unknown type.
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
