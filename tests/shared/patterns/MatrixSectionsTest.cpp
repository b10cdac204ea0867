#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "shared/patterns/MatrixSections.h"
#include "tests/shared/midievents/CapturedLog.h"
#include "tests/shared/playback/PlayerFixture.h"

namespace {

constexpr AUAudioFrameCount kFrames = 512;

// A note on channel 0 at each of the beats; the players move it to their own channel.
std::vector<SongEvent> notes(std::initializer_list<double> beats, std::uint8_t note) {
  std::vector<SongEvent> song;
  for (double beat : beats) {
    song.push_back({beat, {0x90, note, 100}});
    song.push_back({beat + 0.01, {0x80, note, 0}});
  }
  return song;
}

// The note-ons of a list, with their times.
std::vector<Out> noteOns(const std::vector<Out>& out) {
  std::vector<Out> kept;
  for (const Out& event : out) {
    if ((event.bytes[0] & 0xF0) == 0x90 && event.bytes[2] > 0) kept.push_back(event);
  }
  return kept;
}

TEST(MatrixSections, EachPlayerMovesOnThroughItsSongAndLoopsAsALonePlayerDoes) {
  MatrixSections matrix;
  auto lone = AUMIDISequencer::create();
  lone->setMultiChannel(false);
  lone->setLooping(true);
  lone->setChannel(3);
  const auto song = notes({0.05, 0.06, 0.08}, 60);  // sample times 1200, 1440 and 1920 at 48000
  capturedLog([&] {
    matrix.sections[1]->tracks[3]->load(songConversion(song), std::nullopt, true);
    lone->load(songConversion(song), std::nullopt, true);
    matrix.start(0);
    lone->start(0);
  });

  std::vector<Out> fromMatrix;
  std::vector<Out> fromLone;
  for (AUEventSampleTime time = kFrames; time <= 40 * kFrames; time += kFrames) {
    const AURenderEvent* head = matrix.process(time, kFrames);
    for (const Out& event : noteOns(collect(head))) {
      EXPECT_EQ(event.bytes[0], 0x93);
      fromMatrix.push_back(event);
    }
    matrix.deallocateRealtimeEventListHead(head);
    for (const Out& event : noteOns(collect(lone->process(time, kFrames)))) fromLone.push_back(event);
  }
  dispatch::MainQueue::shared().drain();
  ASSERT_GE(fromLone.size(), 9u);  // three passes or more
  ASSERT_EQ(fromMatrix.size(), fromLone.size());
  for (std::size_t i = 0; i < fromLone.size(); ++i) {
    EXPECT_EQ(fromMatrix[i].time, fromLone[i].time) << i;
    EXPECT_EQ(fromMatrix[i].bytes, fromLone[i].bytes) << i;
    if (i > 0) {
      EXPECT_GT(fromMatrix[i].time, fromMatrix[i - 1].time) << i;
    }
  }
  EXPECT_EQ(matrix.droppedEvents(), 0u);
}

TEST(MatrixSections, ListIsOrderedBySectionThenChannelWhateverTheTimes) {
  MatrixSections matrix;
  capturedLog([&] {
    matrix.sections[0]->tracks[9]->load(songConversion(notes({0.02}, 40)), std::nullopt, true);
    matrix.sections[1]->tracks[0]->load(songConversion(notes({0.015}, 50)), std::nullopt, true);
    matrix.sections[2]->tracks[5]->load(songConversion(notes({0.001}, 70)), std::nullopt, true);
    matrix.start(0);
  });
  std::vector<Out> ons;
  for (AUEventSampleTime time = kFrames; ons.size() < 3 && time <= 8 * kFrames; time += kFrames) {
    ons = noteOns(collect(matrix.process(time, kFrames)));
  }
  dispatch::MainQueue::shared().drain();
  ASSERT_EQ(ons.size(), 3u);
  EXPECT_EQ(ons[0].bytes, b({0x99, 40, 100}));
  EXPECT_EQ(ons[1].bytes, b({0x90, 50, 100}));
  EXPECT_EQ(ons[2].bytes, b({0x95, 70, 100}));
  EXPECT_GT(ons[0].time, ons[2].time);
}

TEST(MatrixSections, MatrixWithoutSongsGivesNoList) {
  MatrixSections matrix;
  EXPECT_EQ(matrix.process(kFrames, kFrames), nullptr);
  matrix.deallocateRealtimeEventListHead(nullptr);
  EXPECT_TRUE(matrix.allEvents.empty());
}

}  // namespace
