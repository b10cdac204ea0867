#include <gtest/gtest.h>

#include "shared/midievents/MIDIEvents.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/midievents/EventClassRows.h"

namespace {

using Lines = std::vector<std::string>;

Lines baseLines(const char* mask, const char* status, const char* position, const char* channel) {
  return {"\t\tpattern: nil.",
          "\t\ttrack: nil.",
          "\t\tuid: -1.",
          std::string("\t\tstatus mask: ") + mask + ".",
          std::string("\t\tstatus byte: ") + status + ".",
          std::string("\t\tposition: ") + position + ".",
          std::string("\t\tchannel: ") + channel + "."};
}

Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Lines userLines(uint32_t length) {
  return {"\t\tlength: " + std::to_string(length) + ".", "\t\tdata: [].", "\t\thexadecimal: .", "\t\tverbose: ."};
}

// The lines a fresh object of the row's class adds after the base listing.
Lines ownLines(const ClassRow& row) {
  switch (row.kind) {
    case EventKind::TempoEvent:
      return {"\t\tvalue: 120.0."};
    case EventKind::MidiNoteEvent:
      return {"\t\tduration: 0.0.", "\t\tnumber: 0.", "\t\tvelocity: 0.", "\t\treleaseVelocity: 0."};
    case EventKind::UserEvent:
      return userLines(0);
    case EventKind::MetaSequenceNumberEvent:
      return userLines(2) + userLines(2) +
             Lines{"Fehler: Das Sequenznummer Event ist nicht initialisiert.", "\t\tnumber: 0."};
    default:
      return row.metaType >= 0 ? userLines(row.initialLength) + userLines(row.initialLength) : Lines{};
  }
}

TEST(EventDumpTest, EveryFreshClassListsItsBaseFieldsThenItsOwn) {
  for (const ClassRow& row : classRows()) {
    SCOPED_TRACE(eventKindName(row.kind));
    std::shared_ptr<EventNode> event = row.make();
    Lines expected = baseLines(std::to_string(row.mask).c_str(), std::to_string(row.mask + row.channel).c_str(), "0.0",
                               std::to_string(row.channel).c_str()) +
                     ownLines(row);
    if (row.kind == EventKind::SystemExclusiveEvent) {
      expected = {"\t\ttype: 240.", "\t\tlength: 0.", "\t\tdata: [].", "\t\thexadecimal: ."};
    }
    EXPECT_EQ(capturedLog([&] { event->dumpout(); }), expected);
  }
}

TEST(EventDumpTest, NoteListsTheBaseFieldsThenItsOwn) {
  MidiNoteEvent note;
  note.position = 1.5;
  note.channel = 3;
  note.duration = 0.1f;
  note.number = 60;
  note.velocity = 100;
  note.releaseVelocity = 64;
  const Lines own = {"\t\tduration: 0.1.", "\t\tnumber: 60.", "\t\tvelocity: 100.", "\t\treleaseVelocity: 64."};
  EXPECT_EQ(capturedLog([&] { note.dumpout(); }), baseLines("144", "147", "1.5", "3") + own);
}

TEST(EventDumpTest, TempoMarkerAddsItsValue) {
  TempoEvent tempo;
  const Lines own = {"\t\tvalue: 120.0."};
  EXPECT_EQ(capturedLog([&] { tempo.dumpout(); }), baseLines("0", "255", "0.0", "255") + own);
}

TEST(EventDumpTest, SystemExclusiveListsOnlyItsDataLines) {
  SystemExclusiveEvent sysex;
  sysex.position = 2.0;
  sysex.data = {0xF0, 0x01, 0xF7};
  sysex.length = 3;
  EXPECT_EQ(capturedLog([&] { sysex.dumpout(); }),
            (Lines{"\t\ttype: 240.", "\t\tlength: 3.", "\t\tdata: [240, 1, 247].", "\t\thexadecimal: F0  1 F7 ."}));
}

TEST(EventDumpTest, MetaListsItsDataLinesTwiceAndTheSequenceNumberLast) {
  MetaSequenceNumberEvent meta;
  meta.setSequenceNumber(0x0141);
  const Lines user = {"\t\tlength: 2.", "\t\tdata: [65, 1].", "\t\thexadecimal: 41  1 .", "\t\tverbose: A\x01."};
  EXPECT_EQ(capturedLog([&] { meta.dumpout(); }),
            baseLines("0", "0", "0.0", "0") + user + user + Lines(1, "\t\tnumber: 321."));
}

TEST(EventDumpTest, FreshSequenceNumberLogsItsMessageInsideTheListing) {
  MetaSequenceNumberEvent meta;
  const Lines lines = capturedLog([&] { meta.dumpout(); });
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "Fehler: Das Sequenznummer Event ist nicht initialisiert.");
  EXPECT_EQ(lines.back(), "\t\tnumber: 0.");
}

}  // namespace
