// The recorder model: positions from sample times, pairing of note-ons and note-offs, control, and live events.

#include "shared/recorder/MIDIRecorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using sequencetest::eventLog;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kStopped = "Warnung: Der MIDI Recorder wurde angehalten, empfängt aber Ereignisse.";

std::shared_ptr<MIDIRecorder> startedRecorder() {
  auto recorder = MIDIRecorder::create();
  recorder->start();
  return recorder;
}

AUMIDIEventEx live(std::vector<std::uint8_t> bytes, AUEventSampleTime time) {
  const auto count = static_cast<std::uint32_t>(bytes.size());
  return AUMIDIEventEx(8, bytes, count, time);
}

TEST(MIDIRecorder, StartsAsAStoppedSixteenTrackSequence) {
  const auto recorder = MIDIRecorder::create();
  EXPECT_EQ(recorder->getNumberOfTracks(), 16);
  EXPECT_EQ(recorder->getSequenceNode()->getTrackCount(), 16);
  EXPECT_EQ(recorder->maxTracks, 16);
  EXPECT_FALSE(recorder->isStarted);
  EXPECT_EQ(recorder->samplesPerBeat(), 24000.0);
  EXPECT_EQ(recorder->tempoFactor, 1.0);
  EXPECT_EQ(recorder->tempo, 120.0);
}

TEST(MIDIRecorder, SampleTimesBecomeBeatsFromTheStartPosition) {
  const auto recorder = startedRecorder();
  recorder->setStartPosition(48000);
  recorder->noteOnAtSamplePosition(2, 60, 100, 72000);
  ASSERT_EQ(recorder->notes.size(), 1u);
  EXPECT_EQ(recorder->notes[0]->position, 1.0);
  EXPECT_EQ(recorder->notes[0]->samplePosition, 72000);
  recorder->noteOffAtSamplePosition(2, 60, 30, 96000);
  EXPECT_THAT(recorder->notes, IsEmpty());
  EXPECT_THAT(eventLog(recorder->getTrack(2)), ElementsAre("1 note 2 60 100 30 1"));
  ASSERT_EQ(recorder->getSequenceNode()->tracks[2]->events.size(), 1u);

  recorder->setSampleRate(44100);
  recorder->setStartPosition(0);
  recorder->controllerAtSamplePosition(0, 7, 100, 33075);
  EXPECT_THAT(eventLog(recorder->getTrack(0)), ElementsAre("1.5 channel B0 07 64"));
  EXPECT_THAT(capturedLog([&] { recorder->setSampleRate(0.0); }),
              ElementsAre("MIDIRecorder::setSampleRate() : ERROR: The sample rate must be above 0, not 0.0."));
  EXPECT_EQ(recorder->getSampleRate(), 44100.0);
}

TEST(MIDIRecorder, TheTempoSetsTheFactorAndTheSequenceTempo) {
  const auto recorder = startedRecorder();
  capturedLog([&] { recorder->setRecorderTempo(60.0); });
  EXPECT_EQ(recorder->tempoFactor, 0.5);
  recorder->controllerAtSamplePosition(0, 1, 1, 24000);
  EXPECT_THAT(eventLog(recorder->getTrack(0)), ElementsAre("2 channel B0 01 01"));

  capturedLog([&] { recorder->setRecorderTempo(5.0); });
  EXPECT_EQ(recorder->tempo, 12.0);
  EXPECT_EQ(recorder->tempoFactor, 0.1);
  EXPECT_EQ(recorder->getTempo(), 5.0);
  EXPECT_THAT(sequencetest::sequenceLog(recorder->getMusicSequence())[0], ElementsAre("0 tempo 5"));
  recorder->setTempofactor(20.0);
  EXPECT_EQ(recorder->tempoFactor, 10.0);
}

TEST(MIDIRecorder, NoteOffsCloseTheOldestPendingNoteOfTheirKey) {
  const auto recorder = startedRecorder();
  recorder->addAUMIDIEvents({std::make_shared<AUMIDIEventEx>(8, std::vector<std::uint8_t>{0x90, 60, 100}, 3, 0),
                             std::make_shared<AUMIDIEventEx>(8, std::vector<std::uint8_t>{0x90, 60, 90}, 3, 12000),
                             std::make_shared<AUMIDIEventEx>(8, std::vector<std::uint8_t>{0x80, 60, 10}, 3, 24000),
                             nullptr});
  EXPECT_THAT(eventLog(recorder->getTrack(0)), ElementsAre("0 note 0 60 100 10 1"));
  ASSERT_EQ(recorder->notes.size(), 1u);
  EXPECT_EQ(recorder->notes[0]->velocity, 90);

  recorder->addAUMIDIEvent(live({0x90, 60, 0}, 36000));
  EXPECT_THAT(eventLog(recorder->getTrack(0)), ElementsAre("0 note 0 60 100 10 1", "0.5 note 0 60 90 64 1"));
  EXPECT_THAT(recorder->notes, IsEmpty());

  const auto unmatched = capturedLog([&] { recorder->addAUMIDIEvent(live({0x81, 61, 0}, 48000)); });
  EXPECT_THAT(unmatched,
              ElementsAre("Warnung: Eine OFF Note 61 auf Kanal 1 konnte nicht zugeordnet werden, an position 48000."));

  recorder->addAUMIDIEvent(live({0x90, 62, 100}, 48000));
  const auto empty = capturedLog([&] { recorder->addAUMIDIEvent(live({0x80, 62, 0}, 48000)); });
  EXPECT_THAT(empty, ElementsAre("Warnung: MIDI Note mit der Länge 0 oder negativ wurde entfernt."));
  EXPECT_THAT(recorder->notes, IsEmpty());
  EXPECT_EQ(eventLog(recorder->getTrack(0)).size(), 2u);
}

