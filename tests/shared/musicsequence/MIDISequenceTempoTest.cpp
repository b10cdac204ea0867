#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/foundation/NumberText.h"
#include "platform/musicsequence/MusicTrack.h"
#include "shared/musicsequence/MIDISequence.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using sequencetest::eventLog;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

MusicTrack tempoTrackOf(const std::shared_ptr<MIDISequence>& sequence) {
  MusicTrack track;
  EXPECT_EQ(MusicSequenceGetTempoTrack(sequence->getMusicSequence(), &track), noErr);
  return track;
}

void addTempo(const MusicTrack& track, double beat, double bpm) {
  ASSERT_EQ(MusicTrackNewExtendedTempoEvent(track, beat, bpm), noErr);
}

void addTimeSignature(const MusicTrack& track, double beat) {
  alignas(MIDIMetaEvent) std::uint8_t record[12] = {0x58, 0, 0, 0, 4, 0, 0, 0, 4, 2, 24, 8};
  ASSERT_EQ(MusicTrackNewMetaEvent(track, beat, reinterpret_cast<const MIDIMetaEvent*>(record)), noErr);
}

TEST(MIDISequenceTempo, MarkersCarryTheTempoAndTheGridTime) {
  const struct {
    double bpm;
    double beat;
    double samplerate;
    AUEventSampleTime sampleTime;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {120.0, 0.0, 48000.0, 0, {0xFD, 0x51, 0x78, 0xFF, 0x51, 0x03, 0x03, 0x93, 0x87}},
      {90.0, 4.0, 44100.0, 88200, {0xFD, 0x51, 0x5A, 0xFF, 0x51, 0x03, 0x02, 0xAE, 0xA5}},
      {300.0, 1.0, 48000.0, 24000, {0xFD, 0x51, 0x78, 0xFF, 0x51, 0x03, 0x08, 0xF0, 0xD1}},
      {254.9, 0.5, 48000.0, 12000, {0xFD, 0x51, 0xFE, 0xFF, 0x51, 0x03, 0x07, 0x98, 0xBB}},
      {0.5, 1.0 / 3.0, 44100.0, 7350, {0xFD, 0x51, 0x00, 0xFF, 0x51, 0x03, 0x00, 0x03, 0xD0}},
  };
  for (const auto& c : cases) {
    const auto sequence = MIDISequence::create();
    const MusicTrack track = tempoTrackOf(sequence);
    addTempo(track, c.beat, c.bpm);
    std::vector<std::shared_ptr<AUMIDIEventEx>> markers;
    const auto log = capturedLog([&] { markers = sequence->getTempoEvents(track, c.samplerate); });
    ASSERT_EQ(markers.size(), 1u) << c.bpm;
    const AUMIDIEventEx& marker = *markers[0];
    EXPECT_EQ(marker.array(), c.bytes) << c.bpm;
    EXPECT_EQ(marker.pEvent()->eventSampleTime, c.sampleTime) << c.bpm;
    EXPECT_EQ(marker.pEvent()->eventType, AURenderEventMIDISysEx);
    EXPECT_EQ(marker.pEvent()->length, 9);
    EXPECT_EQ(marker.pEvent()->cable, 0);
    EXPECT_EQ(marker.id, 1000000);
    EXPECT_EQ(marker.duration, c.bpm);
    EXPECT_EQ(marker.beats, 0.0);
    EXPECT_THAT(log, ElementsAre("MIDISequence::Info: Extended Tempo Event: " + foundation::numberText(c.bpm) +
                                 ", Position = " + foundation::numberText(c.beat)));
  }
}

TEST(MIDISequenceTempo, MarkersAreNumberedPerCallAndOtherEventsStayWithAWarning) {
  const auto sequence = MIDISequence::create();
  const MusicTrack track = tempoTrackOf(sequence);
  addTempo(track, 0.0, 120.0);
  addTimeSignature(track, 0.0);
  addTempo(track, 2.0, 90.0);
  sequence->currentTempo = 100.0;

  std::vector<std::shared_ptr<AUMIDIEventEx>> markers;
  EXPECT_THAT(capturedLog([&] { markers = sequence->getTempoEvents(track, 48000.0); }),
              ElementsAre("MIDISequence::Info: Extended Tempo Event: 120.0, Position = 0.0",
                          "MIDISequence::Warnung: Anderes MIDI Event auf der Tempospur vom Type 5 gefunden.",
                          "MIDISequence::Info: Extended Tempo Event: 90.0, Position = 2.0"));
  ASSERT_EQ(markers.size(), 2u);
  EXPECT_EQ(markers[0]->id, 1000000);
  EXPECT_EQ(markers[1]->id, 1000001);
  EXPECT_EQ(markers[1]->pEvent()->eventSampleTime, 48000);
  EXPECT_EQ(sequence->getTempo(), 120.0);
  capturedLog([&] { markers = sequence->getTempoEvents(track, 48000.0); });
  EXPECT_EQ(markers.front()->id, 1000000);

  EXPECT_THAT(capturedLog([&] { sequence->removeTempoEvents(track); }),
              ElementsAre("MIDISequence::Warnung: Alle Tempo Events werden aus der Spur gelöscht.",
                          "MIDISequence::Info: Lösche Extended Tempo Message: 120.0, Position = 0.0",
                          "MIDISequence::Warnung: Anderes MIDI Event auf der Tempospur vom Type 5 gefunden.",
                          "MIDISequence::Info: Lösche Extended Tempo Message: 90.0, Position = 2.0"));
  EXPECT_THAT(eventLog(track), ElementsAre("0 meta 58 04 02 18 08"));
}

