// Chord recognition on small phrases, regeneration of chord notes, and re-harmonising after a master track.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/foundation/NumberText.h"
#include "shared/phrases/MIDIChordPhrase.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/phrases/PhraseFiles.h"
#include "tests/support/TestFolder.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using phrasetest::note;

// "<id> <number> <position> <duration>" per generated note.
std::vector<std::string> generated(const MIDIChordPhrase& phrase) {
  std::vector<std::string> lines;
  for (const auto& e : phrase.events1) {
    EXPECT_EQ(e->type, PhraseEvent::noteStart);
    EXPECT_EQ(e->channel, phrase.channel);
    EXPECT_EQ(e->value, 100);
    lines.push_back(std::to_string(e->id) + " " + std::to_string(e->number) + " " +
                    foundation::numberText(e->position) + " " + foundation::numberText(e->duration));
  }
  return lines;
}

std::vector<std::string> matching(const std::vector<std::string>& lines, const std::string& part) {
  std::vector<std::string> result;
  std::copy_if(lines.begin(), lines.end(), std::back_inserter(result),
               [&](const std::string& line) { return line.find(part) != std::string::npos; });
  return result;
}

class MIDIChordPhraseTest : public ::testing::Test {
 protected:
  std::vector<std::string> load(MIDIChordPhrase& phrase, const std::vector<phrasetest::FileEvent>& track,
                                int ticksPerBeat = 480) {
    const auto file = phrasetest::midiFile(folder.path(), "chords" + std::to_string(files++), {track}, ticksPerBeat);
    return capturedLog([&] { phrase.loadPhrase(file); });
  }

  testsupport::TestFolder folder;
  int files = 0;
};

TEST_F(MIDIChordPhraseTest, MasterChordStruckOnceFillsThePhrase) {
  MIDIChordPhrase master;
  master.isMasterTrack = true;
  const auto log = load(master, {note(0, 0, 60, 1920), note(0, 0, 64, 1920), note(0, 0, 67, 1920)});
  EXPECT_THAT(matching(log, "No exact chord match"),
              ElementsAre("MIDIChordPhrase: Warning: No exact chord match (possibly precalculation)."));
  EXPECT_THAT(log, Contains("MIDIChordPhrase: Following chord sequence (reduced) was detected: "));
  EXPECT_THAT(log, Contains("0 : C Major at 0.0 (1.0)"));
  EXPECT_THAT(log, Contains("lowest note is: 60"));
  EXPECT_THAT(log, Contains("lowest octave start is: 60"));
  EXPECT_THAT(log, Contains("Following chord events (reduced) were (re)generated: "));
  EXPECT_EQ(master.baseC, 60);
  ASSERT_EQ(master.events1.size(), 3u);
  EXPECT_DOUBLE_EQ(master.events1[0]->duration, 15.9999);
  EXPECT_THAT(generated(master), ElementsAre("0 60 0.0 " + foundation::numberText(16.0 - 0.0001),
                                             "1 64 0.0 " + foundation::numberText(16.0 - 0.0001),
                                             "2 67 0.0 " + foundation::numberText(16.0 - 0.0001)));
}

TEST_F(MIDIChordPhraseTest, ARepeatedChordIsReducedOnTheMasterOnly) {
  const std::vector<phrasetest::FileEvent> track{note(0, 0, 60, 1920), note(0, 0, 64, 1440), note(0, 0, 67, 960),
                                                 note(1920, 0, 60, 480), note(1920, 0, 64, 480),
                                                 note(1920, 0, 67, 480)};
  MIDIChordPhrase master;
  master.isMasterTrack = true;
  const auto masterLog = load(master, track);
  EXPECT_THAT(matching(masterLog, " : "), ElementsAre("0 : C Major at 0.0 (1.0)"));
  EXPECT_EQ(master.events1.size(), 3u);

  MIDIChordPhrase pad;
  const auto padLog = load(pad, track);
  EXPECT_THAT(padLog, Contains("MIDIChordPhrase: Following chord sequence was detected: "));
  EXPECT_THAT(matching(padLog, " : "), ElementsAre("0 : C Major at 0.0 (1.0)", "1 : C Major at 4.0 (2.0)"));
  EXPECT_THAT(padLog, Contains("Following events on channel 0 were (re)generated: "));
  // The chord's notes are the G that completed it and the C it replaced: tone by tone their durations, then the last.
  EXPECT_THAT(generated(pad), ElementsAre("0 60 0.0 2.0", "1 64 0.0 4.0", "2 67 0.0 4.0", "3 60 4.0 1.0",
                                          "4 64 4.0 1.0", "5 67 4.0 1.0"));
}

