// Note names indexed by MIDI key number, with look-ups by name and a black-key test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class NoteNames {
 public:
  // Starts with the 128 names of MIDIKeyNames ("C-2" ... "G8"; key 60 is "C3").
  NoteNames();

  // Position of the first exact match of key in values; -1 if missing.
  int getKeyNumber(std::string_view key) const;

  // Keys named with "#" are black; keys outside 0 to 127 are not.
  bool isBlackKey(int key) const;

  // Readable and writable; a replaced list changes what getKeyNumber and isBlackKey see.
  std::vector<std::string> values;
};

// The shared instance, created on first use. Reading from several threads is safe; a caller that writes its values
// owns it for that time.
NoteNames& noteNames();