TEST(MIDIRecorder, LiveEventsGoToTheirCreatorsByStatus) {
  const auto recorder = startedRecorder();
  const auto log = capturedLog([&] {
    recorder->addAUMIDIEvent(live({0xA3, 60, 40}, 0));
    recorder->addAUMIDIEvent(live({0xB3, 7, 100}, 0));
    recorder->addAUMIDIEvent(live({0xC3, 5}, 0));
    recorder->addAUMIDIEvent(live({0xD3, 30}, 0));
    recorder->addAUMIDIEvent(live({0xE3, 0x00, 0x40}, 0));
    recorder->addAUMIDIEvent(live({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, 12000));
    recorder->addAUMIDIEvent(live({0xF7, 1, 2}, 12000));
    recorder->addAUMIDIEvent(live({0xF8}, 12000));
    recorder->addAUMIDIEvent(live({0x40, 1, 2}, 12000));
    recorder->addAUMIDIEvent(live({0xB3}, 12000));
  });
  EXPECT_THAT(log, ElementsAre("240"));
  EXPECT_THAT(eventLog(recorder->getTrack(3)), ElementsAre("0 channel A3 3C 28", "0 channel B3 07 64",
                                                           "0 channel C3 05 00", "0 channel D3 1E 00",
                                                           "0 channel E3 00 40"));
  EXPECT_THAT(eventLog(recorder->getTrack(0)), ElementsAre("0.5 raw F0 7E 7F 09 01 F7"));
}

TEST(MIDIRecorder, MetaRowsAndTempoMarkersBecomeMetaEventsOfTheirType) {
  const auto recorder = startedRecorder();
  AUMIDIEventEx marker(9, std::vector<std::uint8_t>{0xFD, 0x51, 0x78, 0xFF, 0x51, 0x03, 0x03, 0x93, 0x87}, 4, 24000);
  AUMIDIEventEx text(9, std::vector<std::uint8_t>{0xFD, 0x01, 0x00, 0x48, 0x69}, 5, 48000);
  text.meta = 0x01;
  const auto log = capturedLog([&] {
    recorder->addAUMIDIEvent(marker);
    recorder->addAUMIDIEvent(text);
  });
  EXPECT_THAT(log, ElementsAre("META: length: 9, data : [253, 81, 120, 255, 81, 3, 3, 147, 135]",
                               "META: length: 5, data : [253, 1, 0, 72, 105]"));
  EXPECT_THAT(eventLog(recorder->getTrack(0)), ElementsAre("1 meta 7F FF 51 03 03 93 87", "2 meta 01 48 69"));
}

TEST(MIDIRecorder, AStoppedOrPausedRecorderRecordsNothing) {
  const auto recorder = MIDIRecorder::create();
  EXPECT_THAT(capturedLog([&] { recorder->addAUMIDIEvent(live({0xB0, 7, 100}, 0)); }), ElementsAre(kStopped));
  EXPECT_THAT(capturedLog([&] { recorder->noteOn(0, 60, 100); }), ElementsAre(kStopped));

  recorder->start();
  recorder->addAUMIDIEvent(live({0x90, 60, 100}, 0));
  recorder->pause();
  EXPECT_THAT(recorder->notes, IsEmpty());
  EXPECT_THAT(capturedLog([&] { recorder->addAUMIDIEvent(live({0x80, 60, 0}, 24000)); }), ElementsAre(kStopped));
  recorder->start();
  EXPECT_THAT(capturedLog([&] { recorder->addAUMIDIEvent(live({0x80, 60, 0}, 24000)); }),
              Contains(::testing::HasSubstr("Warnung: Eine OFF Note 60 auf Kanal 0")));
  EXPECT_THAT(eventLog(recorder->getTrack(0)), IsEmpty());

  recorder->createControllerEvent(1.0, 0, 1, 1);
  recorder->setStartPosition(5);
  recorder->stop();
  EXPECT_EQ(recorder->startPosition, 0.0);
  EXPECT_EQ(recorder->startTime, 0.0);
  recorder->reset();
  EXPECT_TRUE(recorder->getSequenceNode()->tracks[0]->events.empty());
  EXPECT_EQ(eventLog(recorder->getTrack(0)).size(), 1u) << "reset empties the tree only";
  dispatch::MainQueue::shared().drain();
}

// A recorder whose wall clock the test moves.
class ClockedRecorder : public MIDIRecorder {
 public:
  static std::shared_ptr<ClockedRecorder> create() {
    std::shared_ptr<ClockedRecorder> recorder(new ClockedRecorder());
    recorder->init();
    return recorder;
  }
  double now = 1000.0;

 protected:
  double wallClockSeconds() const override { return now; }
};

TEST(MIDIRecorder, TheWallClockRoadCountsTwoBeatsPerSecond) {
  const auto recorder = ClockedRecorder::create();
  recorder->start();
  recorder->now = 1000.5;
  const auto log = capturedLog([&] {
    recorder->noteOn(1, 60, 100);
    recorder->noteOn(1, 60, 90);
  });
  EXPECT_THAT(log, ElementsAre("Info: Momentane Position ist: 1.0", "Info: Momentane Position ist: 1.0"));
  recorder->now = 1001.5;
  recorder->noteOff(1, 60, 20);
  EXPECT_THAT(eventLog(recorder->getTrack(1)), ElementsAre("1 note 1 60 100 20 2", "1 note 1 60 90 20 2"));
  EXPECT_THAT(recorder->notes, IsEmpty());
  EXPECT_THAT(capturedLog([&] { recorder->noteOff(1, 60, 20); }),
              Contains("Warnung: Eine OFF Note konnte nicht zugeordnet werden."));
}

}  // namespace
