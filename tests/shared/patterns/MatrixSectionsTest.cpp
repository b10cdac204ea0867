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
    for (const AUMIDIEvent& event : lone->processInternal(time, kFrames)) {
      if ((event.data[0] & 0xF0) == 0x90 && event.data[2] > 0) {
        fromLone.push_back({event.eventSampleTime, static_cast<std::uint8_t>(event.eventType), event.cable,
                            std::vector<std::uint8_t>(event.data, event.data + event.length)});
      }
    }
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
}

TEST(MatrixSections, EveryRecordOfABusyCycleIsListedOnce) {
  // 600 notes due in the first window of each of the 128 players: more than a player gives in one call.
  constexpr int kNotes = 600;
  std::vector<SongEvent> song;
  for (int i = 0; i < kNotes; ++i) song.push_back({(i + 0.5) / 24000.0, b({0x90, i >> 7, i & 0x7F})});
  song.push_back({10.0, b({0x80, 0, 0})});  // keeps the songs from wrapping within the test
  MatrixSections matrix;
  capturedLog([&] {
    for (const auto& section : matrix.sections) {
      for (const auto& player : section->tracks) player->load(songConversion(song), std::nullopt, true);
    }
    matrix.start(0);
  });
  // Each row has one player per channel: every note of a channel comes once from each of the eight rows.
  std::vector<std::vector<int>> counts(MatrixSections::trackCount, std::vector<int>(kNotes, 0));
  for (AUEventSampleTime time = 0; time < 4 * 1024; time += 1024) {
    const AURenderEvent* head = matrix.process(time, 1024);
    for (const AURenderEvent* entry = head; entry != nullptr; entry = entry->head.next) {
      const AUMIDIEvent& event = entry->MIDI;
      ++counts[event.data[0] & 0x0F][static_cast<std::size_t>(event.data[1] << 7 | event.data[2])];
    }
    matrix.deallocateRealtimeEventListHead(head);
  }
  dispatch::MainQueue::shared().drain();
  for (std::size_t channel = 0; channel < counts.size(); ++channel) {
    for (std::size_t note = 0; note < counts[channel].size(); ++note) {
      ASSERT_EQ(counts[channel][note], MatrixSections::sectionCount) << "channel " << channel << ", note " << note;
    }
  }
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
