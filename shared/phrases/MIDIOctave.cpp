#include "shared/phrases/MIDIOctave.h"

#include "shared/phrases/EnumMIDINotes.h"

MIDIOctave::MIDIOctave() {
  for (int i = 0; i < 12; ++i) {
    auto note = std::make_shared<MIDINote>();
    note->index = i;
    note->noteIndex = i;
    note->octaveIndex = 2;
    note->name = EnumMIDINotes::getName(i);
    notes.push_back(note);
  }
}
