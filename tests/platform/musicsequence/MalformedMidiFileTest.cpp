#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <unistd.h>

#include "platform/musicsequence/MusicSequenceFile.h"
#include "platform/musicsequence/MusicTrack.h"
#include "tests/platform/musicsequence/support/SequenceTestSupport.h"
#include "tests/support/TestFolder.h"

namespace {

using sequencetest::sequenceLog;
using Bytes = std::vector<std::uint8_t>;

// A small well-formed file: a tempo track and one track using running status, a sysex and a meta event.
//   MThd 6: format 1, 2 tracks, 96 ticks per beat
//   MTrk: 00 FF 51 03 07 A1 20, 00 FF 2F 00
//   MTrk: 00 90 3C 64, 30 3C 00 (running status), 00 F0 02 7E F7, 00 FF 03 01 41, 10 FF 2F 00
const Bytes kSmallFile = {
    'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96,
    'M', 'T', 'r', 'k', 0, 0, 0, 11, 0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00,
    'M', 'T', 'r', 'k', 0, 0, 0, 21, 0x00, 0x90, 0x3C, 0x64, 0x30, 0x3C, 0x00, 0x00, 0xF0, 0x02, 0x7E, 0xF7,
    0x00, 0xFF, 0x03, 0x01, 0x41, 0x10, 0xFF, 0x2F, 0x00};

constexpr std::size_t kTempoTrackStart = 14;
constexpr std::size_t kMusicTrackStart = 33;
constexpr std::size_t kMusicEvents = kMusicTrackStart + 8;

MusicSequence sequenceWithContent() {
  MusicSequence sequence;
  NewMusicSequence(&sequence);
  EXPECT_EQ(MusicSequenceFileLoadData(sequence, kSmallFile, 0, kMusicSequenceLoadSMF_PreserveTracks), noErr);
  return sequence;
}

OSStatus loadBoth(const MusicSequence& sequence, const Bytes& bytes) {
  const OSStatus channels = MusicSequenceFileLoadData(sequence, bytes, 0, kMusicSequenceLoadSMF_ChannelsToTracks);
  const OSStatus preserve = MusicSequenceFileLoadData(sequence, bytes, 0, kMusicSequenceLoadSMF_PreserveTracks);
  EXPECT_EQ(channels == noErr, preserve == noErr);
  return channels;
}

TEST(MalformedMidiFile, TheSmallFileItselfLoads) {
  EXPECT_THAT(sequenceLog(sequenceWithContent()),
              ::testing::ElementsAre(std::vector<std::string>{"0 tempo 120"},
                                     std::vector<std::string>{"0 note 0 60 100 0 0.5", "0.5 raw F0 7E F7",
                                                              "0.5 meta 03 41"}));
}

TEST(MalformedMidiFile, EveryTruncationIsAnErrorAndLeavesTheSequenceAsItWas) {
  const MusicSequence sequence = sequenceWithContent();
  const auto before = sequenceLog(sequence);
  for (std::size_t length = 0; length < kSmallFile.size(); ++length) {
    const Bytes truncated(kSmallFile.begin(), kSmallFile.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(loadBoth(sequence, truncated), kAudioFileInvalidFileError) << "truncated to " << length << " bytes";
  }
  EXPECT_EQ(sequenceLog(sequence), before);
}

TEST(MalformedMidiFile, SingleByteCorruptionsAreErrors) {
  struct Corruption {
    const char* what;
    std::size_t offset;
    std::uint8_t value;
  };
  const Corruption corruptions[] = {
      {"header identifier", 0, 'X'},
      {"header length below six", 7, 5},
      {"header length past the end", 4, 0x7F},
      {"format 3", 9, 3},
      {"division 0", 13, 0},
      {"SMPTE division of 20 frames per second", 12, 0xEC},
      {"more tracks than the file holds", 11, 3},
      {"track identifier, so the second track is missing", kMusicTrackStart, 'X'},
      {"track length past the end", kMusicTrackStart + 7, 0x40},
      {"tempo length 2", kTempoTrackStart + 11, 0x02},
      {"undefined status F4", kMusicEvents + 1, 0xF4},
      {"data byte with the high bit set", kMusicEvents + 3, 0xE4},
      {"data byte with no running status", kMusicEvents + 1, 0x3C},
      {"delta time running into the next event", kMusicEvents + 4, 0xFF},
      {"sysex length past the track", kMusicEvents + 9, 0x7F},
      {"meta type with the high bit set", kMusicEvents + 14, 0x83},
      {"meta length past the track", kMusicEvents + 15, 0x20},
  };
  const MusicSequence sequence = sequenceWithContent();
  for (const Corruption& c : corruptions) {
    Bytes corrupted = kSmallFile;
    corrupted.at(c.offset) = c.value;
    EXPECT_EQ(loadBoth(sequence, corrupted), kAudioFileInvalidFileError) << c.what;
  }
}

TEST(MalformedMidiFile, EveryByteValueAtEveryPositionLoadsOrFailsCleanly) {
  const MusicSequence sequence = sequenceWithContent();
  int failures = 0;
  for (std::size_t offset = 0; offset < kSmallFile.size(); ++offset) {
    Bytes corrupted = kSmallFile;
    for (int value = 0; value < 256; ++value) {
      corrupted[offset] = static_cast<std::uint8_t>(value);
      const OSStatus status = loadBoth(sequence, corrupted);
      if (status != noErr) {
        ++failures;
        EXPECT_EQ(status, kAudioFileInvalidFileError);
      }
    }
  }
  EXPECT_GT(failures, 0);
}

TEST(MalformedMidiFile, EmptyGarbledAndOversizedFilesAreErrors) {
  const testsupport::TestFolder scratch;
  const auto& folder = scratch.path();
  const MusicSequence sequence = sequenceWithContent();
  const auto before = sequenceLog(sequence);

  std::ofstream(folder / "empty.mid").close();
  EXPECT_EQ(MusicSequenceFileLoad(sequence, folder / "empty.mid", kMusicSequenceFile_MIDIType, 1),
            kAudioFileInvalidFileError);

  std::mt19937 random(1234);
  for (int round = 0; round < 200; ++round) {
    Bytes garbled(static_cast<std::size_t>(random() % 512));
    for (auto& b : garbled) b = static_cast<std::uint8_t>(random());
    if (round % 2 == 0 && garbled.size() >= 14) std::copy(kSmallFile.begin(), kSmallFile.begin() + 14, garbled.begin());
    EXPECT_EQ(loadBoth(sequence, garbled), kAudioFileInvalidFileError) << "round " << round;
  }

  // Sparse, so that the test does not write 64 MiB.
  const auto oversized = folder / "oversized.mid";
  {
    std::ofstream out(oversized, std::ios::binary);
    out.write(reinterpret_cast<const char*>(kSmallFile.data()), static_cast<std::streamsize>(kSmallFile.size()));
  }
  ASSERT_EQ(::truncate(oversized.c_str(), (64 << 20) + 1), 0);
  EXPECT_EQ(MusicSequenceFileLoad(sequence, oversized, kMusicSequenceFile_MIDIType, 1), kAudioFileInvalidFileError);

  // A chunk that claims far more bytes than the file holds.
  Bytes huge = kSmallFile;
  huge[kMusicTrackStart + 4] = 0xFF;
  EXPECT_EQ(loadBoth(sequence, huge), kAudioFileInvalidFileError);

  EXPECT_EQ(sequenceLog(sequence), before);
}

}  // namespace
