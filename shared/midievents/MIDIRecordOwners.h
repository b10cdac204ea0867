// Objects that each hold one record mirror and two read-only views of it: the record seen as the platform record,
// and its first payload byte. The views are computed from the held record, so they stay right when the owner is
// copied. Any thread; no allocation.
#pragma once

#include <cstdint>

#include "shared/midievents/MIDIRecordMirrors.h"

class MyMIDIRawData {
 public:
  MIDIRawDataEx* MIDIRawDataPtr() noexcept { return &ext; }
  uint8_t* dataPtr() noexcept { return ext.data.bytes.data(); }

  MIDIRawDataEx ext;
};

class MyMusicEventUserData {
 public:
  MusicEventUserDataEx* MusicEventUserDataPtr() noexcept { return &ext; }
  uint8_t* dataPtr() noexcept { return ext.data.bytes.data(); }

  MusicEventUserDataEx ext;
};

class MyMIDIMetaEvent {
 public:
  MIDIMetaEventEx* MIDIMetaEventPtr() noexcept { return &ext; }
  uint8_t* dataPtr() noexcept { return ext.data.bytes.data(); }

  MIDIMetaEventEx ext;
};

class MyMIDIPacket {
 public:
  MIDIPacketEx* MIDIPacketPtr() noexcept { return &ext; }
  uint8_t* dataPtr() noexcept { return ext.data.data(); }

  MIDIPacketEx ext;
};