TEST_F(MIDIChordPhraseTest, ChordPositionsAreQuantisedWhenAsked) {
  struct Case {
    bool quantize;
    int tick;
    std::string expected;
  };
  for (const Case& c : {Case{true, 106, "1.0"}, Case{false, 106, "1.06"}, Case{true, 625, "6.25"},
                        Case{true, 6, "0.125"}}) {
    MIDIChordPhrase phrase;
    phrase.quantizeEvents = c.quantize;
    load(phrase, {note(c.tick, 0, 62, 50)}, c.tick == 6 ? 96 : 100);
    ASSERT_EQ(phrase.events1.size(), 1u);
    EXPECT_EQ(foundation::numberText(phrase.events1[0]->position), c.expected) << c.tick;
  }
}

TEST_F(MIDIChordPhraseTest, OctaveDoublingsBecomeTonesAndWrapAbove127) {
  MIDIChordPhrase phrase;
  load(phrase, {note(0, 0, 60, 480), note(0, 0, 64, 480), note(0, 0, 67, 480), note(0, 0, 72, 480),
                note(0, 0, 79, 480)});
  EXPECT_THAT(generated(phrase), ElementsAre("0 60 0.0 1.0", "1 64 0.0 1.0", "2 67 0.0 1.0", "3 72 0.0 1.0",
                                             "4 79 0.0 1.0"));
  phrase.baseC = 120;
  capturedLog([&] { phrase.regenerateEvents(); });
  EXPECT_THAT(generated(phrase), ElementsAre("0 120 0.0 1.0", "1 124 0.0 1.0", "2 127 0.0 1.0", "3 5 0.0 1.0",
                                             "4 12 0.0 1.0"));
  // Far above the key range a base still gives keys.
  phrase.baseC = 255;
  capturedLog([&] { phrase.regenerateEvents(); });
  for (const auto& e : phrase.events1) EXPECT_LE(e->number, 127);
}

TEST_F(MIDIChordPhraseTest, AChordWithFewerTonesAtAHeldPositionIsFilteredOut) {
  MIDIChordPhrase phrase;
  const auto log = load(phrase, {note(0, 0, 60, 5), note(0, 0, 64, 5), note(0, 0, 67, 5), note(6, 0, 69, 50)}, 100);
  EXPECT_THAT(log, Contains("Warning: Multiple chords at position 0.0 were filtered out."));
  EXPECT_THAT(matching(log, " : "), ElementsAre("0 : C Major at 0.0 (1.0)"));
}

TEST_F(MIDIChordPhraseTest, MasterNotesTooShortAreDroppedAndTheirIdsUsedUp) {
  MIDIChordPhrase master;
  master.isMasterTrack = true;
  master.quantizeEvents = false;
  const auto log = load(master, {note(0, 0, 60, 1), note(2, 0, 62, 50)}, 100);
  EXPECT_THAT(log, Contains("Warning: A chord event is too short " + foundation::numberText(0.02 - 0.0001) +
                            " and filtered out."));
  EXPECT_THAT(generated(master), ElementsAre("1 62 0.02 " + foundation::numberText(16.0 - 0.02 - 0.0001)));
}

