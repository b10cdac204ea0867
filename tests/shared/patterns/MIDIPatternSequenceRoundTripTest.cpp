// Pattern files keep what their patterns hold: saved, loaded and saved again, every value is equal and the two
// files are the same bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "shared/midievents/MIDIEvents.h"
#include "shared/patterns/MIDIPatternSequence.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/patterns/PatternTestEvents.h"
#include "tests/support/TestFolder.h"

namespace {

using patterntest::at;
using patterntest::controller;
using patterntest::note;
using patterntest::withData;
using sequencetest::readFile;

constexpr double kTick = 1.0 / 480.0;

// Every value of an event but its identifier.
std::string describe(const EventNode& event) {
  std::ostringstream out;
  out << eventKindName(event.kind()) << " @" << event.position << " ch" << int{event.channel};
  if (const auto* n = dynamic_cast<const MidiNoteEvent*>(&event)) {
    out << " note " << int{n->number} << ' ' << int{n->velocity} << ' ' << int{n->releaseVelocity} << ' '
        << n->duration;
  }
  if (const auto* c = dynamic_cast<const MidiControllerEvent*>(&event)) out << " cc " << int{c->number} << ' '
                                                                            << int{c->value};
  if (const auto* p = dynamic_cast<const MidiProgramChangeEvent*>(&event)) out << " program " << int{p->value};
  if (const auto* m = dynamic_cast<const MetaEvent*>(&event)) out << " type " << int{m->type};
  if (const auto* u = dynamic_cast<const UserEvent*>(&event)) {
    out << " length " << u->length << " data";
    for (const std::uint8_t b : u->data) out << ' ' << int{b};
  }
  return out.str();
}

// Every value of the sections: one line per pattern that holds something, then one per event.
std::vector<std::string> describe(const MIDIPatternSequence& sequence) {
  std::vector<std::string> lines{"sections " + std::to_string(sequence.sections.size())};
  for (std::size_t s = 0; s < sequence.sections.size(); ++s) {
    for (std::size_t slot = 0; slot < 16; ++slot) {
      const PatternNode& p = *sequence.sections[s]->patterns[slot];
      std::ostringstream out;
      out << s << '/' << slot << " channel " << int{p.channel} << " offset " << p.offset << " bars " << int{p.bars}
          << " beats " << int{p.beats} << " loop " << p.loop << " mute " << p.mute << " solo " << p.solo;
      lines.push_back(out.str());
      for (const auto& event : p.events) lines.push_back("  " + describe(*event));
    }
  }
  return lines;
}

struct RoundTrip {
  const char* name;
  std::function<void(MIDIPatternSequence&)> build;
};

const RoundTrip kRoundTrips[] = {
    {"empty sequence", [](MIDIPatternSequence& s) { s.clearSection(0); }},
    {"one section", [](MIDIPatternSequence&) {}},
    {"several sections with patterns in slots 0, 3 and 15",
     [](MIDIPatternSequence& s) {
       s.createSection();
       s.createSection();
       s.getPattern(0, 3)->addEvent(controller(0.0, 3, 7, 100));
       s.getPattern(0, 3)->addEvent(controller(2.5, 3, 10, 20));
       auto program = at<MidiProgramChangeEvent>(0.0, 9);
       program->value = 33;
       s.getPattern(1, 15)->addEvent(program);
       s.getPattern(2, 3)->addEvent(withData<SystemExclusiveEvent>(1.0, {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
       s.getPattern(2, 3)->addEvent(withData<MetaTextEvent>(3.0, {'V', 'e', 'r', 's'}));
     }},
    {"notes at the first and last tick of a pattern",
     [](MIDIPatternSequence& s) {
       auto pattern = s.getPattern(0, 3);
       pattern->bars = 2;
       pattern->addEvent(note(0.0, 3, 60, 0.5f));
       pattern->addEvent(note(8.0 - kTick, 3, 72, static_cast<float>(kTick)));
       s.getPattern(0, 15)->addEvent(note(0.0, 15, 36, 4.0f));
     }},
    {"user events",
     [](MIDIPatternSequence& s) {
       s.getPattern(0, 7)->addEvent(withData<UserEvent>(0.0, {1, 2, 3}));
       s.getPattern(0, 7)->addEvent(withData<UserEvent>(1.5, {0x7D, 'T', 'D', 'P', 0xFF}));
       s.getPattern(0, 7)->addEvent(withData<UserEvent>(3.0, {}));
     }},
    {"play flags and lengths",
     [](MIDIPatternSequence& s) {
       s.getPattern(0, 1)->loop = true;
       s.getPattern(0, 1)->addEvent(controller(0.0, 1, 1, 1));
       auto both = s.getPattern(0, 2);
       both->mute = true;
       both->solo = true;
       both->bars = 3;
       both->beats = 3;
       both->addEvent(controller(1.0, 2, 1, 2));
       s.getPattern(0, 9)->mute = true;  // no events of its own
     }},
    {"tempo-map meta events inside a pattern",
     [](MIDIPatternSequence& s) {
       s.getPattern(0, 4)->addEvent(withData<MetaTimeSignatureEvent>(0.0, {3, 2, 24, 8}));
       s.getPattern(0, 4)->addEvent(withData<MetaKeySignatureEvent>(0.0, {0xFE, 1}));
       s.getPattern(0, 4)->addEvent(withData<MetaSetTempoEvent>(2.0, {0x07, 0xA1, 0x20}));
     }},
};

TEST(MIDIPatternSequenceRoundTrip, SaveLoadSaveKeepsEveryValueAndEveryByte) {
  testsupport::TestFolder folder;
  for (const RoundTrip& trip : kRoundTrips) {
    SCOPED_TRACE(trip.name);
    const auto first = folder.path() / "first.mid";
    const auto second = folder.path() / "second.mid";
    std::shared_ptr<MIDIPatternSequence> saved;
    std::shared_ptr<MIDIPatternSequence> loaded;
    const auto log = capturedLog([&] {
      saved = MIDIPatternSequence::create();
      trip.build(*saved);
      saved->saveToFile(first);
      loaded = MIDIPatternSequence::create();
      loaded->loadFromFile(first);
      loaded->saveToFile(second);
    });
    EXPECT_EQ(describe(*loaded), describe(*saved));
    EXPECT_EQ(readFile(second), readFile(first));
    // midicsv reads what was written.
    sequencetest::csvFromMidi(first);
  }
}

TEST(MIDIPatternSequenceRoundTrip, SavingALoadedFileReplacesItsTracks) {
  testsupport::TestFolder folder;
  const auto plain = sequencetest::midiFromCsv(folder.path(), "plain", R"(0, 0, Header, 1, 4, 480
1, 0, Start_track
1, 0, Tempo, 400000
1, 0, Time_signature, 3, 2, 24, 8
1, 0, End_track
2, 0, Start_track
2, 0, Title_t, "Lead"
2, 0, Note_on_c, 1, 60, 90
2, 480, Note_off_c, 1, 60, 0
2, 480, End_track
3, 0, Start_track
3, 0, Channel_prefix, 3
3, 0, Program_c, 3, 12
3, 0, End_track
4, 0, Start_track
4, 0, End_track
0, 0, End_of_file
)");
  auto sequence = MIDIPatternSequence::create();
  std::vector<std::vector<std::uint8_t>> files;
  capturedLog([&] {
    sequence->loadFromFile(plain);
    for (int i = 0; i < 3; ++i) {
      const auto file = folder.path() / ("save" + std::to_string(i) + ".mid");
      sequence->saveToFile(file);
      files.push_back(readFile(file));
      sequence->loadFromFile(file);
    }
  });
  EXPECT_EQ(files[1], files[0]);
  EXPECT_EQ(files[2], files[0]);
  // The tempo track and the patterns of slots 0 and 3, none of the file's own tracks.
  const std::string csv = sequencetest::csvFromMidi(folder.path() / "save0.mid");
  EXPECT_NE(csv.find("0, 0, Header, 1, 3, 480"), std::string::npos) << csv;
  EXPECT_NE(csv.find("1, 0, Tempo, 400000"), std::string::npos) << csv;
  EXPECT_EQ(sequence->sections[0]->patterns[3]->channel, 3);
}

TEST(MIDIPatternSequenceRoundTrip, SectionsBeyondTheFileFormAreNotWrittenAndALineSaysSo) {
  testsupport::TestFolder folder;
  const auto file = folder.path() / "long.mid";
  std::shared_ptr<MIDIPatternSequence> loaded;
  const auto log = capturedLog([&] {
    auto sequence = MIDIPatternSequence::create();
    sequence->clearSection(0);
    sequence->getPattern(1023, 0)->addEvent(controller(0.0, 0, 1, 1));
    sequence->getPattern(1024, 0)->addEvent(controller(0.0, 0, 1, 2));
    sequence->saveToFile(file);
    loaded = MIDIPatternSequence::create();
    loaded->loadFromFile(file);
  });
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "MIDISequence::Fehler: Die Sektionen ab 1024 passen nicht in eine Pattern Datei und werden nicht "
                      "gespeichert."),
            log.end());
  ASSERT_EQ(loaded->sections.size(), 1024u);
  EXPECT_EQ(loaded->sections[1023]->patterns[0]->offset, 1023 * 4.0);
  EXPECT_EQ(loaded->sections[1023]->patterns[0]->events.size(), 4u);  // tags, "New Pattern", controller
}

}  // namespace
