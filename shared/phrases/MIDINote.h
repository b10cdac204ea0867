// A MIDI key (0 to 127) with its pitch class, octave and name. Plain data; one thread at a time.
#pragma once

#include <string>

class MIDINote {
 public:
  // The MIDI key number 0 to 127; -1 for no key yet.
  int index = -1;
  // -3 for no octave yet.
  int octaveIndex = -3;
  // The position within the octave, 0 to 11.
  int noteIndex = 0;
  std::string name = "C";

  // True when name contains "#".
  bool isSharp() const;
  // Moves the note by value semitones. A magnitude of 128 or more changes nothing; otherwise the key is wrapped once
  // into 0 to 127, its octave counted from 0 (keys 0 to 11 are octave 0) and its name set without an octave number.
  void transpose(int value);
};
