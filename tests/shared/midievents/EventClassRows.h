// One row per class of the event family, in the order of the class tree: how to make one and what a fresh one holds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "shared/midievents/MIDIEvents.h"

struct ClassRow {
  EventKind kind;
  std::function<std::shared_ptr<EventNode>()> make;
  uint8_t mask;
  uint8_t channel;
  int metaType;  // -1: not a meta class
  uint32_t initialLength;
};

template <class T>
inline std::function<std::shared_ptr<EventNode>()> maker() {
  return [] { return std::make_shared<T>(); };
}

inline const std::vector<ClassRow>& classRows() {
  static const std::vector<ClassRow> rows = {
      {EventKind::EventNode, maker<EventNode>(), 0x00, 0, -1, 0},
      {EventKind::UnknownEvent, maker<UnknownEvent>(), 0x00, 0, -1, 0},
      {EventKind::TempoEvent, maker<TempoEvent>(), 0x00, 255, -1, 0},
      {EventKind::MidiNoteEvent, maker<MidiNoteEvent>(), 0x90, 0, -1, 0},
      {EventKind::MidiPolyPressureEvent, maker<MidiPolyPressureEvent>(), 0xA0, 0, -1, 0},
      {EventKind::MidiControllerEvent, maker<MidiControllerEvent>(), 0xB0, 0, -1, 0},
      {EventKind::MidiProgramChangeEvent, maker<MidiProgramChangeEvent>(), 0xC0, 0, -1, 0},
      {EventKind::MidiChannelPressureEvent, maker<MidiChannelPressureEvent>(), 0xD0, 0, -1, 0},
      {EventKind::MidiPitchBendEvent, maker<MidiPitchBendEvent>(), 0xE0, 0, -1, 0},
      {EventKind::SystemTimeCodeEvent, maker<SystemTimeCodeEvent>(), 0xF1, 0, -1, 0},
      {EventKind::SystemSongPositionPointerEvent, maker<SystemSongPositionPointerEvent>(), 0xF2, 0, -1, 0},
      {EventKind::SystemSongSelectEvent, maker<SystemSongSelectEvent>(), 0xF3, 0, -1, 0},
      {EventKind::SystemTuneRequestEvent, maker<SystemTuneRequestEvent>(), 0xF6, 0, -1, 0},
      {EventKind::SystemClockEvent, maker<SystemClockEvent>(), 0xF8, 0, -1, 0},
      {EventKind::SystemStartEvent, maker<SystemStartEvent>(), 0xFA, 0, -1, 0},
      {EventKind::SystemContinueEvent, maker<SystemContinueEvent>(), 0xFB, 0, -1, 0},
      {EventKind::SystemStopEvent, maker<SystemStopEvent>(), 0xFC, 0, -1, 0},
      {EventKind::SystemActiveSensingEvent, maker<SystemActiveSensingEvent>(), 0xFE, 0, -1, 0},
      {EventKind::SystemResetEvent, maker<SystemResetEvent>(), 0xFF, 0, -1, 0},
      {EventKind::UserEvent, maker<UserEvent>(), 0xFF, 0, -1, 0},
      {EventKind::SystemExclusiveEvent, maker<SystemExclusiveEvent>(), 0xF0, 0, -1, 0},
      {EventKind::MetaEvent, maker<MetaEvent>(), 0x00, 0, 0x7F, 0},
      {EventKind::MetaSequenceNumberEvent, maker<MetaSequenceNumberEvent>(), 0x00, 0, 0x00, 2},
      {EventKind::MetaTextEvent, maker<MetaTextEvent>(), 0x00, 0, 0x01, 0},
      {EventKind::MetaCopyrightEvent, maker<MetaCopyrightEvent>(), 0x00, 0, 0x02, 0},
      {EventKind::MetaTrackNameEvent, maker<MetaTrackNameEvent>(), 0x00, 0, 0x03, 0},
      {EventKind::MetaInstrumentNameEvent, maker<MetaInstrumentNameEvent>(), 0x00, 0, 0x04, 0},
      {EventKind::MetaLyricsEvent, maker<MetaLyricsEvent>(), 0x00, 0, 0x05, 0},
      {EventKind::MetaMarkerEvent, maker<MetaMarkerEvent>(), 0x00, 0, 0x06, 0},
      {EventKind::MetaCuePointEvent, maker<MetaCuePointEvent>(), 0x00, 0, 0x07, 0},
      {EventKind::MetaProgramNameEvent, maker<MetaProgramNameEvent>(), 0x00, 0, 0x08, 0},
      {EventKind::MetaDeviceNameEvent, maker<MetaDeviceNameEvent>(), 0x00, 0, 0x09, 0},
      {EventKind::MetaChannelPrefixEvent, maker<MetaChannelPrefixEvent>(), 0x00, 0, 0x20, 1},
      {EventKind::MetaMidiPortEvent, maker<MetaMidiPortEvent>(), 0x00, 0, 0x21, 1},
      {EventKind::MetaEndOfTrackEvent, maker<MetaEndOfTrackEvent>(), 0x00, 0, 0x2F, 0},
      {EventKind::MetaSetTempoEvent, maker<MetaSetTempoEvent>(), 0x00, 0, 0x51, 3},
      {EventKind::MetaSMTPOffsetEvent, maker<MetaSMTPOffsetEvent>(), 0x00, 0, 0x54, 5},
      {EventKind::MetaTimeSignatureEvent, maker<MetaTimeSignatureEvent>(), 0x00, 0, 0x58, 4},
      {EventKind::MetaKeySignatureEvent, maker<MetaKeySignatureEvent>(), 0x00, 0, 0x59, 2},
      {EventKind::MetaSequencerSpecificEvent, maker<MetaSequencerSpecificEvent>(), 0x00, 0, 0x7F, 0},
      {EventKind::MetaUnknownEvent, maker<MetaUnknownEvent>(), 0x00, 0, 0xFF, 0},
      {EventKind::AExtendedNoteOnEvent, maker<AExtendedNoteOnEvent>(), 0x00, 0, -1, 0},
      {EventKind::AParameterEvent, maker<AParameterEvent>(), 0x00, 0, -1, 0},
      {EventKind::AAUPresetEvent, maker<AAUPresetEvent>(), 0x00, 0, -1, 0},
  };
  return rows;
}
