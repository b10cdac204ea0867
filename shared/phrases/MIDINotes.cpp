#include "shared/phrases/MIDINotes.h"

#include <string>

#include "shared/phrases/EnumMIDINotes.h"

MIDINotes::MIDINotes() {
  int octave = -3;
  int noteInOctave = 0;
  for (int key = 0; key < 128; ++key) {
    if (key % 12 == 0) {
      ++octave;
      noteInOctave = 0;
    }
    auto note = std::make_shared<MIDINote>();
    note->index = key;
    note->octaveIndex = octave;
    note->noteIndex = noteInOctave;
    note->name = EnumMIDINotes::getName(noteInOctave) + std::to_string(octave);
    ++noteInOctave;
    notes.push_back(note);
  }
}

MIDINotes& MIDINotes::sharedInstance() {
  static MIDINotes instance;
  return instance;
}
