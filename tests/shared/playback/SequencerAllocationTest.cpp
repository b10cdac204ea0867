#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/playback/AUMIDISequencer.h"
#include "tests/shared/playback/PlayerFixture.h"
#include "tests/support/AllocationCounter.h"

namespace {

// Every road through a cycle: loading, queued messages and system exclusive, releases, tempo markers, late and
// future events, loop wraps, the end of a song and its stop messages.
TEST(SequencerAllocation, ProcessDoesNotAllocateAfterWarmUp) {
    foundation::LogCapture capture;
    auto player = AUMIDISequencer::create();
    player->setSamplerate(4096.0);
    std::vector<SongEvent> song{tempoMarker(0.0, 120), {0.0, b({0xC0, 5})}};
    for (int i = 0; i < 32; ++i) {
        song.push_back({i * 0.1, b({0x90, 40 + i, 100})});
        song.push_back({i * 0.1 + 0.05, b({0x80, 40 + i, 0})});
    }
    song.push_back({3.5, b({0xF0, 0x7E, 0xF7})});

    AUEventSampleTime now = 512;
    std::uint64_t allocations = 0;
    const auto run = [&](int cycles, bool count) {
        for (int i = 0; i < cycles; ++i) {
            const std::uint64_t before = testsupport::allocationsOnThisThread();
            player->process(now, 256 + 128 * (i % 4));
            player->specialEvents().clear();
            if (count) {
                allocations += testsupport::allocationsOnThisThread() - before;
            }
            now += 256 + 128 * (i % 4);
        }
    };
    player->load(songConversion(song), std::nullopt, true);
    player->start(0);
    run(4, false);

    for (int round = 0; round < 3; ++round) {
        player->setLooping(round != 1);
        player->sendEvent(1, 0xB0, 7, 100);
        player->sendEvent(std::vector<std::uint8_t>(200, 0x11));
        run(10, true);
        player->seekToEvent(0);  // late events
        run(3, true);
        player->seekToPosition(0.5);
        player->pause();
        run(2, true);
        player->_continue();
        player->setRate(10.0);
        run(40, true);
        player->load(songConversion(song), std::nullopt, round == 2);
        player->start(0);
        run(5, true);
        dispatch::MainQueue::shared().drain();
    }
    EXPECT_EQ(allocations, 0U);
}

}  // namespace
