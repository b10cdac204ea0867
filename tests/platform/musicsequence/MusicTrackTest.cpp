#include "platform/musicsequence/MusicTrack.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/musicsequence/MusicEventIterator.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"

namespace {

using sequencetest::eventLog;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Fixture {
  MusicSequence sequence;
  MusicTrack a;
  MusicTrack b;
  MusicTrack tempo;

  Fixture() {
    NewMusicSequence(&sequence);
    MusicSequenceNewTrack(sequence, &a);
    MusicSequenceNewTrack(sequence, &b);
    MusicSequenceGetTempoTrack(sequence, &tempo);
  }
};

// Controllers numbered by their time, so that a log shows where each event went.
void addControllers(const MusicTrack& track, std::initializer_list<double> times) {
  for (double time : times) {
    const MIDIChannelMessage message{0xB0, static_cast<std::uint8_t>(time * 2), 0, 0};
    ASSERT_EQ(MusicTrackNewMIDIChannelEvent(track, time, &message), noErr);
  }
}

double lengthOf(const MusicTrack& track) {
  double length = -1;
  std::uint32_t size = sizeof length;
  EXPECT_EQ(MusicTrackGetProperty(track, kSequenceTrackProperty_TrackLength, &length, &size), noErr);
  return length;
}

TEST(MusicTrackEditing, ClearRemovesTheHalfOpenRange) {
  Fixture f;
  addControllers(f.a, {0.0, 1.0, 2.0, 3.0});
  EXPECT_EQ(MusicTrackClear(f.a, 1.0, 3.0), noErr);
  EXPECT_THAT(eventLog(f.a), ElementsAre("0 channel B0 00 00", "3 channel B0 06 00"));
  EXPECT_EQ(MusicTrackClear(f.a, 2.0, 2.0), kAudio_ParamError);
  EXPECT_EQ(MusicTrackClear(f.a, 3.0, 1.0), kAudio_ParamError);
}

TEST(MusicTrackEditing, CutClosesTheGap) {
  Fixture f;
  addControllers(f.a, {0.0, 1.0, 2.0, 3.0});
  EXPECT_EQ(MusicTrackCut(f.a, 1.0, 2.5), noErr);
  EXPECT_THAT(eventLog(f.a), ElementsAre("0 channel B0 00 00", "1.5 channel B0 06 00"));
}

TEST(MusicTrackEditing, MoveShiftsTheRangeAndStopsAtBeatZero) {
  Fixture f;
  addControllers(f.a, {0.5, 1.0, 2.0, 3.0});
  EXPECT_EQ(MusicTrackMoveEvents(f.a, 1.0, 2.5, 2.0), noErr);
  // A moved event lands after the events already at its new time.
  EXPECT_THAT(eventLog(f.a), ElementsAre("0.5 channel B0 01 00", "3 channel B0 06 00", "3 channel B0 02 00",
                                         "4 channel B0 04 00"));
  EXPECT_EQ(MusicTrackMoveEvents(f.a, 3.0, 5.0, -10.0), noErr);
  EXPECT_THAT(eventLog(f.a), ElementsAre("0 channel B0 06 00", "0 channel B0 02 00", "0 channel B0 04 00",
                                         "0.5 channel B0 01 00"));
}

TEST(MusicTrackEditing, MergeAddsCopiesAndCopyInsertMakesRoomForThem) {
  Fixture merged;
  addControllers(merged.a, {1.0, 2.0, 3.0});
  addControllers(merged.b, {0.0, 4.0});
  EXPECT_EQ(MusicTrackMerge(merged.a, 1.0, 3.0, merged.b, 4.0), noErr);
  EXPECT_THAT(eventLog(merged.b), ElementsAre("0 channel B0 00 00", "4 channel B0 08 00", "4 channel B0 02 00",
                                              "5 channel B0 04 00"));
  EXPECT_THAT(eventLog(merged.a), ElementsAre("1 channel B0 02 00", "2 channel B0 04 00", "3 channel B0 06 00"));

  Fixture inserted;
  addControllers(inserted.a, {1.0, 2.0, 3.0});
  addControllers(inserted.b, {0.0, 4.0});
  EXPECT_EQ(MusicTrackCopyInsert(inserted.a, 1.0, 3.0, inserted.b, 4.0), noErr);
  EXPECT_THAT(eventLog(inserted.b), ElementsAre("0 channel B0 00 00", "4 channel B0 02 00", "5 channel B0 04 00",
                                                "6 channel B0 08 00"));

  Fixture self;
  addControllers(self.a, {0.0, 1.0});
  EXPECT_EQ(MusicTrackMerge(self.a, 0.0, 2.0, self.a, 2.0), noErr);
  EXPECT_THAT(eventLog(self.a), ElementsAre("0 channel B0 00 00", "1 channel B0 02 00", "2 channel B0 00 00",
                                            "3 channel B0 02 00"));

  Fixture crossing;
  EXPECT_EQ(MusicTrackMerge(crossing.a, 0.0, 1.0, crossing.tempo, 0.0), kAudioToolboxErr_IllegalTrackDestination);
  EXPECT_EQ(MusicTrackCopyInsert(crossing.tempo, 0.0, 1.0, crossing.a, 0.0),
            kAudioToolboxErr_IllegalTrackDestination);
}

TEST(MusicTrackProperties, DefaultsAndValuesReadBack) {
  Fixture f;
  MusicTrackLoopInfo loop{-1, -1};
  std::uint32_t size = sizeof loop;
  ASSERT_EQ(MusicTrackGetProperty(f.a, kSequenceTrackProperty_LoopInfo, &loop, &size), noErr);
  EXPECT_EQ(size, 16u);
  EXPECT_EQ(loop.loopDuration, 0.0);
  EXPECT_EQ(loop.numberOfLoops, 0);

  const MusicTrackLoopInfo newLoop{4.0, 2};
  ASSERT_EQ(MusicTrackSetProperty(f.a, kSequenceTrackProperty_LoopInfo, &newLoop, sizeof newLoop), noErr);
  ASSERT_EQ(MusicTrackGetProperty(f.a, kSequenceTrackProperty_LoopInfo, &loop, &size), noErr);
  EXPECT_EQ(loop.loopDuration, 4.0);
  EXPECT_EQ(loop.numberOfLoops, 2);

  const double offset = 2.5;
  ASSERT_EQ(MusicTrackSetProperty(f.a, kSequenceTrackProperty_OffsetTime, &offset, sizeof offset), noErr);
  double offsetBack = 0;
  size = sizeof offsetBack;
  ASSERT_EQ(MusicTrackGetProperty(f.a, kSequenceTrackProperty_OffsetTime, &offsetBack, &size), noErr);
  EXPECT_EQ(offsetBack, 2.5);

  for (MusicSequenceTrackProperty flag : {kSequenceTrackProperty_MuteStatus, kSequenceTrackProperty_SoloStatus}) {
    bool value = true;
    size = sizeof value;
    ASSERT_EQ(MusicTrackGetProperty(f.a, flag, &value, &size), noErr);
    EXPECT_FALSE(value);
    const bool on = true;
    ASSERT_EQ(MusicTrackSetProperty(f.a, flag, &on, sizeof on), noErr);
    ASSERT_EQ(MusicTrackGetProperty(f.a, flag, &value, &size), noErr);
    EXPECT_TRUE(value);
    EXPECT_EQ(size, 1u);
  }

  std::uint32_t automated = 7;
  size = sizeof automated;
  ASSERT_EQ(MusicTrackGetProperty(f.a, kSequenceTrackProperty_AutomatedParameters, &automated, &size), noErr);
  EXPECT_EQ(automated, 0u);

  std::int16_t resolution = 0;
  size = sizeof resolution;
  EXPECT_EQ(MusicTrackGetProperty(f.a, kSequenceTrackProperty_TimeResolution, &resolution, &size), kAudio_ParamError);
  const std::int16_t newResolution = 960;
  ASSERT_EQ(MusicTrackSetProperty(f.tempo, kSequenceTrackProperty_TimeResolution, &newResolution, 2), noErr);
  ASSERT_EQ(MusicTrackGetProperty(f.tempo, kSequenceTrackProperty_TimeResolution, &resolution, &size), noErr);
  EXPECT_EQ(resolution, 960);
}

TEST(MusicTrackProperties, RejectsBadSizesValuesAndUnknownProperties) {
  Fixture f;
  double value = 0;
  std::uint32_t small = 4;
  EXPECT_EQ(MusicTrackGetProperty(f.a, kSequenceTrackProperty_TrackLength, &value, &small), kAudio_ParamError);
  EXPECT_EQ(MusicTrackSetProperty(f.a, kSequenceTrackProperty_TrackLength, &value, 4), kAudio_ParamError);
  std::uint32_t size = sizeof value;
  EXPECT_EQ(MusicTrackGetProperty(f.a, 99, &value, &size), kAudio_ParamError);
  const MusicTrackLoopInfo negative{-1.0, 1};
  EXPECT_EQ(MusicTrackSetProperty(f.a, kSequenceTrackProperty_LoopInfo, &negative, sizeof negative), kAudio_ParamError);
  const double negativeLength = -2.0;
  EXPECT_EQ(MusicTrackSetProperty(f.a, kSequenceTrackProperty_TrackLength, &negativeLength, 8), kAudio_ParamError);
  const std::int16_t zero = 0;
  EXPECT_EQ(MusicTrackSetProperty(f.tempo, kSequenceTrackProperty_TimeResolution, &zero, 2), kAudio_ParamError);
}

TEST(MusicTrackProperties, LengthIsTheLastEventEndOrTheLengthSet) {
  Fixture f;
  EXPECT_EQ(lengthOf(f.a), 0.0);
  addControllers(f.a, {0.0});
  EXPECT_EQ(lengthOf(f.a), 0.0);
  const MIDINoteMessage note{0, 60, 100, 0, 1.5f};
  MusicTrackNewMIDINoteEvent(f.a, 2.0, &note);
  addControllers(f.a, {3.0});
  EXPECT_EQ(lengthOf(f.a), 3.5);
  const double longer = 8.0, shorter = 1.0;
  MusicTrackSetProperty(f.a, kSequenceTrackProperty_TrackLength, &longer, sizeof longer);
  EXPECT_EQ(lengthOf(f.a), 8.0);
  MusicTrackSetProperty(f.a, kSequenceTrackProperty_TrackLength, &shorter, sizeof shorter);
  EXPECT_EQ(lengthOf(f.a), 3.5);
}

TEST(MusicEventIterator, VisitsEveryEventOnceAndStopsAtTheEnd) {
  Fixture f;
  addControllers(f.a, {0.0, 1.0});
  MusicEventIterator iterator;
  ASSERT_EQ(NewMusicEventIterator(f.a, &iterator), noErr);
  bool current = false, next = false;
  EXPECT_EQ(MusicEventIteratorHasCurrentEvent(iterator, &current), noErr);
  EXPECT_EQ(MusicEventIteratorHasNextEvent(iterator, &next), noErr);
  EXPECT_TRUE(current);
  EXPECT_TRUE(next);
  EXPECT_EQ(MusicEventIteratorNextEvent(iterator), noErr);
  MusicEventIteratorHasNextEvent(iterator, &next);
  EXPECT_FALSE(next);
  MusicTimeStamp time = 0;
  MusicEventType type = 0;
  const void* data = nullptr;
  std::uint32_t size = 0;
  EXPECT_EQ(MusicEventIteratorGetEventInfo(iterator, &time, &type, &data, &size), noErr);
  EXPECT_EQ(time, 1.0);
  EXPECT_EQ(type, kMusicEventType_MIDIChannelMessage);
  EXPECT_EQ(size, sizeof(MIDIChannelMessage));
  EXPECT_EQ(static_cast<const MIDIChannelMessage*>(data)->data1, 2);
  EXPECT_EQ(MusicEventIteratorNextEvent(iterator), noErr);
  MusicEventIteratorHasCurrentEvent(iterator, &current);
  EXPECT_FALSE(current);
  EXPECT_EQ(MusicEventIteratorNextEvent(iterator), kAudioToolboxErr_EndOfTrack);
  EXPECT_EQ(MusicEventIteratorGetEventInfo(iterator, &time, &type, &data, &size), kAudioToolboxErr_EndOfTrack);
  EXPECT_EQ(MusicEventIteratorDeleteEvent(iterator), kAudioToolboxErr_EndOfTrack);
  EXPECT_EQ(DisposeMusicEventIterator(iterator), noErr);
  EXPECT_EQ(iterator, nullptr);
}

TEST(MusicEventIterator, DeleteLeavesTheIteratorOnTheFollowingEvent) {
  Fixture f;
  addControllers(f.a, {0.0, 1.0, 2.0});
  MusicEventIterator iterator;
  NewMusicEventIterator(f.a, &iterator);
  MusicEventIteratorNextEvent(iterator);
  EXPECT_EQ(MusicEventIteratorDeleteEvent(iterator), noErr);
  MusicTimeStamp time = 0;
  EXPECT_EQ(MusicEventIteratorGetEventInfo(iterator, &time, nullptr, nullptr, nullptr), noErr);
  EXPECT_EQ(time, 2.0);
  EXPECT_EQ(MusicEventIteratorDeleteEvent(iterator), noErr);
  bool current = true;
  EXPECT_EQ(MusicEventIteratorHasCurrentEvent(iterator, &current), noErr);
  EXPECT_FALSE(current);
  EXPECT_THAT(eventLog(f.a), ElementsAre("0 channel B0 00 00"));
}

TEST(MusicEventIterator, AnyOtherEditMakesItStale) {
  Fixture f;
  addControllers(f.a, {0.0, 1.0});
  MusicEventIterator iterator;
  NewMusicEventIterator(f.a, &iterator);
  addControllers(f.a, {0.5});
  bool current = false;
  EXPECT_EQ(MusicEventIteratorHasCurrentEvent(iterator, &current), kAudio_ParamError);
  EXPECT_EQ(MusicEventIteratorNextEvent(iterator), kAudio_ParamError);
  EXPECT_EQ(MusicEventIteratorGetEventInfo(iterator, nullptr, nullptr, nullptr, nullptr), kAudio_ParamError);
  EXPECT_EQ(MusicEventIteratorDeleteEvent(iterator), kAudio_ParamError);
  MusicSequenceDisposeTrack(f.sequence, f.a);
  EXPECT_EQ(MusicEventIteratorHasCurrentEvent(iterator, &current), kAudio_ParamError);
  EXPECT_THAT(eventLog(f.b), IsEmpty());
}

}  // namespace
