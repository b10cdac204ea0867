#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/events/MIDIBytes.h"
#include "shared/playback/AUMIDISequencer.h"
#include "tests/shared/playback/PlayerFixture.h"

namespace {

// Counters ride in controller messages: channel and controller 102 to 117 carry the high part, the value the low
// seven bits. The player's own controllers (64, 121, 123) stay outside that range.
constexpr int kFirstCounterController = 102;

void queueCounter(AUMIDISequencer& player, int counter) {
    const int high = counter >> 7;
    player.sendEvent(static_cast<std::uint8_t>(high / 16), 0xB0, static_cast<std::uint8_t>(kFirstCounterController + high % 16),
                     static_cast<std::uint8_t>(counter & 0x7F));
}

// System-exclusive messages of varying length carry a second counter and a checkable body.
std::vector<std::uint8_t> sysexFor(int counter) {
    std::vector<std::uint8_t> bytes{0xF0, 0x7D, static_cast<std::uint8_t>(counter >> 7),
                                    static_cast<std::uint8_t>(counter & 0x7F)};
    const int body = counter % 200;
    for (int i = 0; i < body; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((counter + i) & 0x7F));
    }
    bytes.push_back(0xF7);
    return bytes;
}

std::vector<SongEvent> smallSong(int seed) {
    std::vector<SongEvent> song;
    song.push_back(tempoMarker(0.0, static_cast<std::uint8_t>(60 + seed % 120)));
    for (int i = 0; i < 8; ++i) {
        const auto key = static_cast<std::uint8_t>(40 + (seed + i) % 40);
        song.push_back({i * 0.25, b({0x90 + (i % 3), key, 100})});
        song.push_back({i * 0.25 + 0.2, b({0x80 + (i % 3), key, 0})});
    }
    return song;
}

TEST(SequencerThreads, CommandsAndQueuedMessagesCrossToTheRenderThreadWholeAndInOrder) {
    constexpr int kCounters = 4000;
    constexpr int kSysex = 600;
    foundation::LogCapture capture;
    auto player = AUMIDISequencer::create();

    std::atomic<bool> renderDone{false};
    std::vector<int> counters;
    std::vector<int> sysexCounters;
    bool sysexIntact = true;
    std::thread render([&] {
        std::mt19937 random(7);
        std::uniform_int_distribution<AUAudioFrameCount> frames(64, 1024);
        AUEventSampleTime now = 1;
        while (counters.size() < static_cast<std::size_t>(kCounters) ||
               sysexCounters.size() < static_cast<std::size_t>(kSysex)) {
            const AUAudioFrameCount count = frames(random);
            for (const AURenderEvent* entry = player->process(now, count); entry != nullptr; entry = entry->head.next) {
                const AUMIDIEvent& event = entry->MIDI;
                const std::uint8_t* bytes = midiBytes(event);
                if ((bytes[0] & 0xF0) == 0xB0 && bytes[1] >= kFirstCounterController &&
                    bytes[1] < kFirstCounterController + 16) {
                    const int high = (bytes[0] & 0x0F) * 16 + (bytes[1] - kFirstCounterController);
                    counters.push_back(high * 128 + bytes[2]);
                } else if (bytes[0] == 0xF0 && event.length >= 5 && bytes[1] == 0x7D) {
                    const int counter = bytes[2] * 128 + bytes[3];
                    sysexIntact = sysexIntact && std::vector<std::uint8_t>(bytes, bytes + event.length) == sysexFor(counter);
                    sysexCounters.push_back(counter);
                }
            }
            AsideEventList& markers = player->specialEvents();
            for (std::size_t i = 0; i < markers.size(); ++i) {
                player->setTempoFactorFromMarkers(midiBytes(markers[i])[2] / 120.0);
            }
            markers.clear();
            now += count;
            // Paced like a sound card, loosely: unpaced, the loop reports wraps faster than the main queue logs them.
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        renderDone = true;
    });

    std::mt19937 random(11);
    int counter = 0;
    int sysex = 0;
    int operation = 0;
    while (counter < kCounters || sysex < kSysex) {
        switch (random() % 20) {
            case 0: player->start(0); break;
            case 1: player->stop(); break;
            case 2: player->pause(); break;
            case 3: player->_continue(); break;
            case 4: player->seekToPosition(std::uniform_real_distribution<double>(0.0, 1.0)(random)); break;
            case 5: player->setRate(0.5 + (random() % 40) / 10.0); break;
            case 6: player->load(songConversion(smallSong(operation)), std::nullopt, random() % 2 == 0); break;
            case 7: player->setLooping(random() % 2 == 0); break;
            case 8: random() % 2 == 0 ? player->mute(static_cast<std::uint8_t>(random() % 16))
                                      : player->unmute(static_cast<std::uint8_t>(random() % 16)); break;
            case 9: player->setSamplerate(random() % 2 == 0 ? 44100.0 : 48000.0); break;
            case 10:
                if (sysex < kSysex) {
                    player->sendEvent(sysexFor(sysex++));
                }
                break;
            case 11:
                (void)player->getProgress();
                (void)player->getDurationInSeconds();
                (void)player->isPlaying();
                (void)player->getRunningNotesCount();
                break;
            case 12: player->setChannel(static_cast<std::uint8_t>(random() % 16)); break;
            case 13: random() % 8 == 0 ? player->reset() : player->solo(static_cast<std::uint8_t>(random() % 16)); break;
            default:
                if (counter < kCounters) {
                    queueCounter(*player, counter++);
                }
                break;
        }
        if (++operation % 64 == 0) {
            dispatch::MainQueue::shared().drain();
        }
    }
    // Whatever could not enter the ring yet is handed over by the main queue's timer.
    while (!renderDone) {
        dispatch::MainQueue::shared().drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    render.join();
    dispatch::MainQueue::shared().drain();

    std::vector<int> expected(kCounters);
    for (int i = 0; i < kCounters; ++i) {
        expected[i] = i;
    }
    EXPECT_EQ(counters, expected);
    std::vector<int> expectedSysex(kSysex);
    for (int i = 0; i < kSysex; ++i) {
        expectedSysex[i] = i;
    }
    EXPECT_EQ(sysexCounters, expectedSysex);
    EXPECT_TRUE(sysexIntact);
}

}  // namespace
