// The records the sequence wrapper's writers hand to the music tracks, and the plain meta write that
// createMetaEvent and the tree writer share. Internal to the wrapper.
// Threads: as MIDISequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/musicsequence/MusicSequenceTypes.h"
#include "shared/midievents/MetaEvents.h"

class MIDISequence;
struct MusicTrack;

// A platform record with a variable payload: a fixed head, then the payload bytes, in word-aligned storage.
class VariableRecord {
 public:
  // A raw-data record holding the first length bytes of data, or all of data when it holds fewer.
  static VariableRecord rawData(std::span<const std::uint8_t> data, std::uint32_t length);
  // A meta record of the type with the whole payload.
  static VariableRecord meta(std::uint8_t type, std::span<const std::uint8_t> payload);

  const MIDIRawData* asRawData() const { return reinterpret_cast<const MIDIRawData*>(words_.data()); }
  const MIDIMetaEvent* asMeta() const { return reinterpret_cast<const MIDIMetaEvent*>(words_.data()); }

 private:
  VariableRecord(std::size_t headBytes, std::span<const std::uint8_t> payload);
  std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(words_.data()); }

  std::vector<std::uint32_t> words_;
};

// Writes a MetaEvent whose data holds a whole meta message (three header bytes, then the payload) into track: the
// bytes from index 3 up to its length (only those that exist) as a meta record of its type. Empty data is logged
// and not written. An accepted write is reported as foundMetaEvent and raises the sequence's length.
void writePlainMetaEvent(MIDISequence& sequence, const MusicTrack& track, const std::shared_ptr<MetaEvent>& event);
