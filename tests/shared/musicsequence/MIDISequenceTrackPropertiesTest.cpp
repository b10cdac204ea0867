#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/musicsequence/MusicSequence.h"
#include "shared/musicsequence/MIDISequence16.h"
#include "tests/shared/midievents/CapturedLog.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(MIDISequenceTrackProperties, ValuesWrittenReadBack) {
  const auto sequence = MIDISequence16::create();
  const MusicTrack track = sequence->getTrack(3);
  const auto log = capturedLog([&] {
    sequence->setTrackLength(track, 12.0);
    sequence->setOfssetTime(track, 1.5);
    sequence->setMuteStatus(track, true);
    sequence->setSoloStatus(track, true);
    sequence->setAutomatedParameters(track);
    sequence->setTimeResolution(track);
    EXPECT_EQ(sequence->getTrackLength(track), 12.0);
    EXPECT_EQ(sequence->getTrackOffsetTime(track), 1.5);
    EXPECT_TRUE(sequence->getTrackMuteStaus(track));
    EXPECT_TRUE(sequence->getTrackSoloStatus(track));
    EXPECT_FALSE(sequence->getTrackAutomatedParameters(track));
    MusicTrack tempo;
    MusicSequenceGetTempoTrack(sequence->getMusicSequence(), &tempo);
    EXPECT_EQ(sequence->getTrackTimeResolution(tempo), 480);
  });
  EXPECT_THAT(log, IsEmpty());
}

TEST(MIDISequenceTrackProperties, LoopDurationIsTheRangeOrFourBeatsWhenItRunsBackwards) {
  const auto sequence = MIDISequence16::create();
  const MusicTrack track = sequence->getTrack(0);
  const struct {
    double from, to;
    std::int32_t times;
    double duration;
  } cases[] = {{8.0, 4.0, 2, 4.0}, {4.0, 12.0, 3, 8.0}, {0.0, 0.0, 0, 0.0}};
  for (const auto& c : cases) {
    sequence->setLoopInfo(track, c.from, c.to, c.times);
    const MusicTrackLoopInfo loop = sequence->getTrackLoopInfo(track);
    EXPECT_EQ(loop.loopDuration, c.duration) << c.from << " to " << c.to;
    EXPECT_EQ(loop.numberOfLoops, c.times);
  }
}

TEST(MIDISequenceTrackProperties, FailuresAreLoggedAndReadsGiveZero) {
  const auto sequence = MIDISequence16::create();
  const MusicTrack none;
  const MusicTrack music = sequence->getTrack(0);
  const struct {
    const char* name;
    std::function<void()> call;
    const char* line;
  } cases[] = {
      {"length", [&] { EXPECT_EQ(sequence->getTrackLength(none), 0.0); },
       "MIDISequence::Fehler: -50. \nDie Länge der Spur konnte nicht ermittelt werden."},
      {"resolution", [&] { EXPECT_EQ(sequence->getTrackTimeResolution(music), 0); },
       "MIDISequence::Fehler: -50. \nDie Zeitauflösung der Spur konnte nicht ermittelt werden."},
      {"loop", [&] { EXPECT_EQ(sequence->getTrackLoopInfo(none).numberOfLoops, 0); },
       "MIDISequence::Fehler: -50. \nLoop Info für die Spur konnte nicht ermittelt werden."},
      {"offset", [&] { EXPECT_EQ(sequence->getTrackOffsetTime(none), 0.0); },
       "MIDISequence::Fehler: -50. \nDer Zeitverstaz der Spur konnte nicht ermittelt werden."},
      {"mute", [&] { EXPECT_FALSE(sequence->getTrackMuteStaus(none)); },
       "MIDISequence::Fehler: -50. \nDie Stumm Schaltung der Spur konnte nicht ermittelt werden."},
      {"solo", [&] { EXPECT_FALSE(sequence->getTrackSoloStatus(none)); },
       "MIDISequence::Fehler: -50. \nDie Solo Schaltung der Spur konnte nicht ermittelt werden."},
      {"automated", [&] { EXPECT_FALSE(sequence->getTrackAutomatedParameters(none)); },
       "MIDISequence::Fehler: -50. \nDie Automations Info der Spur konnte nicht ermittelt werden."},
      {"set length", [&] { sequence->setTrackLength(none, 1.0); },
       "MIDISequence::Fehler: -50. \nDie Länge der Spur konnte nicht gesetzt werden."},
      {"set offset", [&] { sequence->setOfssetTime(none, 1.0); },
       "MIDISequence::Fehler: -50. \nDer Zeitverstaz der Spur konnte nicht gestzt werden."},
      {"set mute", [&] { sequence->setMuteStatus(none, true); },
       "MIDISequence::Fehler: -50. \nDie Stumm Schaltung der Spur konnte nicht gestzt werden."},
      {"set solo", [&] { sequence->setSoloStatus(none, true); }, "MIDISequence::Fehler: -50"},
      {"set loop", [&] { sequence->setLoopInfo(music, 0.0, 4.0, -1); },
       "MIDISequence::Fehler: Die Loop Information konnte nicht zur Spur hinzugefügt werden: -50"},
  };
  for (const auto& c : cases) EXPECT_THAT(capturedLog(c.call), ElementsAre(c.line)) << c.name;
}

}  // namespace
