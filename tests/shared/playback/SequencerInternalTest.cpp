// The player's plain-record scheduling (processInternal), as the track matrix uses it.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/playback/AUMIDISequencer.h"
#include "shared/playback/SequencerFile.h"
#include "tests/shared/playback/PlayerFixture.h"

namespace {

// At 48000 samples per second a beat is 24000 samples.
constexpr double kBeatsPerSample = 1.0 / 24000.0;

struct Stamped {
    AUEventSampleTime time;
    std::uint8_t status;
    std::uint16_t length;
    bool operator==(const Stamped&) const = default;
};

class Internal : public ::testing::Test {
protected:
    void load(std::vector<SongEvent> song, bool looping = false) {
        player->setLooping(looping);
        player->load(songConversion(std::move(song)), std::nullopt, true);
        player->start(0);
    }
    std::vector<Stamped> call(AUEventSampleTime time, AUAudioFrameCount frames) {
        std::vector<Stamped> out;
        for (const AUMIDIEvent& event : player->processInternal(time, frames)) {
            EXPECT_EQ(event.next, nullptr);
            out.push_back({event.eventSampleTime, event.data[0], event.length});
        }
        return out;
    }
    void TearDown() override { dispatch::MainQueue::shared().drain(); }

    foundation::LogCapture capture;
    std::shared_ptr<AUMIDISequencer> player = AUMIDISequencer::create();
};

std::vector<SongEvent> threeNotes() {
    return {{0 * kBeatsPerSample, b({0x90, 60, 100})},
            {1000 * kBeatsPerSample, b({0x91, 62, 100})},
            {2000 * kBeatsPerSample, b({0x92, 64, 100})}};
}

TEST_F(Internal, AWindowEndingOnAnEventReturnsItAndKeepsTheNextOneWaiting) {
    load(threeNotes());
    EXPECT_EQ(call(0, 1000), (std::vector<Stamped>{{0, 0x90, 3}, {1000, 0x91, 3}}));
    EXPECT_EQ(player->getCurrentEventIndex(), 2);
    EXPECT_TRUE(call(1000, 512).empty());
    EXPECT_EQ(player->getCurrentEventIndex(), 2);
    EXPECT_EQ(call(1512, 512), (std::vector<Stamped>{{2000, 0x92, 3}}));
    EXPECT_FALSE(player->isPlaying()) << "the last event ends a song that does not loop";
    EXPECT_TRUE(call(2024, 512).empty());
}

TEST_F(Internal, ALoopingSongIsStampedPassAfterPass) {
    load(threeNotes(), true);
    std::vector<AUEventSampleTime> times;
    for (AUEventSampleTime now = 0; now < 5500; now += 512) {
        for (const Stamped& event : call(now, 512)) times.push_back(event.time);
    }
    EXPECT_EQ(times, (std::vector<AUEventSampleTime>{0, 1000, 2000, 2000, 3000, 4000, 4000, 5000}));
    EXPECT_EQ(player->loopCount(), 2);
    EXPECT_TRUE(player->isPlaying());
}

TEST_F(Internal, OnlyTheChannelFilterApplies) {
    load({{0.0, b({0x91, 60, 100})},
          {0.0, b({0xB2, 7, 90})},
          tempoMarker(0.0, 90),
          {0.0, b({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7})},
          {1.0, b({0x90, 60, 0})}});
    player->mute(1);
    player->setStatusFilter({0xB0});
    player->setRate(4.0);
    EXPECT_EQ(call(0, 512), (std::vector<Stamped>{{0, 0xB2, 3}, {0, 0xFD, 3}, {0, 0xF0, 3}}))
        << "no tempo scaling or status filter; long messages keep their first three bytes";
    player->muteAll();
    EXPECT_TRUE(call(512, 24000).empty());
    EXPECT_EQ(player->getCurrentEventIndex(), 4);
}

TEST_F(Internal, EveryDueEventComesOnceInOrderAcrossTheRecordLimit) {
    for (const int dueCount : {511, 512, 513, 600, 1024}) {
        SCOPED_TRACE(dueCount);
        player = AUMIDISequencer::create();
        // One controller message per sample, its index in its two data bytes, and a later event that keeps the song
        // from ending inside the window.
        std::vector<SongEvent> song;
        for (int index = 0; index < dueCount; ++index) {
            song.push_back({(index + 0.5) * kBeatsPerSample, b({0xB0, index >> 7, index & 0x7F})});
        }
        song.push_back({100000 * kBeatsPerSample, b({0x90, 60, 100})});
        load(std::move(song));

        std::vector<int> indices;
        std::vector<AUEventSampleTime> times;
        for (AUEventSampleTime now = 0; now < 8192; now += 2048) {
            for (const AUMIDIEvent& event : player->processInternal(now, 2048)) {
                indices.push_back(event.data[1] << 7 | event.data[2]);
                times.push_back(event.eventSampleTime);
            }
        }
        ASSERT_EQ(indices.size(), static_cast<std::size_t>(dueCount));
        for (int index = 0; index < dueCount; ++index) {
            EXPECT_EQ(indices[static_cast<std::size_t>(index)], index);
            EXPECT_EQ(times[static_cast<std::size_t>(index)], index);
        }
        EXPECT_EQ(player->getCurrentEventIndex(), dueCount) << "the index waits on the later event";
    }
}

TEST_F(Internal, AStoppedPlayerGivesNothing) {
    player->load(songConversion(threeNotes()), std::nullopt, true);
    EXPECT_TRUE(call(0, 4096).empty());
    EXPECT_EQ(player->getCurrentEventIndex(), 0);
}

TEST_F(Internal, TheLastListCanBeFreedBeforeTheNextCycle) {
    player->sendEvent(0, 0xC0, 5, 0);
    const std::vector<Out> first = collect(player->process(512, 512));
    ASSERT_FALSE(first.empty());
    player->deallocateRealtimeEventListHead();
    player->deallocateRealtimeEventListHead();
    player->sendEvent(0, 0xC0, 6, 0);
    const std::vector<Out> second = collect(player->process(1024, 512));
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].bytes, b({0xC0, 6}));
}

TEST(SequencerFileRecord, StartsEmpty) {
    const SequencerFile file;
    EXPECT_TRUE(file.filePath.empty());
    EXPECT_TRUE(file.fileEvents.empty());
}

}  // namespace
