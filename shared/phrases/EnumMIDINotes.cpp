#include "shared/phrases/EnumMIDINotes.h"

std::string EnumMIDINotes::getName(int index) {
  if (index < 0 || index >= static_cast<int>(noteNamesInOctave.size())) return "";
  return std::string(noteNamesInOctave[static_cast<std::size_t>(index)]);
}

bool EnumMIDINotes::isBlackKey(std::string_view name) { return name.find('#') != std::string_view::npos; }
