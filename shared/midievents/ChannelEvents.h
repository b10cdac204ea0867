// Channel-message events: one class per channel message kind. The status byte is statusMask + channel.
// There is no note-off class: a note is one MidiNoteEvent with a duration.
// Threads: as EventNode.
#pragma once

#include <cstdint>

#include "shared/midievents/EventNode.h"
#include "shared/midievents/MetaValues.h"

class MidiNoteEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::MidiNoteEvent;
  MidiNoteEvent() { statusMask = 0x90; }
  EventKind kind() const override { return staticKind; }
  // Adds duration, number, velocity and releaseVelocity.
  void dumpout() const override;

  // Beats.
  float duration = 0.0f;
  uint8_t number = 0;
  uint8_t velocity = 0;
  uint8_t releaseVelocity = 0;
};

class MidiPolyPressureEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::MidiPolyPressureEvent;
  MidiPolyPressureEvent() { statusMask = 0xA0; }
  EventKind kind() const override { return staticKind; }

  uint8_t number = 0;
  uint8_t value = 0;
};

class MidiControllerEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::MidiControllerEvent;
  MidiControllerEvent() { statusMask = 0xB0; }
  EventKind kind() const override { return staticKind; }

  uint8_t number = 0;
  uint8_t value = 0;
};

class MidiProgramChangeEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::MidiProgramChangeEvent;
  MidiProgramChangeEvent() { statusMask = 0xC0; }
  EventKind kind() const override { return staticKind; }

  uint8_t value = 0;
};

class MidiChannelPressureEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::MidiChannelPressureEvent;
  MidiChannelPressureEvent() { statusMask = 0xD0; }
  EventKind kind() const override { return staticKind; }

  uint8_t value = 0;
};

class MidiPitchBendEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::MidiPitchBendEvent;
  MidiPitchBendEvent() { statusMask = 0xE0; }
  EventKind kind() const override { return staticKind; }

  // The event's own value, all fields 0 at creation.
  PitchBend bend;
};
