#include "shared/phrases/MIDINote.h"

#include <cstdint>

#include "shared/phrases/EnumMIDINotes.h"

bool MIDINote::isSharp() const { return EnumMIDINotes::isBlackKey(name); }

void MIDINote::transpose(int value) {
  if (value <= -128 || value >= 128) return;
  // Widened so that a key set far out of range cannot overflow.
  std::int64_t key = std::int64_t{index} + value;
  if (key < 0) {
    key += 128;
  } else if (key >= 128) {
    key -= 128;
  }
  index = static_cast<int>(key);
  noteIndex = index % 12;
  octaveIndex = index / 12;
  name = EnumMIDINotes::getName(noteIndex);
}
