// Note names, transposition of single keys, the octave and the 128-key table.

#include <gtest/gtest.h>

#include <string>

#include "shared/midievents/NoteNames.h"
#include "shared/phrases/EnumMIDINotes.h"
#include "shared/phrases/MIDINote.h"
#include "shared/phrases/MIDINotes.h"
#include "shared/phrases/MIDIOctave.h"

namespace {

TEST(EnumMIDINotes, NamesAndRawValues) {
  EXPECT_EQ(EnumMIDINotes::getName(0), "C");
  EXPECT_EQ(EnumMIDINotes::getName(6), "F#");
  EXPECT_EQ(EnumMIDINotes::getName(11), "B");
  EXPECT_EQ(EnumMIDINotes::getName(12), "");
  EXPECT_EQ(EnumMIDINotes::getName(-1), "");
  EXPECT_TRUE(EnumMIDINotes::isBlackKey("F#"));
  EXPECT_FALSE(EnumMIDINotes::isBlackKey("F"));
  EXPECT_EQ(EnumMIDINotes::fromRawValue(10), EnumMIDINotes(EnumMIDINotes::A_));
  EXPECT_FALSE(EnumMIDINotes::fromRawValue(12).has_value());
  EXPECT_FALSE(EnumMIDINotes::fromRawValue(-1).has_value());
}

struct TransposeCase {
  int index;
  int by;
  int expectedIndex;
  int expectedNoteIndex;
  int expectedOctave;
  std::string expectedName;
};

TEST(MIDINote, TransposeWrapsOnceWithinTheKeyRange) {
  const TransposeCase cases[] = {
      {120, 10, 2, 2, 0, "D"},    {5, -10, 123, 3, 10, "D#"}, {-1, 0, 127, 7, 10, "G"},
      {60, 7, 67, 7, 5, "G"},     {0, -1, 127, 7, 10, "G"},   {127, 1, 0, 0, 0, "C"},
  };
  for (const auto& c : cases) {
    MIDINote note;
    note.index = c.index;
    note.transpose(c.by);
    EXPECT_EQ(note.index, c.expectedIndex) << c.index << " by " << c.by;
    EXPECT_EQ(note.noteIndex, c.expectedNoteIndex) << c.index << " by " << c.by;
    EXPECT_EQ(note.octaveIndex, c.expectedOctave) << c.index << " by " << c.by;
    EXPECT_EQ(note.name, c.expectedName) << c.index << " by " << c.by;
    EXPECT_EQ(note.isSharp(), c.expectedName.find('#') != std::string::npos);
  }
}

TEST(MIDINote, TransposeBy128OrMoreChangesNothing) {
  for (int by : {128, -128, 1000}) {
    MIDINote note;
    note.index = 40;
    note.transpose(by);
    EXPECT_EQ(note.index, 40);
    EXPECT_EQ(note.octaveIndex, -3);
    EXPECT_EQ(note.noteIndex, 0);
    EXPECT_EQ(note.name, "C");
  }
}

TEST(MIDIOctave, TwelveNotesInOctaveTwo) {
  MIDIOctave octave;
  ASSERT_EQ(octave.notes.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(octave.notes[i]->index, i);
    EXPECT_EQ(octave.notes[i]->noteIndex, i);
    EXPECT_EQ(octave.notes[i]->octaveIndex, 2);
    EXPECT_EQ(octave.notes[i]->name, EnumMIDINotes::getName(i));
  }
}

TEST(MIDINotes, KeyTableAgreesWithTheSequenceModelsNoteNames) {
  const MIDINotes& table = MIDINotes::sharedInstance();
  EXPECT_EQ(&table, &MIDINotes::sharedInstance());
  ASSERT_EQ(table.notes.size(), 128u);
  for (int key = 0; key < 128; ++key) {
    const MIDINote& note = *table.notes[key];
    EXPECT_EQ(note.index, key);
    EXPECT_EQ(note.noteIndex, key % 12);
    EXPECT_EQ(note.octaveIndex, key / 12 - 2);
    EXPECT_EQ(note.name, noteNames().values[key]) << key;
  }
  EXPECT_EQ(table.notes[0]->name, "C-2");
  EXPECT_EQ(table.notes[11]->name, "B-2");
  EXPECT_EQ(table.notes[12]->name, "C-1");
  EXPECT_EQ(table.notes[15]->name, "D#-1");
  EXPECT_EQ(table.notes[60]->name, "C3");
  EXPECT_EQ(table.notes[127]->name, "G8");
}

}  // namespace
