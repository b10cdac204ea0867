#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/support/TestFolder.h"

namespace {

using sequencetest::sequenceLog;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Log = std::vector<std::string>;

// Two channels in two file tracks after a tempo-map track, with running status, a velocity-0 note-off, sysex and
// metas of several kinds.
constexpr const char* kSongCsv = R"(0, 0, Header, 1, 3, 480
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, Time_signature, 3, 2, 24, 8
1, 0, Key_signature, -2, "major"
1, 960, Tempo, 750000
1, 1920, End_track
2, 0, Start_track
2, 0, Title_t, "Piano"
2, 0, Program_c, 2, 5
2, 0, Note_on_c, 2, 60, 100
2, 240, Control_c, 2, 7, 90
2, 480, Note_off_c, 2, 60, 64
2, 480, Note_on_c, 2, 62, 80
2, 720, Note_on_c, 2, 62, 0
2, 720, Lyric_t, "la"
2, 960, Pitch_bend_c, 2, 8192
2, 960, End_track
3, 0, Start_track
3, 0, System_exclusive, 5, 126, 127, 9, 1, 247
3, 0, Note_on_c, 9, 36, 110
3, 120, Note_off_c, 9, 36, 0
3, 480, Channel_aftertouch_c, 9, 33
3, 480, Poly_aftertouch_c, 9, 36, 20
3, 480, Marker_t, "B"
3, 480, Sequencer_specific, 3, 1, 2, 3
3, 480, Unknown_meta_event, 75, 2, 1, 2
3, 500, End_track
0, 0, End_of_file
)";

const Log kSongTempoTrack = {"0 tempo 120", "0 meta 58 03 02 18 08", "0 meta 59 FE 00", "2 tempo 80"};
const Log kChannel2 = {"0 channel C2 05 00", "0 note 2 60 100 64 1", "0.5 channel B2 07 5A", "1 note 2 62 80 0 0.5",
                       "2 channel E2 00 40"};
const Log kChannel9 = {"0 note 9 36 110 0 0.25", "1 channel D9 21 00", "1 channel A9 24 14"};

MusicSequence load(const std::filesystem::path& file, MusicSequenceLoadFlags flags) {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  EXPECT_EQ(MusicSequenceFileLoad(sequence, file, kMusicSequenceFile_MIDIType, flags), noErr) << file;
  return sequence;
}

std::int16_t resolutionOf(const MusicSequence& sequence) {
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  std::int16_t resolution = 0;
  std::uint32_t size = sizeof resolution;
  MusicTrackGetProperty(tempo, kSequenceTrackProperty_TimeResolution, &resolution, &size);
  return resolution;
}

TEST(MidiFileLoad, ChannelsToTracksGivesOneTrackPerChannelThenOneForSysexAndMeta) {
  const testsupport::TestFolder scratch;
  const auto file = sequencetest::midiFromCsv(scratch.path(), "song", kSongCsv);
  const MusicSequence sequence = load(file, kMusicSequenceLoadSMF_ChannelsToTracks);
  const Log other = {"0 meta 03 50 69 61 6E 6F", "0 raw F0 7E 7F 09 01 F7", "1 meta 06 42", "1 meta 7F 01 02 03",
                     "1 meta 4B 01 02", "1.5 meta 05 6C 61"};
  EXPECT_THAT(sequenceLog(sequence), ElementsAre(kSongTempoTrack, kChannel2, kChannel9, other));
  EXPECT_EQ(resolutionOf(sequence), 480);
}

TEST(MidiFileLoad, PreserveTracksKeepsFileTracksAndTurnsATempoMapTrackIntoTheTempoTrack) {
  const testsupport::TestFolder scratch;
  const auto file = sequencetest::midiFromCsv(scratch.path(), "song", kSongCsv);
  const MusicSequence sequence = load(file, kMusicSequenceLoadSMF_PreserveTracks);
  const Log first = {"0 meta 03 50 69 61 6E 6F", "0 channel C2 05 00", "0 note 2 60 100 64 1",
                     "0.5 channel B2 07 5A", "1 note 2 62 80 0 0.5", "1.5 meta 05 6C 61", "2 channel E2 00 40"};
  const Log second = {"0 raw F0 7E 7F 09 01 F7", "0 note 9 36 110 0 0.25", "1 channel D9 21 00",
                      "1 channel A9 24 14", "1 meta 06 42", "1 meta 7F 01 02 03", "1 meta 4B 01 02"};
  EXPECT_THAT(sequenceLog(sequence), ElementsAre(kSongTempoTrack, first, second));
}

