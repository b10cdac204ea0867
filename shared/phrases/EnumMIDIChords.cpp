#include "shared/phrases/EnumMIDIChords.h"

#include <cstddef>

#include "shared/phrases/ChordKinds.h"

namespace {

const ChordKind* kindAt(int row) {
  if (row < 0 || row >= static_cast<int>(chordKinds.size())) return nullptr;
  return &chordKinds[static_cast<std::size_t>(row)];
}

}  // namespace

std::string EnumMIDIChords::getShortName(int row) {
  const ChordKind* kind = kindAt(row);
  return kind ? std::string(kind->shortName) : std::string();
}

std::string EnumMIDIChords::getLongName(int row) {
  const ChordKind* kind = kindAt(row);
  return kind ? std::string(kind->longName) : std::string();
}

std::vector<int> EnumMIDIChords::getRule(int row) {
  const ChordKind* kind = kindAt(row);
  if (!kind) return {};
  return std::vector<int>(kind->intervals.begin(), kind->intervals.begin() + kind->intervalCount);
}

std::vector<int> EnumMIDIChords::limitToOctave(const std::vector<int>& array) {
  std::vector<int> result;
  for (int value : array) {
    if (value < 0) continue;
    result.push_back(value >= 12 ? value - 12 : value);
  }
  return result;
}
