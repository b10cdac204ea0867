// System-message events: one class per system common and real-time message. channel stays 0, so the status byte
// is the class's mask. System exclusive data is SystemExclusiveEvent (UserEvents.h).
// Threads: as EventNode.
#pragma once

#include <cstdint>

#include "shared/midievents/EventNode.h"

class SystemTimeCodeEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemTimeCodeEvent;
  SystemTimeCodeEvent() { statusMask = 0xF1; }
  EventKind kind() const override { return staticKind; }

  uint8_t value = 0;
};

class SystemSongPositionPointerEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemSongPositionPointerEvent;
  SystemSongPositionPointerEvent() { statusMask = 0xF2; }
  EventKind kind() const override { return staticKind; }

  uint8_t msb = 0;
  uint8_t lsb = 0;
};

class SystemSongSelectEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemSongSelectEvent;
  SystemSongSelectEvent() { statusMask = 0xF3; }
  EventKind kind() const override { return staticKind; }

  uint8_t value = 0;
};

class SystemTuneRequestEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemTuneRequestEvent;
  SystemTuneRequestEvent() { statusMask = 0xF6; }
  EventKind kind() const override { return staticKind; }
};

class SystemClockEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemClockEvent;
  SystemClockEvent() { statusMask = 0xF8; }
  EventKind kind() const override { return staticKind; }
};

class SystemStartEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemStartEvent;
  SystemStartEvent() { statusMask = 0xFA; }
  EventKind kind() const override { return staticKind; }
};

class SystemContinueEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemContinueEvent;
  SystemContinueEvent() { statusMask = 0xFB; }
  EventKind kind() const override { return staticKind; }
};

class SystemStopEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemStopEvent;
  SystemStopEvent() { statusMask = 0xFC; }
  EventKind kind() const override { return staticKind; }
};

class SystemActiveSensingEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemActiveSensingEvent;
  SystemActiveSensingEvent() { statusMask = 0xFE; }
  EventKind kind() const override { return staticKind; }
};

class SystemResetEvent : public EventNode {
 public:
  static constexpr EventKind staticKind = EventKind::SystemResetEvent;
  SystemResetEvent() { statusMask = 0xFF; }
  EventKind kind() const override { return staticKind; }
};
