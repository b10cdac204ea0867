// The class of an event object as a value: the dispatch key of readers, writers and converters.
// Compile-time data; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// One kind per class of the event family, in the order of the class tree: the base, the tempo marker, the channel
// messages, the system messages, user and system-exclusive data, the meta events, the extended events.
enum class EventKind : uint8_t {
  EventNode,
  UnknownEvent,
  TempoEvent,
  MidiNoteEvent,
  MidiPolyPressureEvent,
  MidiControllerEvent,
  MidiProgramChangeEvent,
  MidiChannelPressureEvent,
  MidiPitchBendEvent,
  SystemTimeCodeEvent,
  SystemSongPositionPointerEvent,
  SystemSongSelectEvent,
  SystemTuneRequestEvent,
  SystemClockEvent,
  SystemStartEvent,
  SystemContinueEvent,
  SystemStopEvent,
  SystemActiveSensingEvent,
  SystemResetEvent,
  UserEvent,
  SystemExclusiveEvent,
  MetaEvent,
  MetaSequenceNumberEvent,
  MetaTextEvent,
  MetaCopyrightEvent,
  MetaTrackNameEvent,
  MetaInstrumentNameEvent,
  MetaLyricsEvent,
  MetaMarkerEvent,
  MetaCuePointEvent,
  MetaProgramNameEvent,
  MetaDeviceNameEvent,
  MetaChannelPrefixEvent,
  MetaMidiPortEvent,
  MetaEndOfTrackEvent,
  MetaSetTempoEvent,
  MetaSMTPOffsetEvent,
  MetaTimeSignatureEvent,
  MetaKeySignatureEvent,
  MetaSequencerSpecificEvent,
  MetaUnknownEvent,
  AExtendedNoteOnEvent,
  AParameterEvent,
  AAUPresetEvent,
};

inline constexpr int eventKindCount = static_cast<int>(EventKind::AAUPresetEvent) + 1;

// The class name of each kind, indexed by the kind's value.
inline constexpr std::array<std::string_view, eventKindCount> eventKindNames = {
    "EventNode", "UnknownEvent", "TempoEvent", "MidiNoteEvent", "MidiPolyPressureEvent", "MidiControllerEvent",
    "MidiProgramChangeEvent", "MidiChannelPressureEvent", "MidiPitchBendEvent", "SystemTimeCodeEvent",
    "SystemSongPositionPointerEvent", "SystemSongSelectEvent", "SystemTuneRequestEvent", "SystemClockEvent",
    "SystemStartEvent", "SystemContinueEvent", "SystemStopEvent", "SystemActiveSensingEvent", "SystemResetEvent",
    "UserEvent", "SystemExclusiveEvent", "MetaEvent", "MetaSequenceNumberEvent", "MetaTextEvent",
    "MetaCopyrightEvent", "MetaTrackNameEvent", "MetaInstrumentNameEvent", "MetaLyricsEvent", "MetaMarkerEvent",
    "MetaCuePointEvent", "MetaProgramNameEvent", "MetaDeviceNameEvent", "MetaChannelPrefixEvent", "MetaMidiPortEvent",
    "MetaEndOfTrackEvent", "MetaSetTempoEvent", "MetaSMTPOffsetEvent", "MetaTimeSignatureEvent",
    "MetaKeySignatureEvent", "MetaSequencerSpecificEvent", "MetaUnknownEvent", "AExtendedNoteOnEvent",
    "AParameterEvent", "AAUPresetEvent",
};

constexpr std::string_view eventKindName(EventKind kind) { return eventKindNames[static_cast<int>(kind)]; }

// The kind of the base class; the base of EventNode is EventNode itself.
constexpr EventKind baseKindOf(EventKind kind) {
  if (kind == EventKind::SystemExclusiveEvent || kind == EventKind::MetaEvent) return EventKind::UserEvent;
  if (kind > EventKind::MetaEvent && kind <= EventKind::MetaUnknownEvent) return EventKind::MetaEvent;
  return EventKind::EventNode;
}

// True when a class of kind is the class of ancestor or derives from it: every meta kind is a MetaEvent and a
// UserEvent, a SystemExclusiveEvent is a UserEvent, every kind is an EventNode.
constexpr bool kindIsA(EventKind kind, EventKind ancestor) {
  for (;;) {
    if (kind == ancestor) return true;
    if (kind == EventKind::EventNode) return false;
    kind = baseKindOf(kind);
  }
}
