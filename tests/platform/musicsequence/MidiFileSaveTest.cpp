#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/foundation/Log.h"
#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/support/TestFolder.h"

namespace {

using sequencetest::lines;
using sequencetest::sequenceLog;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

MusicTrack track(const MusicSequence& sequence, std::uint32_t index) {
  MusicTrack t;
  MusicSequenceGetIndTrack(sequence, index, &t);
  return t;
}

// Four tracks: a note on channel 2, a repeated and a zero-length note, system messages and sysex, and an empty one.
// mido takes the escaped system messages for broken sysex, so its check leaves them out.
MusicSequence songToSave(bool withSystemMessages = true) {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  for (int i = 0; i < 4; ++i) {
    MusicTrack t;
    MusicSequenceNewTrack(sequence, &t);
  }
  MusicTrack tempo;
  MusicSequenceGetTempoTrack(sequence, &tempo);
  MusicTrackNewExtendedTempoEvent(tempo, 0.0, 90.0);

  const MIDINoteMessage note{2, 60, 100, 0, 0.5f};
  MusicTrackNewMIDINoteEvent(track(sequence, 0), 1.0, &note);

  // Durations just short of a whole beat, as float arithmetic leaves them, still end on the beat.
  const MIDINoteMessage first{0, 64, 90, 40, 0.99999994f};
  const MIDINoteMessage second{0, 64, 91, 41, 1.0f};
  const MIDINoteMessage zeroLength{0, 65, 92, 42, 0.0f};
  MusicTrackNewMIDINoteEvent(track(sequence, 1), 0.0, &first);
  MusicTrackNewMIDINoteEvent(track(sequence, 1), 1.0, &second);
  MusicTrackNewMIDINoteEvent(track(sequence, 1), 1.0, &zeroLength);

  const MIDIChannelMessage clock{0xF8, 0, 0, 0};
  const MIDIChannelMessage songPosition{0xF2, 0x10, 0x20, 0};
  const MIDIChannelMessage bend{0xE3, 0x00, 0x40, 0};
  alignas(8) std::uint8_t sysex[12] = {6, 0, 0, 0, 0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  alignas(8) std::uint8_t text[12] = {0x01, 0, 0, 0, 2, 0, 0, 0, 'h', 'i'};
  alignas(8) std::uint8_t endOfTrack[12] = {0x2F, 0, 0, 0, 0, 0, 0, 0};
  const MusicEventUserData user{1, {0x42}};
  const MusicTrack system = track(sequence, 2);
  if (withSystemMessages) {
    MusicTrackNewMIDIChannelEvent(system, 0.25, &clock);
    MusicTrackNewMIDIChannelEvent(system, 0.5, &songPosition);
  }
  MusicTrackNewMIDIChannelEvent(system, 0.5, &bend);
  MusicTrackNewMIDIRawDataEvent(system, 0.75, reinterpret_cast<const MIDIRawData*>(sysex));
  MusicTrackNewMetaEvent(system, 0.75, reinterpret_cast<const MIDIMetaEvent*>(endOfTrack));
  MusicTrackNewMetaEvent(system, 1.0, reinterpret_cast<const MIDIMetaEvent*>(text));
  MusicTrackNewUserEvent(system, 1.0, &user);
  const double length = 4.0;
  MusicTrackSetProperty(system, kSequenceTrackProperty_TrackLength, &length, sizeof length);
  return sequence;
}

std::filesystem::path save(const MusicSequence& sequence, const std::filesystem::path& folder) {
  const auto file = folder / "saved.mid";
  EXPECT_EQ(MusicSequenceFileCreate(sequence, file, kMusicSequenceFile_MIDIType, kMusicSequenceFileFlags_EraseFile, 0),
            noErr);
  return file;
}

TEST(MidiFileSave, MidicsvReadsFormatOneWithTempoNotesAndOneEndPerTrack) {
  const testsupport::TestFolder scratch;
  const auto file = save(songToSave(), scratch.path());
  EXPECT_THAT(lines(sequencetest::csvFromMidi(file)),
              ElementsAre("0, 0, Header, 1, 5, 480",
                          "1, 0, Start_track", "1, 0, Tempo, 666667", "1, 0, End_track",
                          "2, 0, Start_track", "2, 480, Note_on_c, 2, 60, 100", "2, 720, Note_off_c, 2, 60, 0",
                          "2, 720, End_track",
                          "3, 0, Start_track", "3, 0, Note_on_c, 0, 64, 90", "3, 480, Note_off_c, 0, 64, 40",
                          "3, 480, Note_on_c, 0, 64, 91", "3, 480, Note_on_c, 0, 65, 92",
                          "3, 480, Note_off_c, 0, 65, 42", "3, 960, Note_off_c, 0, 64, 41", "3, 960, End_track",
                          "4, 0, Start_track", "4, 120, System_exclusive_packet, 1, 248",
                          "4, 240, System_exclusive_packet, 3, 242, 16, 32", "4, 240, Pitch_bend_c, 3, 8192",
                          "4, 360, System_exclusive, 5, 126, 127, 9, 1, 247", "4, 480, Text_t, \"hi\"",
                          "4, 1920, End_track",
                          "5, 0, Start_track", "5, 0, End_track",
                          "0, 0, End_of_file"));
}

TEST(MidiFileSave, MidoReadsTheSameHeaderTempoAndNotes) {
  const testsupport::TestFolder scratch;
  const auto file = save(songToSave(false), scratch.path());
  int exitCode = 0;
  const std::string output = sequencetest::runPython(scratch.path(), R"(
import sys, mido
song = mido.MidiFile(sys.argv[1])
print(song.type, len(song.tracks), song.ticks_per_beat)
for index, track in enumerate(song.tracks):
    tick = 0
    for message in track:
        tick += message.time
        if message.type == 'set_tempo':
            print(index, tick, 'set_tempo', message.tempo)
        elif message.type == 'end_of_track':
            print(index, tick, 'end_of_track')
        elif message.type in ('note_on', 'note_off'):
            print(index, tick, message.copy(time=0))
)", "'" + file.string() + "'", exitCode);
  ASSERT_EQ(exitCode, 0) << output;
  EXPECT_THAT(lines(output),
              ElementsAre("1 5 480", "0 0 set_tempo 666667",
                          "0 0 end_of_track",
                          "1 480 note_on channel=2 note=60 velocity=100 time=0",
                          "1 720 note_off channel=2 note=60 velocity=0 time=0",
                          "1 720 end_of_track",
                          "2 0 note_on channel=0 note=64 velocity=90 time=0",
                          "2 480 note_off channel=0 note=64 velocity=40 time=0",
                          "2 480 note_on channel=0 note=64 velocity=91 time=0",
                          "2 480 note_on channel=0 note=65 velocity=92 time=0",
                          "2 480 note_off channel=0 note=65 velocity=42 time=0",
                          "2 960 note_off channel=0 note=64 velocity=41 time=0",
                          "2 960 end_of_track",
                          "3 1920 end_of_track",
                          "4 0 end_of_track"));
}

TEST(MidiFileSave, LoadSaveLoadKeepsTheEvents) {
  const testsupport::TestFolder scratch;
  const auto& folder = scratch.path();
  const auto fixture = sequencetest::midiFromCsv(folder, "song", R"(0, 0, Header, 1, 3, 96
1, 0, Start_track
1, 0, Tempo, 500000
1, 0, Time_signature, 6, 3, 24, 8
1, 96, Tempo, 400000
1, 96, End_track
2, 0, Start_track
2, 0, Title_t, "Lead"
2, 0, Program_c, 0, 81
2, 0, Note_on_c, 0, 72, 100
2, 24, Note_off_c, 0, 72, 0
2, 24, Note_on_c, 0, 72, 100
2, 48, Note_off_c, 0, 72, 0
2, 50, Pitch_bend_c, 0, 0
2, 60, Control_c, 0, 64, 127
2, 100, End_track
3, 0, Start_track
3, 0, System_exclusive, 3, 65, 16, 247
3, 7, Note_on_c, 9, 42, 64
3, 9, Note_off_c, 9, 42, 0
3, 200, End_track
0, 0, End_of_file
)");
  for (MusicSequenceLoadFlags flags : {kMusicSequenceLoadSMF_ChannelsToTracks, kMusicSequenceLoadSMF_PreserveTracks}) {
    MusicSequence original;
    NewMusicSequence(&original);
    ASSERT_EQ(MusicSequenceFileLoad(original, fixture, kMusicSequenceFile_MIDIType, flags), noErr);
    std::vector<std::uint8_t> saved;
    ASSERT_EQ(MusicSequenceFileCreateData(original, kMusicSequenceFile_MIDIType, kMusicSequenceFileFlags_EraseFile, 0,
                                          &saved),
              noErr);
    EXPECT_EQ(saved[12], 0) << "the division of the file is kept";
    EXPECT_EQ(saved[13], 96);
    MusicSequence reloaded;
    NewMusicSequence(&reloaded);
    ASSERT_EQ(MusicSequenceFileLoadData(reloaded, saved, kMusicSequenceFile_MIDIType, flags), noErr);
    EXPECT_THAT(sequenceLog(reloaded), ElementsAreArray(sequenceLog(original))) << "flags " << flags;
  }
}

TEST(MidiFileSave, ExistingFileIsReplacedOnlyWithTheEraseFlag) {
  const testsupport::TestFolder scratch;
  const auto& folder = scratch.path();
  const auto file = folder / "song.mid";
  std::ofstream(file) << "old";
  const MusicSequence sequence = songToSave();
  EXPECT_EQ(MusicSequenceFileCreate(sequence, file, kMusicSequenceFile_MIDIType, 0, 0), dupFNErr);
  EXPECT_EQ(sequencetest::readFile(file).size(), 3u);
  EXPECT_EQ(MusicSequenceFileCreate(sequence, file, 0x57415645, kMusicSequenceFileFlags_EraseFile, 0),
            kAudioFileUnsupportedFileTypeError);
  EXPECT_EQ(MusicSequenceFileCreate(sequence, folder / "no" / "such.mid", kMusicSequenceFile_MIDIType,
                                    kMusicSequenceFileFlags_EraseFile, 0),
            ioErr);
  ASSERT_EQ(MusicSequenceFileCreate(sequence, file, kMusicSequenceFile_MIDIType, kMusicSequenceFileFlags_EraseFile, 0),
            noErr);
  std::vector<std::uint8_t> inMemory;
  MusicSequenceFileCreateData(sequence, kMusicSequenceFile_MIDIType, 0, 0, &inMemory);
  EXPECT_EQ(sequencetest::readFile(file), inMemory);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1)
      << "no partial file is left behind";
}

TEST(MidiFileSave, AFailedSaveLogsThePathAndTheCause) {
  const testsupport::TestFolder scratch;
  const auto missing = scratch.path() / "no" / "such.mid";
  foundation::LogCapture log;
  EXPECT_EQ(MusicSequenceFileCreate(songToSave(), missing, kMusicSequenceFile_MIDIType,
                                    kMusicSequenceFileFlags_EraseFile, 0),
            ioErr);
  EXPECT_THAT(log.lines(), ElementsAre("MusicSequenceFileCreate: " + missing.string() + ": No such file or directory"));
}

TEST(MidiFileSave, TimesBeyondTheFileFormatAreRefused) {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  MusicTrack t;
  MusicSequenceNewTrack(sequence, &t);
  const MIDIChannelMessage message{0xB0, 1, 2, 0};
  MusicTrackNewMIDIChannelEvent(t, 1e12, &message);
  std::vector<std::uint8_t> data;
  EXPECT_EQ(MusicSequenceFileCreateData(sequence, kMusicSequenceFile_MIDIType, 0, 0, &data), kAudio_ParamError);
  EXPECT_TRUE(data.empty());
}

}  // namespace
