#pragma once
// A row of sixteen looping single-channel file players: player i plays its song on MIDI channel i.
//
// Threads: create, load and control the players on the main queue (their own contract); the row holds them for its
// whole life.

#include <array>
#include <memory>

#include "shared/playback/AUMIDISequencer.h"

class MatrixTracks {
 public:
  static constexpr int trackCount = 16;

  MatrixTracks();

  // Index = MIDI channel.
  std::array<std::shared_ptr<AUMIDISequencer>, trackCount> tracks;
};
