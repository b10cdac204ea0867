// Arrangements of small phrases: the mix order, render events at 24000 samples per beat with their releases, and the
// saved sixteen-track file read back with midicsv.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shared/phrases/MIDIPhraseArranger.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/phrases/PhraseFiles.h"
#include "tests/support/TestFolder.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using phrasetest::controller;
using phrasetest::note;

// "<sample time> <status> <data 1> <data 2> /<length>" per event, status in hexadecimal.
std::vector<std::string> eventLog(const std::vector<AUMIDIEvent>& events) {
  std::vector<std::string> lines;
  for (const AUMIDIEvent& e : events) {
    EXPECT_EQ(e.next, nullptr);
    EXPECT_EQ(e.eventType, AURenderEventMIDI);
    EXPECT_EQ(e.cable, 0);
    EXPECT_EQ(e.reserved, 0);
    char status[8];
    std::snprintf(status, sizeof status, "%02X", e.data[0]);
    lines.push_back(std::to_string(e.eventSampleTime) + " " + status + " " + std::to_string(e.data[1]) + " " +
                    std::to_string(e.data[2]) + " /" + std::to_string(e.length));
  }
  return lines;
}

std::shared_ptr<PhraseEvent> record(int type, int channel, int number, int value, double position,
                                    double duration = 0.0) {
  auto e = std::make_shared<PhraseEvent>();
  e->type = type;
  e->channel = static_cast<std::uint8_t>(channel);
  e->number = static_cast<std::uint8_t>(number);
  e->value = static_cast<std::uint8_t>(value);
  e->position = position;
  e->duration = duration;
  return e;
}

// The channel records of a midicsv listing (track 1 is the tempo track, track 2 + n channel n).
std::vector<std::string> channelRecords(const std::string& csv) {
  std::vector<std::string> result;
  for (const std::string& line : sequencetest::lines(csv)) {
    if (line.find("_c,") == std::string::npos) continue;
    result.push_back(line);
  }
  return result;
}

class MIDIPhraseArrangerTest : public ::testing::Test {
 protected:
  void load(MIDIPhrase& phrase, const std::vector<phrasetest::FileEvent>& track, int ticksPerBeat = 480) {
    const auto file = phrasetest::midiFile(folder.path(), "track" + std::to_string(files++), {track}, ticksPerBeat);
    capturedLog([&] { phrase.loadPhrase(file); });
  }

  testsupport::TestFolder folder;
  int files = 0;
};

TEST_F(MIDIPhraseArrangerTest, ANewArrangerIsEmpty) {
  MIDIPhraseArranger arranger;
  EXPECT_EQ(arranger.chordTrack->channel, 0);
  EXPECT_TRUE(arranger.chordTrack->isMasterTrack);
  EXPECT_EQ(arranger.padTrack->channel, 13);
  EXPECT_EQ(arranger.sequenceTrack->channel, 12);
  EXPECT_EQ(arranger.leadTrack->channel, 11);
  EXPECT_EQ(arranger.bassTrack->channel, 10);
  EXPECT_FALSE(arranger.padTrack->isMasterTrack);
  EXPECT_EQ(arranger.drumTrack->channel, 9);
  EXPECT_FALSE(arranger.drumTrack->quantizeEvents);

  std::vector<AUMIDIEvent> events;
  const auto log = capturedLog([&] { events = arranger.phraseEventsToAUMIDIEvents(); });
  EXPECT_THAT(events, IsEmpty());
  EXPECT_THAT(log, ElementsAre("Following events on channel 13 were (re)generated: ",
                               "Following events on channel 12 were (re)generated: ",
                               "Following events on channel 11 were (re)generated: ",
                               "Following events on channel 10 were (re)generated: "));

  const auto file = folder.path() / "empty.mid";
  capturedLog([&] { arranger.save(file); });
  EXPECT_THAT(channelRecords(sequencetest::csvFromMidi(file)), IsEmpty());
}

TEST_F(MIDIPhraseArrangerTest, DrumNotesGoOutOnChannelNineAndControllersKeepTheirChannel) {
  MIDIPhraseArranger arranger;
  load(*arranger.drumTrack, {note(480, 0, 38, 240, 100), controller(240, 9, 7, 90), controller(0, 0, 10, 64)});
  EXPECT_THAT(eventLog(arranger.phraseEventsToAUMIDIEvents()),
              ElementsAre("0 B0 10 64 /3", "12000 B9 7 90 /3", "24000 99 38 100 /3", "36000 99 38 0 /3"));
}

