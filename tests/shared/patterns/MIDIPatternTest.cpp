#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/musicsequence/MusicTrack.h"
#include "shared/midievents/MIDIEvents.h"
#include "shared/patterns/MIDIPattern.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/support/TestFolder.h"

namespace {

using sequencetest::csvFromMidi;
using sequencetest::eventLog;
using sequencetest::lines;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Lines = std::vector<std::string>;

// A pattern whose track holds controller 1 with value b at every beat b of 0 ... count - 1.
std::shared_ptr<MIDIPattern> beatPattern(int count) {
  auto pattern = MIDIPattern::create();
  for (int beat = 0; beat < count; ++beat) {
    const MIDIChannelMessage message{0xB0, 1, static_cast<std::uint8_t>(beat), 0};
    EXPECT_EQ(MusicTrackNewMIDIChannelEvent(*pattern->musicTrack, beat, &message), noErr);
  }
  return pattern;
}

// The beats of the pattern's events, with the controller value of each: "beat:value".
Lines beats(MIDIPattern& pattern) {
  Lines result;
  for (const auto& line : eventLog(*pattern.musicTrack)) {
    // "<beat> channel B0 01 <value>"
    const auto value = line.substr(line.rfind(' ') + 1);
    result.push_back(line.substr(0, line.find(' ')) + ":" + std::to_string(std::stoi(value, nullptr, 16)));
  }
  return result;
}

TEST(MIDIPattern, HasExactlyOneTrack) {
  auto pattern = MIDIPattern::create();
  std::uint32_t count = 0;
  MusicSequenceGetTrackCount(pattern->musicSequence, &count);
  EXPECT_EQ(count, 1u);
  ASSERT_TRUE(pattern->musicTrack);
  EXPECT_EQ(pattern->maxTracks, 1);
  EXPECT_EQ(pattern->sequenceNode, nullptr);
  const MusicTrack any = pattern->getTrack(7);
  EXPECT_EQ(any.trackId, pattern->musicTrack->trackId);
}

TEST(MIDIPattern, RangeEditsCheckTheirRangeFirst) {
  struct Case {
    const char* name;
    void (MIDIPattern::*edit)(double, double);
    double from, to;
    Lines log;
    Lines beatsAfter;
  };
  const Case cases[] = {
      {"clear from -1", &MIDIPattern::clearRange, -1.0, 2.0, {"Warnung: Die Anfangsposition ist kleiner als 0.0."},
       {"2:2", "3:3", "4:4", "5:5", "6:6", "7:7"}},
      {"cut reversed", &MIDIPattern::cut, 6.0, 2.0, {"Warnung: Die Anfangsposition ist größer als die Endposition."},
       {"0:0", "1:1", "2:6", "3:7"}},
      {"clear empty", &MIDIPattern::clearRange, 3.0, 3.0, {"Fehler: Die Anfangsposition ist gleich der Endposition."},
       {"0:0", "1:1", "2:2", "3:3", "4:4", "5:5", "6:6", "7:7"}},
      {"both beyond", &MIDIPattern::clearRange, 9.0, 12.0,
       {"Warnung: Die Anfangsposition ist größer als die Länge 8.0.",
        "Warnung: Die Endposition ist größer als die Länge 8.0.",
        "Fehler: Die Anfangsposition ist gleich der Endposition."},
       {"0:0", "1:1", "2:2", "3:3", "4:4", "5:5", "6:6", "7:7"}},
      {"end beyond", &MIDIPattern::cut, 6.0, 20.0, {"Warnung: Die Endposition ist größer als die Länge 8.0."},
       {"0:0", "1:1", "2:2", "3:3", "4:4", "5:5"}},
  };
  for (const Case& c : cases) {
    auto pattern = beatPattern(8);
    double length = 8.0;
    MusicTrackSetProperty(*pattern->musicTrack, kSequenceTrackProperty_TrackLength, &length, sizeof length);
    EXPECT_EQ(capturedLog([&] { ((*pattern).*c.edit)(c.from, c.to); }), c.log) << c.name;
    EXPECT_EQ(beats(*pattern), c.beatsAfter) << c.name;
  }
}

TEST(MIDIPattern, MoveClampsItsAmountToTheTrack) {
  auto pattern = beatPattern(4);  // length 3.0: the last event's start
  EXPECT_THAT(capturedLog([&] { pattern->move(0.0, 1.0, 2.0); }), IsEmpty());
  EXPECT_THAT(beats(*pattern), ElementsAre("1:1", "2:2", "2:0", "3:3"));
  EXPECT_THAT(capturedLog([&] { pattern->move(2.0, 3.0, -1.0); }), ElementsAre("Warnung: Die Zielposition ist 0.0."));
  EXPECT_THAT(beats(*pattern), ElementsAre("1:1", "2:2", "2:0", "3:3"));
}

TEST(MIDIPattern, MergesAndCopiesBetweenPatterns) {
  {
    auto source = beatPattern(3);
    auto target = MIDIPattern::create();
    capturedLog([&] { source->mergeTo(target); });  // an empty target takes the whole source
    EXPECT_THAT(beats(*target), ElementsAre("0:0", "1:1"));
  }
  {
    auto source = beatPattern(3);
    auto target = beatPattern(2);
    capturedLog([&] { target->mergeFrom(source); });
    EXPECT_THAT(beats(*target), ElementsAre("0:0", "0:0", "1:1", "1:1"));
  }
  {
    auto source = beatPattern(4);
    auto target = beatPattern(3);
    capturedLog([&] { source->copyTo(target, 2.0, 4.0, 1.0); });
    EXPECT_THAT(beats(*target), ElementsAre("0:0", "1:2", "2:1", "3:2"));
  }
  {
    auto source = beatPattern(4);
    auto target = beatPattern(3);
    capturedLog([&] { target->mergeFrom(source, 1.0, 2.0, 2.0); });
    EXPECT_THAT(beats(*target), ElementsAre("0:0", "1:1", "2:2", "2:1"));
  }
  auto pattern = beatPattern(2);
  EXPECT_THAT(capturedLog([&] { pattern->mergeFrom(nullptr); }),
              ElementsAre("Fehler: Die Quell Spur ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { pattern->mergeTo(nullptr, 0.0, 1.0, 0.0); }),
              ElementsAre("Fehler: Die Quell Spur ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { pattern->copyFrom(nullptr, 0.0, 1.0, 0.0); }), IsEmpty());
}

TEST(MIDIPattern, WritesAPatternNodeWithItsTrackProperties) {
  auto pattern = MIDIPattern::create();
  auto node = std::make_shared<PatternNode>();
  node->bars = 2;
  node->beats = 4;
  node->loop = true;
  node->mute = true;
  node->offset = 1.5;
  auto controller = std::make_shared<MidiControllerEvent>();
  controller->channel = 3;
  controller->position = 1.0;
  controller->number = 7;
  controller->value = 99;
  node->addEvent(controller);
  capturedLog([&] { pattern->patternNodeToMusicTrack(node, MusicTrack{}); });
  EXPECT_THAT(eventLog(*pattern->musicTrack), ElementsAre("1 channel B3 07 63"));
  EXPECT_EQ(pattern->getLength(), 8.0);
  EXPECT_EQ(pattern->getTrackLoopInfo(*pattern->musicTrack).loopDuration, 9.0);
  EXPECT_TRUE(pattern->getTrackMuteStaus(*pattern->musicTrack));
  EXPECT_FALSE(pattern->getTrackSoloStatus(*pattern->musicTrack));
  EXPECT_EQ(pattern->getTrackOffsetTime(*pattern->musicTrack), 1.5);
}

TEST(MIDIPattern, SavesAndLoadsThroughItsSongTree) {
  testsupport::TestFolder folder;
  auto pattern = beatPattern(3);
  const auto untreed = folder.path() / "untreed.mid";
  capturedLog([&] { pattern->saveToFile(untreed); });  // no tree yet: the track is saved as it stands
  EXPECT_THAT(lines(csvFromMidi(untreed)), Contains("2, 960, Control_c, 0, 1, 2"));

  auto loaded = MIDIPattern::create();
  capturedLog([&] { loaded->loadFromFile(untreed); });
  ASSERT_TRUE(loaded->sequenceNode);
  EXPECT_EQ(loaded->sequenceNode->getTrack(0)->events.size(), 3u);
  EXPECT_THAT(beats(*loaded), ElementsAre("0:0", "1:1", "2:2"));  // edits work on the loaded track

  capturedLog([&] { loaded->cut(0.0, 1.0); });
  EXPECT_THAT(beats(*loaded), ElementsAre("0:1", "1:2"));

  const auto saved = folder.path() / "saved.mid";
  capturedLog([&] { loaded->saveToFile(saved); });  // rebuilt from the tree
  const Lines csv = lines(csvFromMidi(saved));
  EXPECT_THAT(csv, Contains("2, 0, Control_c, 0, 1, 0"));
  EXPECT_THAT(csv, Contains("2, 960, Control_c, 0, 1, 2"));
}

TEST(MIDIPattern, TrackNodeKeepsItsOwnEventsBesideItsPatterns) {
  auto pattern = MIDIPattern::create();
  auto tree = SequenceNode::create();
  auto track = tree->getTrack(0);
  auto own = std::make_shared<MidiProgramChangeEvent>();
  own->value = 5;
  track->addEvent(own);
  auto part = std::make_shared<PatternNode>();
  auto partEvent = std::make_shared<MidiControllerEvent>();
  partEvent->position = 2.0;
  partEvent->number = 64;
  partEvent->value = 127;
  part->addEvent(partEvent);
  track->patterns.push_back(part);
  capturedLog([&] { pattern->trackNodeToMusicTrack(track, MusicTrack{}); });
  EXPECT_THAT(eventLog(*pattern->musicTrack), ElementsAre("0 channel C0 05 00", "2 channel B0 40 7F"));
}

}  // namespace
