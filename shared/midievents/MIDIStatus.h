// The MIDI status bytes as an enumeration. Compile-time data; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "shared/midievents/EnumRawValue.h"

// _0x4F and _0x5F carry 0xF4 and 0xF5: the names are kept as the interface spells them.
enum class MIDIStatus : uint8_t {
  NoteOff = 0x80,
  NoteOn = 0x90,
  PolyPressure = 0xA0,
  ControlChange = 0xB0,
  ProgramChange = 0xC0,
  ChannelPressure = 0xD0,
  PitchBend = 0xE0,
  SysEx = 0xF0,
  MidiTimeCode = 0xF1,
  SongPosition = 0xF2,
  SongSelect = 0xF3,
  _0x4F = 0xF4,
  _0x5F = 0xF5,
  TuneRequest = 0xF6,
  EOX = 0xF7,
  Sync = 0xF8,
  _0xF9 = 0xF9,
  Start = 0xFA,
  Continue = 0xFB,
  Stop = 0xFC,
  _0xFD = 0xFD,
  ActiveSensing = 0xFE,
  SystemReset = 0xFF,
};

// Every case, in declaration order.
inline constexpr std::array<MIDIStatus, 23> allMIDIStatusCases = {
    MIDIStatus::NoteOff,      MIDIStatus::NoteOn,       MIDIStatus::PolyPressure,  MIDIStatus::ControlChange,
    MIDIStatus::ProgramChange, MIDIStatus::ChannelPressure, MIDIStatus::PitchBend, MIDIStatus::SysEx,
    MIDIStatus::MidiTimeCode, MIDIStatus::SongPosition, MIDIStatus::SongSelect,    MIDIStatus::_0x4F,
    MIDIStatus::_0x5F,        MIDIStatus::TuneRequest,  MIDIStatus::EOX,           MIDIStatus::Sync,
    MIDIStatus::_0xF9,        MIDIStatus::Start,        MIDIStatus::Continue,      MIDIStatus::Stop,
    MIDIStatus::_0xFD,        MIDIStatus::ActiveSensing, MIDIStatus::SystemReset,
};

// The case carrying rawValue; none for a byte that is not one of the 23 cases (0x81 gives none).
constexpr std::optional<MIDIStatus> midiStatusFromRawValue(uint8_t rawValue) {
  return enumFromRawValue(allMIDIStatusCases, rawValue);
}

// "0x" and the raw value as two upper-case hexadecimal digits: NoteOn gives "0x90".
inline std::string getHex(MIDIStatus number) { return hexOfRawValue(static_cast<uint8_t>(number)); }
