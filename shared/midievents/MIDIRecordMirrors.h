// Raw data, user event, meta event and MIDI packet records with a fixed 1024-byte payload area. Their heads match the
// platform's open-ended records byte for byte, so a pointer converts either way and a platform record copies in.
// Native byte order throughout. New records are zeroed apart from ptr, which points at the record's own payload; so
// does a copy's (never at the source's).
//
// Plain values without locks or allocation; any thread, the render thread included.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr std::size_t kMIDIRecordPayloadBytes = 1024;

struct MIDIRawDataExtension {
  std::array<uint8_t, kMIDIRecordPayloadBytes> bytes{};
};

// The raw MIDI data record (and, with the same layout, the user event record): length, payload.
struct MIDIRawDataEx {
  MIDIRawDataEx() noexcept : ptr(data.bytes.data()) {}
  MIDIRawDataEx(const MIDIRawDataEx& other) noexcept : length(other.length), data(other.data), ptr(data.bytes.data()) {}
  MIDIRawDataEx& operator=(const MIDIRawDataEx& other) noexcept {
    length = other.length;
    data = other.data;
    return *this;
  }

  // The payload bytes in use: the first length bytes, at most 1024.
  std::span<const uint8_t> payload() const noexcept {
    return {data.bytes.data(), std::min<std::size_t>(length, kMIDIRecordPayloadBytes)};
  }

  // Number of payload bytes in use.
  uint32_t length = 0;
  MIDIRawDataExtension data;
  uint32_t alignment = 0;
  // This record's payload; read-only.
  uint8_t* const ptr;
};

using MusicEventUserDataEx = MIDIRawDataEx;

// The meta event record: type, three unused bytes, payload length, payload.
struct MIDIMetaEventEx {
  MIDIMetaEventEx() noexcept : ptr(data.bytes.data()) {}
  MIDIMetaEventEx(const MIDIMetaEventEx& other) noexcept
      : metaEventType(other.metaEventType),
        unused1(other.unused1),
        unused2(other.unused2),
        unused3(other.unused3),
        dataLength(other.dataLength),
        data(other.data),
        ptr(data.bytes.data()) {}
  MIDIMetaEventEx& operator=(const MIDIMetaEventEx& other) noexcept {
    metaEventType = other.metaEventType;
    unused1 = other.unused1;
    unused2 = other.unused2;
    unused3 = other.unused3;
    dataLength = other.dataLength;
    data = other.data;
    return *this;
  }

  // The payload bytes in use: the first dataLength bytes, at most 1024.
  std::span<const uint8_t> payload() const noexcept {
    return {data.bytes.data(), std::min<std::size_t>(dataLength, kMIDIRecordPayloadBytes)};
  }

  uint8_t metaEventType = 0;
  uint8_t unused1 = 0;
  uint8_t unused2 = 0;
  uint8_t unused3 = 0;
  // Number of payload bytes in use.
  uint32_t dataLength = 0;
  MIDIRawDataExtension data;
  // This record's payload; read-only.
  uint8_t* const ptr;
};

// The head of the platform's MIDI packet: time stamp, length, the first four data bytes.
struct MIDIPacketEx {
  MIDIPacketEx() noexcept = default;
  MIDIPacketEx(uint64_t timeStamp, uint16_t length, std::array<uint8_t, 4> data) noexcept
      : timeStamp(timeStamp), length(length), data(data) {}

  // The platform's host time stamp.
  uint64_t timeStamp = 0;
  // Number of data bytes in use.
  uint16_t length = 0;
  std::array<uint8_t, 4> data{};
};

static_assert(sizeof(MIDIRawDataExtension) == 1024);
static_assert(sizeof(MIDIRawDataEx) == 1040);
static_assert(offsetof(MIDIRawDataEx, length) == 0);
static_assert(offsetof(MIDIRawDataEx, data) == 4);
static_assert(offsetof(MIDIRawDataEx, ptr) == 1032);
static_assert(sizeof(MIDIMetaEventEx) == 1040);
static_assert(offsetof(MIDIMetaEventEx, metaEventType) == 0);
static_assert(offsetof(MIDIMetaEventEx, dataLength) == 4);
static_assert(offsetof(MIDIMetaEventEx, data) == 8);
static_assert(offsetof(MIDIMetaEventEx, ptr) == 1032);
static_assert(offsetof(MIDIPacketEx, timeStamp) == 0);
static_assert(offsetof(MIDIPacketEx, length) == 8);
static_assert(offsetof(MIDIPacketEx, data) == 10);
static_assert(sizeof(MIDIPacketEx) == 16);
