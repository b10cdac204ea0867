// Writing song trees, tracks and patterns back into the music sequence, and the file round trip.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/musicsequence/MusicTrack.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/support/TestFolder.h"

namespace {

using sequencetest::eventLog;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// midicsv's event records of a file without the track numbers and the framing records, sorted: the same multiset
// for two files means every event of one is in the other exactly as often.
std::vector<std::string> eventRecords(const std::filesystem::path& file) {
  std::vector<std::string> records;
  for (const std::string& line : sequencetest::lines(sequencetest::csvFromMidi(file))) {
    if (line.find("Header") != std::string::npos || line.find("Start_track") != std::string::npos ||
        line.find("End_track") != std::string::npos || line.find("End_of_file") != std::string::npos) {
      continue;
    }
    records.push_back(line.substr(line.find(", ") + 2));
  }
  std::sort(records.begin(), records.end());
  return records;
}

std::size_t treeEventCount(const SequenceNode& tree) {
  std::size_t count = tree.tempoTrack->events.size();
  for (const auto& track : tree.tracks) count += track->events.size();
  return count;
}

constexpr const char* kSongCsv = R"(0, 0, Header, 1, 3, 480
1, 0, Start_track
1, 0, Title_t, "Song"
1, 0, Copyright_t, "(c) us"
1, 0, Time_signature, 6, 3, 24, 8
1, 0, Key_signature, -3, "minor"
1, 0, SMPTE_offset, 1, 2, 3, 4, 5
1, 0, Tempo, 500000
1, 480, Marker_t, "A"
1, 960, Tempo, 400000
1, 1920, End_track
2, 0, Start_track
2, 0, Title_t, "Piano"
2, 0, Instrument_name_t, "Grand"
2, 0, Program_c, 0, 5
2, 0, Control_c, 0, 7, 100
2, 0, Note_on_c, 0, 60, 90
2, 240, Pitch_bend_c, 0, 8192
2, 240, Poly_aftertouch_c, 0, 60, 40
2, 360, Channel_aftertouch_c, 0, 30
2, 480, Note_off_c, 0, 60, 0
2, 480, Note_on_c, 0, 64, 80
2, 960, Note_off_c, 0, 64, 12
2, 1000, Lyric_t, "la"
2, 1200, Cue_point_t, "cue"
2, 1920, End_track
3, 0, Start_track
3, 0, Program_c, 9, 0
3, 0, Note_on_c, 9, 36, 100
3, 120, Note_off_c, 9, 36, 0
3, 240, Note_on_c, 2, 48, 70
3, 480, Note_off_c, 2, 48, 0
3, 480, System_exclusive, 5, 126, 127, 9, 1, 247
3, 600, Sequencer_specific, 3, 1, 2, 3
3, 700, Text_t, "hello"
3, 1920, End_track
0, 0, End_of_file
)";

TEST(MIDISequenceTreeWriting, ALoadedSongWrittenBackFromItsTreeKeepsEveryEventExactlyOnce) {
  testsupport::TestFolder folder;
  const auto original = sequencetest::midiFromCsv(folder.path(), "song", kSongCsv);
  const auto rewritten = folder.path() / "rewritten.mid";

  const auto sequence = MIDISequence16::create();
  sequence->loadFromFile(original);
  sequence->musicSequenceToSequenceNode();
  const std::size_t nodes = treeEventCount(*sequence->getSequenceNode());
  sequence->sequenceNodeToMusicSequence();
  sequence->saveToFile(rewritten);
  dispatch::MainQueue::shared().drain();

  const auto expected = eventRecords(original);
  ASSERT_EQ(expected.size(), 29u);
  EXPECT_EQ(eventRecords(rewritten), expected);

  // Once more through the tree: the file written is read as the original was, and writes the same events again.
  const auto again = MIDISequence16::create();
  again->loadFromFile(rewritten);
  again->musicSequenceToSequenceNode();
  EXPECT_EQ(treeEventCount(*again->getSequenceNode()), nodes);
  again->sequenceNodeToMusicSequence();
  const auto twice = folder.path() / "twice.mid";
  again->saveToFile(twice);
  dispatch::MainQueue::shared().drain();
  EXPECT_EQ(eventRecords(twice), expected);
}

