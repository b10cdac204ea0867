// Pattern files that name more than a pattern sequence can hold, and broken ones: refused with a log line, in bounded
// memory, the rest of the file kept, and a file that cannot be loaded changes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "shared/midievents/MIDIEvents.h"
#include "shared/patterns/MIDIPatternSequence.h"
#include "shared/patterns/PatternFileRecords.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/patterns/PatternTestEvents.h"
#include "tests/support/TestFolder.h"

namespace {

using patterntest::kinds;
using sequencetest::midiFromCsv;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A file of two tracks: the first tagged with the section number as csvmidi writes it (high byte first), the second
// an ordinary pattern of section 0, slot 2.
std::string taggedFile(unsigned csvSequenceNumber) {
  return "0, 0, Header, 1, 3, 480\n1, 0, Start_track\n1, 0, End_track\n"
         "2, 0, Start_track\n2, 0, Channel_prefix, 1\n2, 0, Sequence_number, " +
         std::to_string(csvSequenceNumber) +
         "\n2, 0, Control_c, 1, 7, 11\n2, 0, End_track\n"
         "3, 0, Start_track\n3, 0, Channel_prefix, 2\n3, 0, Sequence_number, 0\n3, 0, Control_c, 2, 7, 22\n"
         "3, 0, End_track\n0, 0, End_of_file\n";
}

TEST(MIDIPatternSequenceHostileFile, SectionNumbersAreReadLowByteFirstAndBoundedToTheDocumentedCount) {
  struct Case {
    unsigned csvNumber;   // as csvmidi writes it: high byte first
    std::size_t sections; // after the load
    bool refused;
  };
  // 65535 is the same either way; 65283 is FF 03, section 1023; 4 is 00 04, section 1024; 1 is 00 01, section 256.
  for (const Case& c : {Case{65535, 1, true}, Case{65283, 1024, false}, Case{4, 1, true}, Case{1, 257, false}}) {
    SCOPED_TRACE(c.csvNumber);
    testsupport::TestFolder folder;
    const auto file = midiFromCsv(folder.path(), "tagged", taggedFile(c.csvNumber));
    auto sequence = MIDIPatternSequence::create();
    const auto log = capturedLog([&] { sequence->loadFromFile(file); });
    EXPECT_EQ(sequence->sections.size(), c.sections);
    const auto refusals = std::count_if(log.begin(), log.end(), [](const std::string& line) {
      return line.starts_with("Fehler: Die Sektion ");
    });
    EXPECT_EQ(refusals, c.refused ? 1 : 0);
    if (c.refused) {
      const std::uint16_t section = c.csvNumber == 4 ? 1024 : 65535;
      EXPECT_THAT(log, Contains("Fehler: Die Sektion " + std::to_string(section) +
                                " ist größer als das Maximum 1023. Ihre Events werden übersprungen."));
    } else {
      EXPECT_THAT(kinds(*sequence->sections.back()->patterns[1]),
                  ElementsAre(EventKind::MetaChannelPrefixEvent, EventKind::MetaSequenceNumberEvent,
                              EventKind::MidiControllerEvent));
    }
    // The refused track's controller is nowhere; the other track is kept.
    EXPECT_THAT(kinds(*sequence->sections[0]->patterns[2]),
                ElementsAre(EventKind::MetaChannelPrefixEvent, EventKind::MetaSequenceNumberEvent,
                            EventKind::MidiControllerEvent));
    if (c.refused) {
      EXPECT_THAT(sequence->sections[0]->patterns[1]->events, IsEmpty());
    }
  }
}

TEST(MIDIPatternSequenceHostileFile, SlotNumbersUpTo255KeepTheSixteenSlotsAndRefuseTheRest) {
  testsupport::TestFolder folder;
  std::string csv = "0, 0, Header, 1, 257, 480\n1, 0, Start_track\n1, 0, End_track\n";
  for (int slot = 0; slot < 256; ++slot) {
    const std::string track = std::to_string(slot + 2) + ", ";
    csv += track + "0, Start_track\n" + track + "0, Channel_prefix, " + std::to_string(slot) + "\n" + track +
           "0, Sequence_number, 0\n" + track + "0, Control_c, " + std::to_string(slot % 16) + ", 7, " +
           std::to_string(slot % 128) + "\n" + track + "0, End_track\n";
  }
  csv += "0, 0, End_of_file\n";
  const auto file = midiFromCsv(folder.path(), "slots", csv);
  auto sequence = MIDIPatternSequence::create();
  const auto log = capturedLog([&] { sequence->loadFromFile(file); });
  EXPECT_EQ(std::count(log.begin(), log.end(), "Fehler: Der Index ist größer als die Anzahl der verfügbaren Kanäle."),
            240);
  ASSERT_EQ(sequence->sections.size(), 1u);
  for (std::uint8_t slot = 0; slot < 16; ++slot) {
    const PatternNode& pattern = *sequence->sections[0]->patterns[slot];
    EXPECT_EQ(pattern.channel, slot);
    ASSERT_EQ(pattern.events.size(), 3u) << int{slot};
    const auto cc = eventCast<MidiControllerEvent>(pattern.events[2]);
    ASSERT_TRUE(cc);
    EXPECT_EQ(cc->value, slot);
  }
}

// Every shorter piece of a saved file lacks part of a declared track: it is refused and leaves the sequence as it was.
TEST(MIDIPatternSequenceHostileFile, EveryTruncationOfASavedFileIsRefusedAndChangesNothing) {
  testsupport::TestFolder folder;
  const auto whole = folder.path() / "whole.mid";
  capturedLog([&] {
    auto source = MIDIPatternSequence::create();
    source->createSection();
    auto pattern = source->getPattern(1, 3);
    pattern->loop = true;
    pattern->addEvent(patterntest::note(1.0, 3, 60, 0.5f));
    pattern->addEvent(patterntest::withData<UserEvent>(2.0, {1, 2, 3}));
    source->saveToFile(whole);
  });
  const std::vector<std::uint8_t> file = sequencetest::readFile(whole);
  ASSERT_GT(file.size(), 100u);

  const auto piece = folder.path() / "piece.mid";
  for (std::size_t length = 0; length < file.size(); ++length) {
    SCOPED_TRACE(length);
    std::ofstream(piece, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(length));
    auto sequence = MIDIPatternSequence::create();
    auto kept = sequence->getPattern(0, 5);
    kept->addEvent(std::make_shared<MidiControllerEvent>());
    const auto log = capturedLog([&] { sequence->loadFromFile(piece); });
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
      return line.starts_with("MIDISequence::Fehler: ") &&
             line.ends_with(". \nDie MIDI Datei konnte nicht geladen werden.");
    }));
    ASSERT_EQ(sequence->sections.size(), 1u);
    EXPECT_EQ(sequence->sections[0]->patterns[5], kept);
    EXPECT_EQ(kept->events.size(), 1u);
  }
}

}  // namespace
