// The meta event types as an enumeration. Compile-time data; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "shared/midievents/EnumRawValue.h"

// The extended-event cases carry 0xF1 to 0xF3, unlike the META_ constants of the same names (all 0xFF).
enum class METATags : uint8_t {
  META_SEQUENCENUMBER = 0x00,
  META_TEXTf = 0x01,
  META_COPYRIGHT = 0x02,
  META_TRACKNAME = 0x03,
  META_INSTRUMENTNAME = 0x04,
  META_LYRICS = 0x05,
  META_MARKER = 0x06,
  META_CUEPOINT = 0x07,
  META_PROGRAMNAME = 0x08,
  META_DEVICENAME = 0x09,
  META_CHANNELPREFIX = 0x20,
  META_MIDIPORT = 0x21,
  META_EOT = 0x2F,
  META_SETTEMPO = 0x51,
  META_SMTPOFFSET = 0x54,
  META_TIMESIGNATURE = 0x58,
  META_KEYSIGNATURE = 0x59,
  META_SPECIFIC = 0x7F,
  META_SYSEX = 0xF0,
  META_UNKNOWN = 0xFF,
  META_EXTENDEDNOTE = 0xF1,
  META_AUPARAMETER = 0xF2,
  META_AUPRESET = 0xF3,
};

// Every case, in declaration order.
inline constexpr std::array<METATags, 23> allMETATagsCases = {
    METATags::META_SEQUENCENUMBER, METATags::META_TEXTf,         METATags::META_COPYRIGHT,
    METATags::META_TRACKNAME,      METATags::META_INSTRUMENTNAME, METATags::META_LYRICS,
    METATags::META_MARKER,         METATags::META_CUEPOINT,      METATags::META_PROGRAMNAME,
    METATags::META_DEVICENAME,     METATags::META_CHANNELPREFIX, METATags::META_MIDIPORT,
    METATags::META_EOT,            METATags::META_SETTEMPO,      METATags::META_SMTPOFFSET,
    METATags::META_TIMESIGNATURE,  METATags::META_KEYSIGNATURE,  METATags::META_SPECIFIC,
    METATags::META_SYSEX,          METATags::META_UNKNOWN,       METATags::META_EXTENDEDNOTE,
    METATags::META_AUPARAMETER,    METATags::META_AUPRESET,
};

// The case carrying rawValue; none for any other byte.
constexpr std::optional<METATags> metaTagFromRawValue(uint8_t rawValue) {
  return enumFromRawValue(allMETATagsCases, rawValue);
}
