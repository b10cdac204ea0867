// One octave of twelve notes, C to B. A plain data holder; one thread at a time.
#pragma once

#include <memory>
#include <vector>

#include "shared/phrases/MIDINote.h"

class MIDIOctave {
 public:
  // Twelve notes: note i has index and noteIndex i, octaveIndex 2 and the name of i.
  MIDIOctave();

  std::vector<std::shared_ptr<MIDINote>> notes;
};
