#pragma once

#include <cstdint>
#include <memory>

#include "shared/musicsequence/MIDISequence.h"

// The sixteen-track sequence: track index and MIDI channel coincide. Made with the static create().
// Threads: as MIDISequence.
class MIDISequence16 : public MIDISequence {
 public:
  using MIDISequence::create;
  // A sequence and a song tree of sixteen tracks, maxTracks 16.
  static std::shared_ptr<MIDISequence16> create();

  const std::uint8_t trackCount = 16;

 protected:
  MIDISequence16() = default;
  void init() override;
};