TEST_F(MIDIChordPhraseTest, BaseCIsTheOctaveStartBelowTheLowestChordNote) {
  MIDIChordPhrase phrase;
  const auto log = load(phrase, {note(0, 0, 59, 480)});
  EXPECT_THAT(log, Contains("lowest note is: 59"));
  EXPECT_THAT(log, Contains("lowest octave start is: 48"));
  EXPECT_EQ(phrase.baseC, 48);
  EXPECT_THAT(generated(phrase), ElementsAre("0 59 0.0 1.0"));
}

TEST_F(MIDIChordPhraseTest, AMissingFileStillBuildsChordsFromWhatThePhraseHolds) {
  MIDIChordPhrase phrase;
  const auto log = capturedLog([&] { phrase.loadPhrase(folder.path() / "missing.mid"); });
  EXPECT_THAT(log, ElementsAre("MIDIPhrase: Error: The pattern file does not exist.",
                               "MIDIChordPhrase: Following chord sequence was detected: ", "lowest note is: 255",
                               "lowest octave start is: 252", "Following events on channel 0 were (re)generated: "));
  EXPECT_EQ(phrase.baseC, 252);
  EXPECT_THAT(phrase.events1, IsEmpty());
}

TEST_F(MIDIChordPhraseTest, TracksFollowTheMastersChordsSpanBySpan) {
  MIDIChordPhrase master;
  master.isMasterTrack = true;
  load(master, {note(0, 0, 60, 960), note(0, 0, 64, 960), note(0, 0, 67, 960), note(960, 0, 65, 960),
                note(960, 0, 69, 960), note(960, 0, 72, 960)});
  MIDIChordPhrase pad;
  pad.channel = 13;
  load(pad, {note(0, 0, 50, 960), note(0, 0, 53, 960), note(0, 0, 57, 960), note(960, 0, 50, 960),
             note(960, 0, 53, 960), note(960, 0, 57, 960)});
  ASSERT_EQ(pad.baseC, 48);

  const auto log = capturedLog([&] { master.transposeTrack(pad); });
  EXPECT_THAT(log, Contains("Following events on channel 13 were (re)generated: "));
  // D minor under C major gives E, G, C; under F major F, A, C.
  EXPECT_THAT(generated(pad), ElementsAre("0 52 0.0 2.0", "1 55 0.0 2.0", "2 60 0.0 2.0", "3 53 2.0 2.0",
                                          "4 57 2.0 2.0", "5 60 2.0 2.0"));
  // Moved chords are chord tones already: a second pass keeps them.
  capturedLog([&] { master.transposeTrack(pad); });
  EXPECT_THAT(generated(pad), ElementsAre("0 52 0.0 2.0", "1 55 0.0 2.0", "2 60 0.0 2.0", "3 53 2.0 2.0",
                                          "4 57 2.0 2.0", "5 60 2.0 2.0"));
}

TEST_F(MIDIChordPhraseTest, OnlyTheMasterTransposes) {
  MIDIChordPhrase notMaster;
  load(notMaster, {note(0, 0, 60, 480), note(0, 0, 64, 480), note(0, 0, 67, 480)});
  MIDIChordPhrase pad;
  load(pad, {note(0, 0, 50, 480), note(0, 0, 53, 480), note(0, 0, 57, 480)});
  const auto before = generated(pad);
  const auto log = capturedLog([&] { notMaster.transposeTrack(pad); });
  EXPECT_THAT(log, ElementsAre("Error: Only a master track can transpose other tracks."));
  EXPECT_EQ(generated(pad), before);
}

TEST_F(MIDIChordPhraseTest, AMasterMayMoveItsOwnChords) {
  MIDIChordPhrase master;
  master.isMasterTrack = true;
  load(master, {note(0, 0, 60, 480), note(0, 0, 64, 480), note(0, 0, 67, 480)});
  capturedLog([&] { master.transposeTrack(master); });
  EXPECT_THAT(generated(master), ElementsAre("0 60 0.0 " + foundation::numberText(16.0 - 0.0001),
                                             "1 64 0.0 " + foundation::numberText(16.0 - 0.0001),
                                             "2 67 0.0 " + foundation::numberText(16.0 - 0.0001)));
}

}  // namespace