TEST_F(MIDIPhraseArrangerTest, RecordsConvertByKind) {
  MIDIPhraseArranger arranger;
  auto& drums = arranger.drumTrack->events;
  drums = {record(PhraseEvent::programChange, 2, 5, 100, 0.0),
           record(PhraseEvent::pitchBend, 3, 0, 64, 0.5),
           record(PhraseEvent::channelPressure, 4, 77, 9, 1.0 / 3),
           record(PhraseEvent::controller, 5, 1, 2, 0.00002),
           record(PhraseEvent::noteEnd, 9, 40, 100, 2.0),
           record(0, 9, 41, 100, 2.0),
           record(7, 9, 42, 100, 2.0),
           record(PhraseEvent::controller, 16, 1, 2, 2.0)};
  EXPECT_THAT(eventLog(arranger.phraseEventsToAUMIDIEvents()),
              ElementsAre("0 C2 5 100 /2", "0 B5 1 2 /3", "8000 D4 77 9 /2", "12000 E3 0 64 /3"));
}

TEST_F(MIDIPhraseArrangerTest, ReleasesComeAheadOfNewNotesAtTheirTime) {
  MIDIPhraseArranger arranger;
  arranger.drumTrack->events = {record(PhraseEvent::noteStart, 9, 36, 90, 1.0, 1.0),
                                record(PhraseEvent::noteStart, 9, 36, 80, 0.0, 1.0),
                                record(PhraseEvent::noteStart, 9, 37, 70, 0.0, 0.0),
                                record(PhraseEvent::noteStart, 9, 38, 60, 15.5, 3.0)};
  EXPECT_THAT(eventLog(arranger.phraseEventsToAUMIDIEvents()),
              ElementsAre("0 99 36 80 /3", "0 99 37 70 /3", "0 99 37 0 /3", "24000 99 36 0 /3", "24000 99 36 90 /3",
                          "48000 99 36 0 /3", "372000 99 38 60 /3", "384000 99 38 0 /3"));
}

TEST_F(MIDIPhraseArrangerTest, TracksFollowTheChordTrackAndMixInTrackOrder) {
  MIDIPhraseArranger arranger;
  load(*arranger.chordTrack, {note(0, 0, 60, 1920), note(0, 0, 64, 1920), note(0, 0, 67, 1920)});
  load(*arranger.padTrack, {note(0, 0, 50, 960), note(0, 0, 53, 960), note(0, 0, 57, 960)});
  load(*arranger.drumTrack, {note(0, 0, 36, 240, 110)});

  std::vector<AUMIDIEvent> events;
  capturedLog([&] { events = arranger.phraseEventsToAUMIDIEvents(); });
  EXPECT_THAT(eventLog(events),
              ElementsAre("0 90 60 100 /3", "0 90 64 100 /3", "0 90 67 100 /3", "0 9D 52 100 /3", "0 9D 55 100 /3",
                          "0 9D 60 100 /3", "0 99 36 110 /3", "12000 99 36 0 /3", "48000 9D 52 0 /3",
                          "48000 9D 55 0 /3", "48000 9D 60 0 /3", "383997 90 60 0 /3", "383997 90 64 0 /3",
                          "383997 90 67 0 /3"));

  const auto file = folder.path() / "arrangement.mid";
  arranger.drumTrack->events.push_back(record(PhraseEvent::programChange, 2, 5, 100, 1.0));
  capturedLog([&] { arranger.save(file); });
  EXPECT_THAT(channelRecords(sequencetest::csvFromMidi(file)),
              ElementsAre("2, 0, Note_on_c, 0, 60, 100", "2, 0, Note_on_c, 0, 64, 100",
                          "2, 0, Note_on_c, 0, 67, 100", "2, 7680, Note_off_c, 0, 60, 0",
                          "2, 7680, Note_off_c, 0, 64, 0", "2, 7680, Note_off_c, 0, 67, 0",
                          "4, 480, Program_c, 2, 5", "11, 0, Note_on_c, 9, 36, 110", "11, 240, Note_off_c, 9, 36, 0",
                          "15, 0, Note_on_c, 13, 52, 100", "15, 0, Note_on_c, 13, 55, 100",
                          "15, 0, Note_on_c, 13, 60, 100", "15, 960, Note_off_c, 13, 52, 0",
                          "15, 960, Note_off_c, 13, 55, 0", "15, 960, Note_off_c, 13, 60, 0"));
}

TEST_F(MIDIPhraseArrangerTest, LoadTrackChangesNothing) {
  MIDIPhraseArranger arranger;
  arranger.loadTrack(0, folder.path() / "anything.mid");
  EXPECT_THAT(arranger.chordTrack->events, IsEmpty());
  EXPECT_FALSE(arranger.chordTrack->currentURL.has_value());
}

}  // namespace
