// Phrases read from small MIDI files: records, numbering, channels, the 16-beat limit, length, order, failures.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/foundation/NumberText.h"
#include "shared/phrases/MIDIPhrase.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/phrases/PhraseFiles.h"
#include "tests/support/TestFolder.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using phrasetest::controller;
using phrasetest::marker;
using phrasetest::note;

// "<id> <type> <channel> <number> <position> <duration> <value> <value2>" per record.
std::vector<std::string> recordLog(const MIDIPhrase& phrase) {
  std::vector<std::string> lines;
  for (const auto& e : phrase.events) {
    lines.push_back(std::to_string(e->id) + " " + std::to_string(e->type) + " " + std::to_string(e->channel) + " " +
                    std::to_string(e->number) + " " + foundation::numberText(e->position) + " " +
                    foundation::numberText(e->duration) + " " + std::to_string(e->value) + " " +
                    std::to_string(e->value2));
  }
  return lines;
}

class MIDIPhraseTest : public ::testing::Test {
 protected:
  std::vector<std::string> load(MIDIPhrase& phrase, const std::vector<std::vector<phrasetest::FileEvent>>& tracks,
                                int ticksPerBeat = 480) {
    const auto file = phrasetest::midiFile(folder.path(), "phrase" + std::to_string(files++), tracks, ticksPerBeat);
    return capturedLog([&] { phrase.loadPhrase(file); });
  }

  testsupport::TestFolder folder;
  int files = 0;
};

TEST_F(MIDIPhraseTest, NotesBecomeStartAndEndRecordsOnThePhrasesChannel) {
  MIDIPhrase phrase;
  phrase.channel = 9;
  const auto log = load(phrase, {{note(0, 3, 60, 960, 90, 64), controller(480, 3, 7, 100)}});
  EXPECT_THAT(recordLog(phrase),
              ElementsAre("0 1 9 60 0.0 2.0 90 64", "1 3 3 7 1.0 0.0 100 0", "0 2 9 60 2.0 2.0 90 64"));
  EXPECT_EQ(phrase.currentID, 2);
  EXPECT_THAT(log, Contains("MIDIPhrase: Sequence length is: 1.0"));
  EXPECT_EQ(phrase.currentLength, 1);
  ASSERT_NE(phrase.sequence, nullptr);
  EXPECT_EQ(phrase.sequence->delegate, nullptr) << "the sequence does not keep the phrase";
}

TEST_F(MIDIPhraseTest, EventsBeyondSixteenBeatsAreDropped) {
  MIDIPhrase phrase;
  load(phrase, {{note(7440, 0, 62, 480), note(7680, 0, 64, 240), note(7800, 0, 65, 240), controller(8160, 0, 1, 5)}});
  EXPECT_THAT(recordLog(phrase), ElementsAre("0 1 0 62 15.5 1.0 100 0", "0 2 0 62 16.0 1.0 100 0",
                                             "1 1 0 64 16.0 0.5 100 0", "1 2 0 64 16.0 0.5 100 0"));
  EXPECT_EQ(phrase.currentLength, 16);
}

TEST_F(MIDIPhraseTest, LengthIsRoundedUpToWholeBeatsAndLimited) {
  struct Case {
    int tick;
    int expected;
  };
  for (const Case c : {Case{32, 4}, Case{400, 16}, Case{0, 0}}) {
    MIDIPhrase phrase;
    load(phrase, {{controller(c.tick, 0, 7, 1)}}, 10);
    EXPECT_EQ(phrase.currentLength, c.expected) << c.tick;
  }
}

TEST_F(MIDIPhraseTest, RecordsAtOnePositionKeepTheOrderTheyWereRead) {
  MIDIPhrase phrase;
  load(phrase, {{note(480, 0, 67, 480), note(0, 0, 40, 480)}, {note(480, 1, 50, 480)}});
  EXPECT_THAT(recordLog(phrase),
              ElementsAre("0 1 0 40 0.0 1.0 100 0", "0 2 0 40 1.0 1.0 100 0", "1 1 0 67 1.0 1.0 100 0",
                          "2 1 0 50 1.0 1.0 100 0", "1 2 0 67 2.0 1.0 100 0", "2 2 0 50 2.0 1.0 100 0"));
}

TEST_F(MIDIPhraseTest, ANoteRepeatedOnItsChannelAtItsStartIsDroppedWithAWarning) {
  MIDIPhrase phrase;
  const auto log = load(phrase, {{note(480, 0, 60, 480), controller(480, 0, 60, 1)},
                                 {note(480, 0, 60, 240), note(480, 1, 60, 240), note(960, 0, 60, 240)}});
  EXPECT_THAT(log, Contains("Warning: Duplicated note event (60) at position 1.0."));
  int starts = 0;
  for (const auto& e : phrase.events) starts += e->type == PhraseEvent::noteStart;
  EXPECT_EQ(starts, 3);
}

TEST_F(MIDIPhraseTest, MarkersAreLoggedAndAddNoRecord) {
  MIDIPhrase phrase;
  const auto log = load(phrase, {{marker(960)}});
  EXPECT_THAT(log, Contains("marker: 2.0"));
  EXPECT_THAT(phrase.events, IsEmpty());
}

TEST_F(MIDIPhraseTest, AMissingFileChangesNothing) {
  MIDIPhrase phrase;
  load(phrase, {{note(0, 0, 60, 480)}});
  const auto sequence = phrase.sequence;
  const auto url = phrase.currentURL;
  const auto log = capturedLog([&] { phrase.loadPhrase(folder.path() / "missing.mid"); });
  EXPECT_THAT(log, ElementsAre("MIDIPhrase: Error: The pattern file does not exist."));
  EXPECT_EQ(phrase.sequence, sequence);
  EXPECT_EQ(phrase.currentURL, url);
  EXPECT_EQ(phrase.events.size(), 2u);
}

TEST_F(MIDIPhraseTest, AnUnreadableFileLeavesAnEmptyPhrase) {
  MIDIPhrase phrase;
  load(phrase, {{note(0, 0, 60, 480)}});
  const auto garbage = folder.path() / "garbage.mid";
  std::ofstream(garbage) << "MThd but not really a MIDI file";
  capturedLog([&] { phrase.loadPhrase(garbage); });
  EXPECT_THAT(phrase.events, IsEmpty());
  EXPECT_EQ(phrase.currentLength, 0);
  EXPECT_EQ(phrase.currentURL, garbage);
}

TEST_F(MIDIPhraseTest, SavingWritesTheLoadedSequenceBack) {
  MIDIPhrase phrase;
  const auto nothing = folder.path() / "nothing.mid";
  phrase.savePhrase(nothing);
  EXPECT_FALSE(std::filesystem::exists(nothing));

  phrase.channel = 5;
  load(phrase, {{note(240, 2, 61, 480, 80)}});
  const auto saved = folder.path() / "saved.mid";
  capturedLog([&] { phrase.savePhrase(saved); });
  const std::string csv = sequencetest::csvFromMidi(saved);
  EXPECT_NE(csv.find("240, Note_on_c, 2, 61, 80"), std::string::npos) << csv;
  EXPECT_NE(csv.find("720, Note_off_c, 2, 61, 0"), std::string::npos) << csv;
}

}  // namespace