TEST(MIDISequenceTempo, SetTempoLeavesOneTempoEventAndAddingKeepsTheOthers) {
  const auto sequence = MIDISequence::create();
  const MusicTrack track = tempoTrackOf(sequence);
  for (double beat : {0.0, 1.0, 2.0}) addTempo(track, beat, 100.0 + beat);

  const auto log = capturedLog([&] { sequence->setTempo(90.0); });
  EXPECT_EQ(log.front(), "MIDISequence::Warnung: Alle Tempo Events werden aus der Spur gelöscht.");
  EXPECT_EQ(log.back(), "Das Tempo der Sequenz wurde auf 90.0 gesetzt.");
  EXPECT_EQ(log.size(), 5u);
  EXPECT_THAT(eventLog(track), ElementsAre("0 tempo 90"));
  EXPECT_EQ(sequence->getTempo(), 90.0);

  EXPECT_THAT(capturedLog([&] { sequence->setTempo(100.5, 8.0); }),
              ElementsAre("MIDISequence::Info: Ein neues Tempo '100.5' wurde in die Tempo Spur eingefügt."));
  EXPECT_THAT(eventLog(track), ElementsAre("0 tempo 90", "8 tempo 100.5"));
  EXPECT_EQ(sequence->getTempo(), 90.0);

  const std::string refused = std::to_string(kAudio_ParamError);
  const auto zeroTempo = capturedLog([&] { sequence->setTempo(0.0, 1.0); });
  EXPECT_EQ(zeroTempo.front(),
            "MIDISequence::Fehler: " + refused + ". \nDas Tempo konnte nicht zur Tempo Spur hinzugefügt werden.");
  EXPECT_THAT(eventLog(track), ElementsAre("0 tempo 90", "8 tempo 100.5"));

  sequence->ensureSongLength(12.0);
  sequence->ensureSongLength(4.0);
  EXPECT_EQ(sequence->getLength(), 12.0);
}

TEST(MIDISequenceTempo, EmptyTrackAndMissingSequenceGiveNoMarkers) {
  const auto sequence = MIDISequence::create();
  const MusicTrack track = tempoTrackOf(sequence);
  std::vector<std::shared_ptr<AUMIDIEventEx>> markers;
  EXPECT_THAT(capturedLog([&] { markers = sequence->getTempoEvents(track, 48000.0); }),
              ElementsAre("MIDISequence::Warnung: Die Spur enthält keine Daten."));
  EXPECT_THAT(markers, IsEmpty());

  sequence->setMusicSequence(nullptr);
  const std::string undefined = "MIDISequence::Fehler: Die Sequenz ist undefiniert.";
  EXPECT_THAT(capturedLog([&] {
                sequence->setTempo(90.0);
                sequence->setTempo(90.0, 1.0);
                sequence->removeTempoEvents(track);
                markers = sequence->getTempoEvents(track, 48000.0);
              }),
              ElementsAre(undefined + " Tempo kann nicht gesetzt werden.", undefined, undefined, undefined));
  EXPECT_THAT(markers, IsEmpty());
  EXPECT_EQ(sequence->getTempo(), 120.0);

  std::optional<MusicTrack> missing;
  const auto log = capturedLog([&] { missing = sequence->getTempoTrack(); });
  EXPECT_FALSE(missing.has_value());
  EXPECT_EQ(log.front(), "MIDISequence::Fehler: -50. \nDie Tempo Spur konnte nicht ermittelt werden.");
}

// A tempo whose product needs more than 32 bits, or a position whose sample time needs more than 64, cannot be
// carried by a marker: it is refused, not wrapped, and the numbering goes on without it.
TEST(MIDISequenceTempo, TemposAndPositionsAMarkerCannotCarryAreRefused) {
  const auto sequence = MIDISequence::create();
  const MusicTrack track = tempoTrackOf(sequence);
  addTempo(track, 0.0, 9000.0);
  addTempo(track, 1.0, 8589.9);
  addTempo(track, 1e300, 120.0);
  std::vector<std::shared_ptr<AUMIDIEventEx>> markers;
  const auto log = capturedLog([&] { markers = sequence->getTempoEvents(track, 48000.0); });
  EXPECT_THAT(log, ::testing::Contains("MIDISequence::Fehler: Das Tempo 9000.0 kann nicht als Tempo Marke kodiert "
                                       "werden."));
  EXPECT_THAT(log, ::testing::Contains("MIDISequence::Fehler: Die Position 1e+300 ergibt keine gültige Sample Zeit."));
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_EQ(markers[0]->id, 1000000);
  EXPECT_EQ(markers[0]->array()[6], 0xFF);
  EXPECT_EQ(markers[0]->array()[8], 0xBC);
}

}  // namespace