TEST(MidiFileLoad, OverlappingNotesCloseFirstInFirstOutAndOpenNotesEndWithTheirTrack) {
  const testsupport::TestFolder scratch;
  const auto file = sequencetest::midiFromCsv(scratch.path(), "overlap", R"(0, 0, Header, 1, 1, 96
1, 0, Start_track
1, 0, Note_on_c, 0, 60, 90
1, 48, Note_on_c, 0, 60, 91
1, 96, Note_off_c, 0, 60, 10
1, 144, Note_off_c, 0, 60, 11
1, 144, Note_off_c, 0, 61, 12
1, 192, Note_on_c, 0, 64, 92
1, 384, End_track
0, 0, End_of_file
)");
  for (MusicSequenceLoadFlags flags : {kMusicSequenceLoadSMF_ChannelsToTracks, kMusicSequenceLoadSMF_PreserveTracks}) {
    const MusicSequence sequence = load(file, flags);
    EXPECT_THAT(sequenceLog(sequence),
                ElementsAre(Log{}, Log{"0 note 0 60 90 10 1", "0.5 note 0 60 91 11 1", "2 note 0 64 92 0 2"}))
        << "flags " << flags;
    EXPECT_EQ(resolutionOf(sequence), 96);
  }
}

TEST(MidiFileLoad, FormatZeroFileFromMidoLoadsInBothModes) {
  const testsupport::TestFolder scratch;
  const auto& folder = scratch.path();
  const auto file = folder / "mido.mid";
  int exitCode = 0;
  const std::string output = sequencetest::runPython(folder, R"(
import sys, mido
song = mido.MidiFile(type=0, ticks_per_beat=960)
track = mido.MidiTrack()
song.tracks.append(track)
track.append(mido.MetaMessage('set_tempo', tempo=600000, time=0))
track.append(mido.Message('program_change', channel=0, program=10, time=0))
track.append(mido.Message('note_on', channel=0, note=64, velocity=90, time=0))
track.append(mido.Message('note_on', channel=1, note=67, velocity=70, time=480))
track.append(mido.Message('note_off', channel=0, note=64, velocity=30, time=480))
track.append(mido.Message('sysex', data=[0x7E, 0x7F, 0x09, 0x01], time=0))
track.append(mido.Message('note_on', channel=1, note=67, velocity=0, time=480))
track.append(mido.MetaMessage('end_of_track', time=960))
song.save(sys.argv[1])
)", "'" + file.string() + "'", exitCode);
  ASSERT_EQ(exitCode, 0) << output;

  const Log channel0 = {"0 channel C0 0A 00", "0 note 0 64 90 30 1"};
  const Log channel1 = {"0.5 note 1 67 70 0 1"};
  const Log sysex = {"1 raw F0 7E 7F 09 01 F7"};
  EXPECT_THAT(sequenceLog(load(file, kMusicSequenceLoadSMF_ChannelsToTracks)),
              ElementsAre(Log{"0 tempo 100"}, channel0, channel1, sysex));
  EXPECT_THAT(sequenceLog(load(file, kMusicSequenceLoadSMF_PreserveTracks)),
              ElementsAre(Log{"0 tempo 100"}, Log{"0 channel C0 0A 00", "0 note 0 64 90 30 1", "0.5 note 1 67 70 0 1",
                                                  "1 raw F0 7E 7F 09 01 F7"}));
}

TEST(MidiFileLoad, SmpteDivisionCountsTimeAtOneHundredTwentyBeatsPerMinute) {
  // 25 frames per second of 40 ticks: 1000 ticks per second, so 500 ticks per beat at 120 beats per minute.
  const std::vector<std::uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0xE7, 40,
                                          'M', 'T', 'r', 'k', 0, 0, 0, 14,
                                          0x83, 0x74, 0x90, 0x3C, 0x64,  // 500 ticks: note on
                                          0x81, 0x7A, 0x80, 0x3C, 0x00,  // 250 ticks later: note off
                                          0x00, 0xFF, 0x2F, 0x00};
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  ASSERT_EQ(MusicSequenceFileLoadData(sequence, file, kMusicSequenceFile_MIDIType,
                                      kMusicSequenceLoadSMF_PreserveTracks),
            noErr);
  EXPECT_THAT(sequenceLog(sequence), ElementsAre(Log{}, Log{"1 note 0 60 100 0 0.5"}));
  EXPECT_EQ(resolutionOf(sequence), 480);
}

TEST(MidiFileLoad, MissingFileAndWrongTypeAreRefusedAndLeaveTheSequenceAsItWas) {
  const testsupport::TestFolder scratch;
  const auto& folder = scratch.path();
  const auto file = sequencetest::midiFromCsv(folder, "song", kSongCsv);
  MusicSequence sequence = load(file, kMusicSequenceLoadSMF_ChannelsToTracks);
  const auto before = sequenceLog(sequence);
  EXPECT_EQ(MusicSequenceFileLoad(sequence, folder / "missing.mid", kMusicSequenceFile_MIDIType, 1),
            kAudio_FileNotFoundError);
  EXPECT_EQ(MusicSequenceFileLoad(sequence, folder, kMusicSequenceFile_MIDIType, 1), ioErr);
  EXPECT_EQ(MusicSequenceFileLoad(sequence, file, 0x57415645, 1), kAudioFileUnsupportedFileTypeError);
  EXPECT_THAT(sequenceLog(sequence), ElementsAreArray(before));
}

}  // namespace
