// Note names indexed by MIDI key number, with look-ups by name and a black-key test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class NoteNames {
 public:
  // Starts with the 128 names of MIDIKeyNames ("C-2" ... "G8"; key 60 is "C3").
  NoteNames();

  // Index of the first entry of values equal to key (exact comparison), or -1 when there is none.
  int getKeyNumber(std::string_view key) const;

  // False for a key outside 0 to 127; otherwise true exactly when the key's name contains "#".
  bool isBlackKey(int key) const;

  // Readable and writable; a replaced list changes what getKeyNumber and isBlackKey see.
  std::vector<std::string> values;
};

// The shared instance, created on first use. Reading from several threads is safe; a caller that writes its values
// owns it for that time.
NoteNames& noteNames();
