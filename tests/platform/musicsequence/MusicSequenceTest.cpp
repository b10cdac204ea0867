#include "platform/musicsequence/MusicSequence.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/musicsequence/MusicEventIterator.h"
#include "platform/musicsequence/MusicSequenceDump.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"

namespace {

using sequencetest::eventLog;
using ::testing::ElementsAre;

MusicSequence newSequence(int tracks) {
  MusicSequence sequence;
  EXPECT_EQ(NewMusicSequence(&sequence), noErr);
  for (int i = 0; i < tracks; ++i) {
    MusicTrack track;
    EXPECT_EQ(MusicSequenceNewTrack(sequence, &track), noErr);
  }
  return sequence;
}

MusicTrack trackAt(const MusicSequence& sequence, std::uint32_t index) {
  MusicTrack track;
  EXPECT_EQ(MusicSequenceGetIndTrack(sequence, index, &track), noErr);
  return track;
}

MIDIChannelMessage controller(std::uint8_t number) { return {0xB0, number, 0, 0}; }

TEST(MusicSequence, NewSequenceHasAnEmptyTempoTrackAndNoMusicTracks) {
  MusicSequence sequence = newSequence(0);
  std::uint32_t count = 99;
  EXPECT_EQ(MusicSequenceGetTrackCount(sequence, &count), noErr);
  EXPECT_EQ(count, 0u);
  MusicTrack tempo;
  ASSERT_EQ(MusicSequenceGetTempoTrack(sequence, &tempo), noErr);
  EXPECT_TRUE(eventLog(tempo).empty());
  std::int16_t resolution = 0;
  std::uint32_t size = sizeof resolution;
  EXPECT_EQ(MusicTrackGetProperty(tempo, kSequenceTrackProperty_TimeResolution, &resolution, &size), noErr);
  EXPECT_EQ(resolution, 480);
}

TEST(MusicSequence, TrackIndicesFollowCreationAndDisposal) {
  MusicSequence sequence = newSequence(3);
  const MusicTrack second = trackAt(sequence, 1);
  const MusicTrack third = trackAt(sequence, 2);
  std::uint32_t index = 0;
  EXPECT_EQ(MusicSequenceGetTrackIndex(sequence, third, &index), noErr);
  EXPECT_EQ(index, 2u);

  EXPECT_EQ(MusicSequenceDisposeTrack(sequence, second), noErr);
  EXPECT_EQ(MusicSequenceGetTrackIndex(sequence, third, &index), noErr);
  EXPECT_EQ(index, 1u);
  std::uint32_t count = 0;
  MusicSequenceGetTrackCount(sequence, &count);
  EXPECT_EQ(count, 2u);

  MusicTrack track;
  EXPECT_EQ(MusicSequenceGetIndTrack(sequence, 2, &track), kAudioToolboxErr_TrackIndexError);
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  EXPECT_EQ(MusicSequenceGetTrackIndex(sequence, tempo, &index), kAudioToolboxErr_TrackNotFound);
  EXPECT_EQ(MusicSequenceDisposeTrack(sequence, tempo), kAudio_ParamError);
  MusicSequence other = newSequence(1);
  EXPECT_EQ(MusicSequenceGetTrackIndex(sequence, trackAt(other, 0), &index), kAudioToolboxErr_TrackNotFound);
  EXPECT_EQ(MusicSequenceDisposeTrack(sequence, trackAt(other, 0)), kAudioToolboxErr_TrackNotFound);
}

// Every call on a track handle, so that null and stale handles can be tried on all of them.
std::vector<std::pair<const char*, std::function<OSStatus(const MusicTrack&)>>> trackCalls() {
  static const MIDINoteMessage note{0, 60, 100, 0, 1.0f};
  static const MIDIChannelMessage message{0xB0, 7, 100, 0};
  static const MIDIRawData raw{1, {0xF8}};
  static const MIDIMetaEvent meta{1, 0, 0, 0, 0, {0}};
  static const MusicEventUserData user{0, {0}};
  return {
      {"note", [](const MusicTrack& t) { return MusicTrackNewMIDINoteEvent(t, 0.0, &note); }},
      {"channel", [](const MusicTrack& t) { return MusicTrackNewMIDIChannelEvent(t, 0.0, &message); }},
      {"raw", [](const MusicTrack& t) { return MusicTrackNewMIDIRawDataEvent(t, 0.0, &raw); }},
      {"meta", [](const MusicTrack& t) { return MusicTrackNewMetaEvent(t, 0.0, &meta); }},
      {"user", [](const MusicTrack& t) { return MusicTrackNewUserEvent(t, 0.0, &user); }},
      {"tempo", [](const MusicTrack& t) { return MusicTrackNewExtendedTempoEvent(t, 0.0, 120.0); }},
      {"get", [](const MusicTrack& t) {
         double length = 0;
         std::uint32_t size = sizeof length;
         return MusicTrackGetProperty(t, kSequenceTrackProperty_TrackLength, &length, &size);
       }},
      {"set", [](const MusicTrack& t) {
         const double offset = 1.0;
         return MusicTrackSetProperty(t, kSequenceTrackProperty_OffsetTime, &offset, sizeof offset);
       }},
      {"clear", [](const MusicTrack& t) { return MusicTrackClear(t, 0.0, 1.0); }},
      {"cut", [](const MusicTrack& t) { return MusicTrackCut(t, 0.0, 1.0); }},
      {"move", [](const MusicTrack& t) { return MusicTrackMoveEvents(t, 0.0, 1.0, 1.0); }},
      {"merge from", [](const MusicTrack& t) { return MusicTrackMerge(t, 0.0, 1.0, t, 0.0); }},
      {"copy from", [](const MusicTrack& t) { return MusicTrackCopyInsert(t, 0.0, 1.0, t, 0.0); }},
      {"iterator", [](const MusicTrack& t) {
         MusicEventIterator iterator;
         return NewMusicEventIterator(t, &iterator);
       }},
  };
}

TEST(MusicSequence, NullAndStaleHandlesGiveAnErrorOnEveryCall) {
  MusicSequence sequence = newSequence(2);
  const MusicTrack disposed = trackAt(sequence, 1);
  MusicSequenceDisposeTrack(sequence, disposed);
  MusicTrack orphan;
  {
    MusicSequence gone = newSequence(1);
    orphan = trackAt(gone, 0);
  }
  const MusicTrack replaced = trackAt(sequence, 0);
  std::vector<std::uint8_t> file;
  ASSERT_EQ(MusicSequenceFileCreateData(sequence, kMusicSequenceFile_MIDIType, 0, 0, &file), noErr);
  ASSERT_EQ(MusicSequenceFileLoadData(sequence, file, kMusicSequenceFile_MIDIType,
                                      kMusicSequenceLoadSMF_PreserveTracks), noErr);

  for (const auto& [name, call] : trackCalls()) {
    EXPECT_EQ(call(MusicTrack{}), kAudio_ParamError) << name << " on a null track";
    EXPECT_EQ(call(disposed), kAudio_ParamError) << name << " on a disposed track";
    EXPECT_EQ(call(orphan), kAudio_ParamError) << name << " on a track of a released sequence";
    EXPECT_EQ(call(replaced), kAudio_ParamError) << name << " on a track replaced by a file load";
  }

  const MusicSequence none;
  MusicTrack track;
  std::uint32_t number = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(MusicSequenceNewTrack(none, &track), kAudio_ParamError);
  EXPECT_EQ(MusicSequenceGetTrackCount(none, &number), kAudio_ParamError);
  EXPECT_EQ(MusicSequenceGetIndTrack(none, 0, &track), kAudio_ParamError);
  EXPECT_EQ(MusicSequenceGetTempoTrack(none, &track), kAudio_ParamError);
  EXPECT_EQ(MusicSequenceGetTrackIndex(none, track, &number), kAudio_ParamError);
  EXPECT_EQ(MusicSequenceDisposeTrack(none, track), kAudio_ParamError);
  EXPECT_EQ(MusicSequenceFileCreateData(none, kMusicSequenceFile_MIDIType, 0, 0, &data), kAudio_ParamError);
  EXPECT_EQ(MusicSequenceFileLoadData(none, file, kMusicSequenceFile_MIDIType, 0), kAudio_ParamError);
  EXPECT_EQ(CAShow(none), kAudio_ParamError);

  MusicEventIterator nullIterator;
  bool flag = false;
  EXPECT_EQ(MusicEventIteratorHasCurrentEvent(nullIterator, &flag), kAudio_ParamError);
  EXPECT_EQ(MusicEventIteratorNextEvent(nullIterator), kAudio_ParamError);
  EXPECT_EQ(MusicEventIteratorDeleteEvent(nullIterator), kAudio_ParamError);
  EXPECT_EQ(DisposeMusicEventIterator(nullIterator), kAudio_ParamError);
}

TEST(MusicSequence, EventsStayInTimeOrderAndEqualTimesKeepInsertionOrder) {
  MusicSequence sequence = newSequence(1);
  const MusicTrack track = trackAt(sequence, 0);
  const MIDIChannelMessage a = controller(1), b = controller(2), c = controller(3), d = controller(4);
  MusicTrackNewMIDIChannelEvent(track, 2.0, &a);
  MusicTrackNewMIDIChannelEvent(track, 1.0, &b);
  MusicTrackNewMIDIChannelEvent(track, 2.0, &c);
  MusicTrackNewMIDIChannelEvent(track, 1.0, &d);
  EXPECT_THAT(eventLog(track), ElementsAre("1 channel B0 02 00", "1 channel B0 04 00", "2 channel B0 01 00",
                                           "2 channel B0 03 00"));
}

TEST(MusicSequence, RejectsEventsThatDoNotBelongOnTheTrackOrHaveBadValues) {
  MusicSequence sequence = newSequence(1);
  const MusicTrack track = trackAt(sequence, 0);
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  const MIDINoteMessage note{0, 60, 100, 0, 1.0f};
  const MIDINoteMessage negative{0, 60, 100, 0, -1.0f};
  const MIDIChannelMessage message = controller(7);
  EXPECT_EQ(MusicTrackNewExtendedTempoEvent(track, 0.0, 120.0), kAudioToolboxErr_InvalidEventType);
  EXPECT_EQ(MusicTrackNewMIDINoteEvent(tempo, 0.0, &note), kAudioToolboxErr_InvalidEventType);
  EXPECT_EQ(MusicTrackNewMIDIChannelEvent(tempo, 0.0, &message), kAudioToolboxErr_InvalidEventType);
  EXPECT_EQ(MusicTrackNewExtendedTempoEvent(tempo, 0.0, 0.0), kAudio_ParamError);
  EXPECT_EQ(MusicTrackNewExtendedTempoEvent(tempo, 0.0, -5.0), kAudio_ParamError);
  EXPECT_EQ(MusicTrackNewMIDIChannelEvent(track, -1.0, &message), kAudio_ParamError);
  EXPECT_EQ(MusicTrackNewMIDIChannelEvent(track, std::nan(""), &message), kAudio_ParamError);
  EXPECT_EQ(MusicTrackNewMIDINoteEvent(track, 0.0, &negative), kAudio_ParamError);
  EXPECT_EQ(MusicTrackNewMIDINoteEvent(track, 0.0, nullptr), kAudio_ParamError);
  EXPECT_TRUE(eventLog(track).empty());
  EXPECT_TRUE(eventLog(tempo).empty());
}

TEST(MusicSequence, RecordsComeBackWithTheirPayloads) {
  MusicSequence sequence = newSequence(1);
  const MusicTrack track = trackAt(sequence, 0);
  // Payloads run past the declared one-byte array, as callers lay them out.
  alignas(8) std::uint8_t meta[16] = {0x03, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
  alignas(8) std::uint8_t raw[8] = {3, 0, 0, 0, 0xF0, 0x7E, 0xF7};
  const MusicEventUserData user{1, {0x42}};
  MusicTrackNewMetaEvent(track, 0.0, reinterpret_cast<const MIDIMetaEvent*>(meta));
  MusicTrackNewMIDIRawDataEvent(track, 0.0, reinterpret_cast<const MIDIRawData*>(raw));
  MusicTrackNewUserEvent(track, 0.5, &user);
  EXPECT_THAT(eventLog(track), ElementsAre("0 meta 03 61 62 63", "0 raw F0 7E F7", "0.5 user 42"));
}

TEST(MusicSequence, DumpListsTracksPropertiesAndEvents) {
  MusicSequence sequence = newSequence(1);
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  MusicTrackNewExtendedTempoEvent(tempo, 0.0, 90.0);
  const MIDINoteMessage note{2, 60, 100, 0, 0.5f};
  MusicTrackNewMIDINoteEvent(trackAt(sequence, 0), 1.0, &note);
  const bool on = true;
  MusicTrackSetProperty(trackAt(sequence, 0), kSequenceTrackProperty_MuteStatus, &on, sizeof on);
  EXPECT_EQ(MusicSequenceDescription(sequence),
            "Sequence: 1 tracks, time resolution 480\n"
            "Tempo track: 1 events, length 0, loop 0 x 0, offset 0, mute off, solo off\n"
            "  0: tempo 90 bpm\n"
            "Track 0: 1 events, length 1.5, loop 0 x 0, offset 0, mute on, solo off\n"
            "  1: note channel 2, key 60, velocity 100, release 0, duration 0.5\n");
}

}  // namespace
