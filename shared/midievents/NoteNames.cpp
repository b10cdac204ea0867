#include "shared/midievents/NoteNames.h"

#include <algorithm>

#include "shared/midievents/MIDINameTables.h"

NoteNames::NoteNames() : values(MIDIKeyNames.begin(), MIDIKeyNames.end()) {}

int NoteNames::getKeyNumber(std::string_view key) const {
  auto found = std::find(values.begin(), values.end(), key);
  return found == values.end() ? -1 : static_cast<int>(found - values.begin());
}

bool NoteNames::isBlackKey(int key) const {
  if (key < 0 || key > 127 || static_cast<std::size_t>(key) >= values.size()) return false;
  return values[key].find('#') != std::string::npos;
}

NoteNames& noteNames() {
  static NoteNames shared;
  return shared;
}