TEST(MIDISequenceTreeWriting, TheTreeReplacesTheSequenceTrackByChannel) {
  const auto sequence = MIDISequence16::create();
  sequence->setTempo(90.0);
  sequence->createControllerEvent(0.0, 4, 7, 1);
  const auto tree = sequence->getSequenceNode();
  tree->clear();
  auto note = std::make_shared<MidiNoteEvent>();
  note->channel = 9;
  note->number = 36;
  note->duration = 1.0f;
  tree->tracks[9]->addEvent(note);
  auto program = std::make_shared<MidiProgramChangeEvent>();
  program->value = 5;
  tree->tracks[0]->addEvent(program);
  dispatch::MainQueue::shared().drain();

  const auto log = capturedLog([&] { sequence->sequenceNodeToMusicSequence(); });
  const auto tracks = sequencetest::sequenceLog(sequence->getMusicSequence());
  EXPECT_THAT(tracks[0], IsEmpty()) << "no tempo events are left";
  EXPECT_THAT(tracks[1], ElementsAre("0 channel C0 05 00"));
  EXPECT_THAT(tracks[5], IsEmpty()) << "the controller is gone with the tree's events";
  EXPECT_THAT(tracks[10], ElementsAre("0 note 9 36 0 0 1"));
}

TEST(MIDISequenceTreeWriting, TrackNodesSharingAChannelAreAllWritten) {
  const auto sequence = MIDISequence16::create();
  const auto tree = sequence->getSequenceNode();
  tree->addTrack();
  ASSERT_EQ(tree->tracks.size(), 17u);
  auto first = std::make_shared<MidiControllerEvent>();
  first->number = 1;
  tree->tracks[0]->addEvent(first);
  auto second = std::make_shared<MidiControllerEvent>();
  second->number = 2;
  second->position = 1.0;
  tree->tracks[16]->addEvent(second);
  // A channel-3 event kept in the track node of channel 0 survives the write of track node 3.
  auto elsewhere = std::make_shared<MidiControllerEvent>();
  elsewhere->channel = 3;
  elsewhere->number = 3;
  tree->tracks[0]->addEvent(elsewhere);
  auto own = std::make_shared<MidiControllerEvent>();
  own->channel = 3;
  own->number = 4;
  own->position = 2.0;
  tree->tracks[3]->addEvent(own);

  capturedLog([&] { sequence->sequenceNodeToMusicSequence(); });
  EXPECT_THAT(eventLog(sequence->getTrack(0)), ElementsAre("0 channel B0 01 00", "1 channel B0 02 00"));
  EXPECT_THAT(eventLog(sequence->getTrack(3)), ElementsAre("0 channel B3 03 00", "2 channel B3 04 00"));
}

TEST(MIDISequenceTreeWriting, ATrackNodeOfAChannelWithoutTrackIsLoggedAndPassedOver) {
  const auto sequence = MIDISequence16::create();
  const auto tree = sequence->getSequenceNode();
  tree->tracks[4]->channel = 20;
  tree->tracks[4]->addEvent(std::make_shared<MetaTextEvent>());
  auto controller = std::make_shared<MidiControllerEvent>();
  controller->channel = 5;
  tree->tracks[5]->addEvent(controller);

  const auto log = capturedLog([&] { sequence->sequenceNodeToMusicSequence(); });
  EXPECT_THAT(log, Contains("MIDISequence::Fehler: Eine Spur 20 konnte nicht abgerufen werden."));
  EXPECT_THAT(eventLog(sequence->getTrack(0)), IsEmpty());
  EXPECT_THAT(eventLog(sequence->getTrack(5)), ElementsAre("0 channel B5 00 00"));
}

TEST(MIDISequenceTreeWriting, ASequenceLoadedWithFewerTracksGainsTheTracksOfItsChannels) {
  const auto sequence = MIDISequence::create();
  const auto tree = sequence->getSequenceNode();
  auto note = std::make_shared<MidiNoteEvent>();
  note->channel = 6;
  tree->tracks[0]->addEvent(note);

  capturedLog([&] { sequence->sequenceNodeToMusicSequence(); });
  EXPECT_EQ(sequence->getNumberOfTracks(), 7);
  EXPECT_THAT(eventLog(sequence->getTrack(6)), ElementsAre("0 note 6 0 0 0 0"));
}

