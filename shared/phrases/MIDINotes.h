// The table of all 128 MIDI keys, named with their octave: keys 0 to 11 are octave -2, key 60 is "C3", key 127 "G8".
#pragma once

#include <memory>
#include <vector>

#include "shared/phrases/MIDINote.h"

class MIDINotes {
 public:
  MIDINotes();

  // The shared table, built once on first use (thread-safe). Reading it from several threads is safe while nobody
  // changes its notes.
  static MIDINotes& sharedInstance();

  std::vector<std::shared_ptr<MIDINote>> notes;
};
