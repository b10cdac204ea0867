#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "shared/midievents/MIDIEvents.h"
#include "shared/patterns/MIDIPatternSequence.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/patterns/PatternTestEvents.h"
#include "tests/support/TestFolder.h"

namespace {

using patterntest::at;
using patterntest::controller;
using patterntest::kinds;
using sequencetest::csvFromMidi;
using sequencetest::lines;
using sequencetest::midiFromCsv;
using sequencetest::readFile;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

// The midicsv records of one file track (its number in the file), without Start_track and End_track.
Lines trackRecords(const std::string& csv, int track) {
  Lines records;
  const std::string prefix = std::to_string(track) + ", ";
  for (const auto& line : lines(csv)) {
    if (line.rfind(prefix, 0) != 0) continue;
    if (line.find("Start_track") != std::string::npos || line.find("End_track") != std::string::npos) continue;
    records.push_back(line);
  }
  return records;
}

int fileTrackCount(const std::string& csv) {
  const Lines all = lines(csv);
  return static_cast<int>(std::count_if(all.begin(), all.end(), [](const std::string& line) {
    return line.find("Start_track") != std::string::npos;
  }));
}

std::shared_ptr<MetaTrackNameEvent> trackName(const std::string& text) {
  auto node = at<MetaTrackNameEvent>(0.0, 0);
  node->setText(text);
  return node;
}

TEST(MIDIPatternSequenceFile, NewSequenceSavesOneTaggedTrackAndRepeatedSavesAreIdentical) {
  testsupport::TestFolder folder;
  auto sequence = MIDIPatternSequence::create();
  const auto first = folder.path() / "first.mid";
  const auto second = folder.path() / "second.mid";
  capturedLog([&] {
    sequence->saveToFile(first);
    sequence->saveToFile(second);
  });
  const std::string csv = csvFromMidi(first);
  EXPECT_EQ(fileTrackCount(csv), 2);
  // The last record is the pattern's own: 0x7D "TDP", kind 1, one bar of four beats, no play flags.
  EXPECT_THAT(trackRecords(csv, 2),
              ElementsAre("2, 0, Channel_prefix, 0", "2, 0, Sequence_number, 0", "2, 0, Title_t, \"New Pattern\"",
                          "2, 0, Sequencer_specific, 8, 125, 84, 68, 80, 1, 1, 4, 0"));
  EXPECT_EQ(readFile(first), readFile(second));
  EXPECT_EQ(sequence->sections[0]->patterns[0]->events.size(), 3u);
}

TEST(MIDIPatternSequenceFile, SlotsTwoAndFiveAreTaggedWithTheirOwnNumbersAndReadBackWithTheirNotes) {
  testsupport::TestFolder folder;
  auto sequence = MIDIPatternSequence::create();
  sequence->clearSection(0);  // no "New Pattern"
  auto slot2 = sequence->getPattern(0, 2);
  slot2->addEvent(trackName("Bass"));
  slot2->addEvent(controller(0.0, 2, 7, 100));
  slot2->addEvent(controller(1.0, 2, 10, 30));
  auto slot5 = sequence->getPattern(0, 5);
  slot5->addEvent(trackName("Drums"));
  slot5->addEvent(controller(0.0, 5, 7, 90));
  auto note = at<MidiNoteEvent>(2.0, 5);
  note->number = 36;
  note->velocity = 100;
  note->duration = 0.5f;
  slot5->addEvent(note);
  const auto file = folder.path() / "slots.mid";
  capturedLog([&] { sequence->saveToFile(file); });

  EXPECT_EQ(slot2->channel, 2);
  EXPECT_EQ(slot5->channel, 5);
  const std::string csv = csvFromMidi(file);
  EXPECT_EQ(fileTrackCount(csv), 3);
  const std::string flags = "Sequencer_specific, 8, 125, 84, 68, 80, 1, 1, 4, 0";
  EXPECT_THAT(trackRecords(csv, 2),
              ElementsAre("2, 0, Channel_prefix, 2", "2, 0, Sequence_number, 0", "2, 0, Title_t, \"Bass\"",
                          "2, 0, Control_c, 2, 7, 100", "2, 0, " + flags, "2, 480, Control_c, 2, 10, 30"));
  EXPECT_THAT(trackRecords(csv, 3),
              ElementsAre("3, 0, Channel_prefix, 5", "3, 0, Sequence_number, 0", "3, 0, Title_t, \"Drums\"",
                          "3, 0, Control_c, 5, 7, 90", "3, 0, " + flags, "3, 960, Note_on_c, 5, 36, 100",
                          "3, 1200, Note_off_c, 5, 36, 0"));

  auto loaded = MIDIPatternSequence::create();
  capturedLog([&] { loaded->loadFromFile(file); });
  ASSERT_EQ(loaded->sections.size(), 1u);
  const auto& section = *loaded->sections[0];
  EXPECT_THAT(kinds(*section.patterns[2]),
              ElementsAre(EventKind::MetaChannelPrefixEvent, EventKind::MetaSequenceNumberEvent,
                          EventKind::MetaTrackNameEvent, EventKind::MidiControllerEvent,
                          EventKind::MidiControllerEvent));
  EXPECT_THAT(kinds(*section.patterns[5]),
              ElementsAre(EventKind::MetaChannelPrefixEvent, EventKind::MetaSequenceNumberEvent,
                          EventKind::MetaTrackNameEvent, EventKind::MidiControllerEvent, EventKind::MidiNoteEvent));
  EXPECT_EQ(section.patterns[5]->channel, 5);
  for (std::size_t slot : {0, 1, 3, 4, 6, 15}) EXPECT_TRUE(section.patterns[slot]->events.empty()) << slot;
  const auto readNote = eventCast<MidiNoteEvent>(section.patterns[5]->events.back());
  ASSERT_TRUE(readNote);
  EXPECT_EQ(readNote->number, 36);
  EXPECT_EQ(readNote->position, 2.0);
  EXPECT_EQ(readNote->duration, 0.5f);
  EXPECT_TRUE(loaded->sequenceNode->getTrack(0)->events.empty());
}

TEST(MIDIPatternSequenceFile, SectionsAreTaggedAndOffsetByOneBarEach) {
  testsupport::TestFolder folder;
  auto sequence = MIDIPatternSequence::create();
  auto later = sequence->getPattern(2, 3);  // grows to four sections, each named in slot 0
  later->addEvent(controller(0.5, 3, 1, 5));
  const auto file = folder.path() / "sections.mid";
  capturedLog([&] { sequence->saveToFile(file); });
  EXPECT_EQ(later->offset, 8.0);
  EXPECT_EQ(later->channel, 3);

  auto loaded = MIDIPatternSequence::create();
  capturedLog([&] { loaded->loadFromFile(file); });
  ASSERT_EQ(loaded->sections.size(), 4u);
  const auto& pattern = *loaded->sections[2]->patterns[3];
  EXPECT_EQ(pattern.offset, 8.0);
  ASSERT_EQ(pattern.events.size(), 3u);
  const auto number = eventCast<MetaSequenceNumberEvent>(pattern.events[1]);
  ASSERT_TRUE(number);
  EXPECT_EQ(number->getSequenceNumber(), 2);
  const auto readController = eventCast<MidiControllerEvent>(pattern.events[2]);
  ASSERT_TRUE(readController);
  EXPECT_EQ(readController->number, 1);
  EXPECT_EQ(readController->position, 0.5);
  for (std::uint16_t s = 0; s < 4; ++s) {
    const auto name = eventCast<MetaTrackNameEvent>(loaded->sections[s]->patterns[0]->events.back());
    ASSERT_TRUE(name) << s;
    EXPECT_EQ(name->getText(), "New Pattern");
  }
}

TEST(MIDIPatternSequenceFile, UntaggedFileGoesToSectionZeroSlotZero) {
  testsupport::TestFolder folder;
  const auto file = midiFromCsv(folder.path(), "plain", R"(0, 0, Header, 1, 2, 480
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, End_track
2, 0, Start_track
2, 0, Title_t, "Lead"
2, 0, Program_c, 1, 24
2, 240, Note_on_c, 1, 60, 90
2, 480, Note_off_c, 1, 60, 0
2, 480, Pitch_bend_c, 1, 8192
2, 720, Unknown_meta_event, 9, 4, 80, 111, 114, 116
2, 720, Unknown_meta_event, 8, 1, 71
2, 730, Unknown_meta_event, 96, 1, 71
2, 960, Sequencer_specific, 2, 1, 2
2, 960, End_track
0, 0, End_of_file
)");
  auto sequence = MIDIPatternSequence::create();
  const Lines log = capturedLog([&] { sequence->loadFromFile(file); });
  EXPECT_THAT(log, Contains("Warnung: Unbekanntes Meta Event erhalten."));
  ASSERT_EQ(sequence->sections.size(), 1u);
  const auto& pattern = *sequence->sections[0]->patterns[0];
  EXPECT_THAT(kinds(pattern),
              ElementsAre(EventKind::MetaTrackNameEvent, EventKind::MidiProgramChangeEvent, EventKind::MidiNoteEvent,
                          EventKind::MidiPitchBendEvent, EventKind::MetaDeviceNameEvent,
                          EventKind::MetaProgramNameEvent, EventKind::MetaUnknownEvent,
                          EventKind::MetaSequencerSpecificEvent));
  EXPECT_EQ(eventCast<MetaEvent>(pattern.events[4])->type, 9);
  EXPECT_EQ(eventCast<MetaEvent>(pattern.events[5])->type, 8);
  EXPECT_EQ(eventCast<MetaEvent>(pattern.events[6])->type, 255);
  for (std::size_t slot = 1; slot < 16; ++slot) EXPECT_TRUE(sequence->sections[0]->patterns[slot]->events.empty());
  EXPECT_EQ(sequence->sequenceNode->getTempoTrack()->events.size(), 1u);
  EXPECT_TRUE(sequence->sequenceNode->getTrack(0)->events.empty());
  EXPECT_EQ(sequence->getLength(), 2.0);
}

TEST(MIDIPatternSequenceFile, LoadingTwiceDoesNotDoubleAPattern) {
  testsupport::TestFolder folder;
  const auto file = midiFromCsv(folder.path(), "notes", R"(0, 0, Header, 1, 1, 480
1, 0, Start_track
1, 0, Note_on_c, 0, 60, 90
1, 480, Note_off_c, 0, 60, 0
1, 480, End_track
0, 0, End_of_file
)");
  auto sequence = MIDIPatternSequence::create();
  capturedLog([&] {
    sequence->loadFromFile(file);
    sequence->loadFromFile(file);
  });
  EXPECT_THAT(kinds(*sequence->sections[0]->patterns[0]), ElementsAre(EventKind::MidiNoteEvent));
}

TEST(MIDIPatternSequenceFile, PrefixBeyondTheSlotsStoresNothingAndReadingGoesOn) {
  testsupport::TestFolder folder;
  const auto file = midiFromCsv(folder.path(), "prefix", R"(0, 0, Header, 1, 2, 480
1, 0, Start_track
1, 0, End_track
2, 0, Start_track
2, 0, Sequence_number, 1792
2, 0, Channel_prefix, 20
2, 0, Control_c, 0, 7, 1
2, 10, Channel_prefix, 4
2, 10, Control_c, 0, 7, 2
2, 20, End_track
0, 0, End_of_file
)");
  auto sequence = MIDIPatternSequence::create();
  Lines log = capturedLog([&] { sequence->loadFromFile(file); });
  EXPECT_THAT(log, Contains("Fehler: Der Index ist größer als die Anzahl der verfügbaren Kanäle."));
  // csvmidi writes 1792 as the bytes 07 00; the pattern file form reads the number low byte first.
  const std::uint16_t section = 7;
  ASSERT_EQ(sequence->sections.size(), std::size_t{section} + 1);
  const auto& pattern = *sequence->sections[section]->patterns[4];
  EXPECT_THAT(kinds(pattern), ElementsAre(EventKind::MetaChannelPrefixEvent, EventKind::MidiControllerEvent));
}

TEST(MIDIPatternSequenceFile, TagsAfterATracksFirstEventsStillNameItsPattern) {
  testsupport::TestFolder folder;
  const auto file = midiFromCsv(folder.path(), "late", R"(0, 0, Header, 1, 3, 480
1, 0, Start_track
1, 0, End_track
2, 0, Start_track
2, 0, Title_t, "A"
2, 0, Channel_prefix, 0
2, 0, Sequence_number, 0
2, 0, End_track
3, 0, Start_track
3, 0, Title_t, "B"
3, 0, Control_c, 1, 7, 50
3, 0, Channel_prefix, 1
3, 0, Sequence_number, 0
3, 240, Control_c, 1, 7, 60
3, 240, End_track
0, 0, End_of_file
)");
  auto sequence = MIDIPatternSequence::create();
  capturedLog([&] { sequence->loadFromFile(file); });
  const auto& section = *sequence->sections[0];
  EXPECT_THAT(kinds(*section.patterns[0]), ElementsAre(EventKind::MetaTrackNameEvent, EventKind::MetaChannelPrefixEvent,
                                                       EventKind::MetaSequenceNumberEvent));
  EXPECT_THAT(kinds(*section.patterns[1]),
              ElementsAre(EventKind::MetaTrackNameEvent, EventKind::MidiControllerEvent,
                          EventKind::MetaChannelPrefixEvent, EventKind::MetaSequenceNumberEvent,
                          EventKind::MidiControllerEvent));
}

}  // namespace