TEST(MIDISequenceTreeWriting, TracksAndPatternsAreWrittenAtTheirEventsOwnPositions) {
  const auto sequence = MIDISequence16::create();
  auto trackNode = sequence->getSequenceNode()->tracks[0];
  auto note = std::make_shared<MidiNoteEvent>();
  note->position = 2.0;
  trackNode->addEvent(note);
  auto pattern = std::make_shared<PatternNode>();
  pattern->offset = 8.0;
  pattern->channel = 5;
  auto controller = std::make_shared<MidiControllerEvent>();
  controller->position = 0.5;
  pattern->addEvent(controller);
  trackNode->addPattern(pattern);
  auto written = std::make_shared<MidiControllerEvent>();  // in the music track only: replaced by the writes below
  written->position = 7.0;
  sequence->createControllerMessage(written);

  capturedLog([&] { sequence->trackNodeToMusicTrack(trackNode, sequence->getTrack(0)); });
  EXPECT_THAT(eventLog(sequence->getTrack(0)), ElementsAre("0.5 channel B0 00 00", "2 note 0 0 0 0 0"));

  capturedLog([&] { sequence->patternNodeToMusicSequence(pattern); });
  EXPECT_THAT(eventLog(sequence->getTrack(0)), ElementsAre("0.5 channel B0 00 00"));
  EXPECT_THAT(eventLog(sequence->getTrack(5)), IsEmpty());

  capturedLog([&] { sequence->patternNodeToMusicTrack(pattern, sequence->getTrack(0)); });
  EXPECT_THAT(eventLog(sequence->getTrack(0)), ElementsAre("0.5 channel B0 00 00"));

  sequence->createProgramChangeEvent(1.0, 4, 1);
  capturedLog([&] { sequence->trackNodeToMusicSequence(trackNode); });
  EXPECT_THAT(eventLog(sequence->getTrack(0)), ElementsAre("0.5 channel B0 00 00", "2 note 0 0 0 0 0"));
  EXPECT_THAT(eventLog(sequence->getTrack(4)), IsEmpty());
}

TEST(MIDISequenceTreeWriting, MissingSourcesAndTargetsAreLoggedInOrder) {
  const auto sequence = MIDISequence16::create();
  const auto track = sequence->getTrack(0);
  const auto trackNode = sequence->getSequenceNode()->tracks[0];
  EXPECT_THAT(capturedLog([&] { sequence->trackNodeToMusicTrack(nullptr, MusicTrack{}); }),
              ElementsAre("MIDISequence::Fehler: Die Ziel Spur ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->trackNodeToMusicTrack(nullptr, track); }),
              ElementsAre("MIDISequence::Fehler: Die Quell Spur ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->patternNodeToMusicTrack(nullptr, MusicTrack{}); }),
              ElementsAre("MIDISequence::Fehler: Das Quell Pattern ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->patternNodeToMusicTrack(trackNode, MusicTrack{}); }),
              ElementsAre("MIDISequence::Fehler: Die Ziel Spur ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->trackNodeToMusicSequence(nullptr); }),
              ElementsAre("MIDISequence::Fehler: Die Quell Spur ist undefiniert."));
  EXPECT_THAT(capturedLog([&] { sequence->patternNodeToMusicSequence(nullptr); }),
              ElementsAre("MIDISequence::Fehler: Das Quell Pattern ist undefiniert."));
  sequence->sequenceNode.reset();
  EXPECT_THAT(capturedLog([&] { sequence->sequenceNodeToMusicSequence(); }),
              ElementsAre("MIDISequence::Fehler: Die Quell Sequenz ist undefiniert."));
  sequence->setMusicSequence(nullptr);
  for (const auto& log : {capturedLog([&] { sequence->sequenceNodeToMusicSequence(); }),
                          capturedLog([&] { sequence->trackNodeToMusicTrack(trackNode, track); }),
                          capturedLog([&] { sequence->trackNodeToMusicSequence(trackNode); }),
                          capturedLog([&] { sequence->patternNodeToMusicTrack(trackNode, track); }),
                          capturedLog([&] { sequence->patternNodeToMusicSequence(trackNode); })}) {
    EXPECT_THAT(log, ElementsAre("MIDISequence::Fehler: Die Ziel Sequenz ist undefiniert."));
  }
}

}  // namespace
