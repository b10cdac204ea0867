#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/events/MIDIBytes.h"
#include "shared/playback/AUMIDISequencer.h"
#include "tests/shared/playback/PlayerFixture.h"

namespace {

constexpr AUAudioFrameCount kFrames = 512;

// A player with song loaded and started, driven cycle by cycle from sample time kFrames on.
class Timing : public ::testing::Test {
protected:
    void load(std::vector<SongEvent> song, bool looping = false) {
        player->setLooping(looping);
        player->load(songConversion(std::move(song)), std::nullopt, true);
        cycle();
        player->start(0);
    }
    std::vector<Out> cycle(AUAudioFrameCount frames = kFrames) {
        auto out = collect(player->process(now, frames));
        now += frames;
        return out;
    }
    // Runs cycles until the song's events (not the player's own messages) total count; returns them.
    std::vector<Out> songEvents(std::size_t count, int maxCycles = 2000) {
        std::vector<Out> all;
        for (int i = 0; i < maxCycles && all.size() < count; ++i) {
            for (const Out& event : songEventsOnly(cycle())) {
                all.push_back(event);
            }
        }
        return all;
    }

    foundation::LogCapture capture;
    std::shared_ptr<AUMIDISequencer> player = AUMIDISequencer::create();
    AUEventSampleTime now = kFrames;
};

struct RateCase {
    double rate;
    AUEventSampleTime expected;
};

TEST_F(Timing, NoteAtBeatOneComesOutAtTheScaledFrame) {
    for (const RateCase c : {RateCase{1.0, 24000}, RateCase{2.0, 12000}, RateCase{0.5, 48000}}) {
        player = AUMIDISequencer::create();
        now = kFrames;
        player->setRate(c.rate);
        load({{0.0, b({0xC0, 5})}, {1.0, b({0x90, 60, 100})}});
        const AUEventSampleTime first = now;
        const auto events = songEvents(2);
        ASSERT_EQ(events.size(), 2U) << c.rate;
        EXPECT_EQ(events[0].time, first);
        EXPECT_EQ(events[1].time - first, c.expected) << c.rate;
        EXPECT_EQ(events[1].bytes, b({0x90, 60, 100}));
    }
}

TEST_F(Timing, RateTwoPlacesAnEventSixHundredFileSamplesAheadAtThreeHundred) {
    player->setRate(2.0);
    player->setSamplerate(1200.0);  // beat 1 = 600 file samples
    load({{1.0, b({0x90, 60, 100})}, {100.0, b({0x80, 60, 0})}});
    const AUEventSampleTime first = now;
    const auto out = songEventsOnly(cycle());
    ASSERT_EQ(out.size(), 1U);
    EXPECT_EQ(out[0].time, first + 300);
}

TEST_F(Timing, StartSendsTheResetsAheadOfTheFirstSongEvents) {
    load({{0.0, b({0xC3, 7})}, {0.0, b({0x93, 64, 90})}, {4.0, b({0x83, 64, 0})}});
    const AUEventSampleTime first = now;
    const auto out = cycle();
    ASSERT_EQ(out.size(), 82U);
    for (std::size_t i = 0; i < 32; ++i) {
        EXPECT_EQ(out[i].bytes, b({0xB0 + static_cast<int>(i % 16), 123, 0})) << i;
    }
    for (std::size_t c = 0; c < 16; ++c) {
        EXPECT_EQ(out[32 + 2 * c].bytes, b({0xB0 + static_cast<int>(c), 121, 0}));
        EXPECT_EQ(out[33 + 2 * c].bytes, b({0xB0 + static_cast<int>(c), 64, 0}));
        EXPECT_EQ(out[64 + c].bytes, b({0xC0 + static_cast<int>(c), 0})) << "a program change carries one data byte";
    }
    EXPECT_EQ(out[80].bytes, b({0xC3, 7}));
    EXPECT_EQ(out[81].bytes, b({0x93, 64, 90}));
    for (const Out& event : out) {
        EXPECT_EQ(event.time, first);
        EXPECT_EQ(event.cable, 1);
    }
}

TEST_F(Timing, CyclesAtOrBeforeTimeZeroScheduleNoSongEvents) {
    load({{0.0, b({0x90, 60, 100})}, {1.0, b({0x80, 60, 0})}});
    EXPECT_EQ(collect(player->process(0, kFrames)).size(), 80U);
    EXPECT_EQ(player->sequencerPositionV(), 0);
    const auto out = collect(player->process(kFrames, kFrames));
    ASSERT_EQ(out.size(), 1U);
    EXPECT_EQ(out[0].time, kFrames);
}

TEST_F(Timing, LoopWrapsAndCountsAndReleasesTheRunningNotes) {
    // Last event at 2048 file samples: with 512 frames a pass takes 4 cycles.
    player->setSamplerate(4096.0);
    load({{0.0, b({0x90, 60, 100})}, {1.0, b({0x91, 62, 100})}}, true);
    std::vector<std::int64_t> counts;
    for (int i = 0; i < 12; ++i) {
        const auto out = cycle();
        counts.push_back(player->loopCount());
        if (i == 4) {
            // First cycle of the second pass: both notes released at its start, then the song again from 0.
            ASSERT_EQ(out.size(), 3U);
            EXPECT_EQ(out[0].bytes, b({0x90, 60, 0}));
            EXPECT_EQ(out[1].bytes, b({0x91, 62, 0}));
            EXPECT_EQ(out[2].bytes, b({0x90, 60, 100}));
            EXPECT_EQ(out[2].time, now - kFrames);
        }
    }
    EXPECT_EQ(counts, (std::vector<std::int64_t>{0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3}));
    EXPECT_EQ(player->sequencerStartTime(), 3 * 2048);
    EXPECT_TRUE(player->isPlaying());
}

TEST_F(Timing, NonLoopingEndStopsPastTheEndAndContinuePlaysFromTheBeginning) {
    player->setSamplerate(4096.0);
    load({{0.0, b({0x90, 60, 100})}, {1.0, b({0x80, 60, 0})}});
    for (int i = 0; i < 4; ++i) {
        cycle();
    }
    EXPECT_FALSE(player->isPlaying());
    EXPECT_GE(player->sequencerPositionV(), player->getDurationInSamples());
    EXPECT_DOUBLE_EQ(player->getProgress(), 1.0);
    EXPECT_GE(player->getPositionInSeconds(), player->getDurationInSeconds());
    EXPECT_EQ(cycle().size(), 80U);  // the stop's notes off and resets
    EXPECT_EQ(player->sequencerPositionV(), 2048);  // a stopped player does not move
    player->_continue();
    const AUEventSampleTime resumed = now;
    const auto out = cycle();
    ASSERT_EQ(out.size(), 1U);
    EXPECT_EQ(out[0].bytes, b({0x90, 60, 100}));
    EXPECT_EQ(out[0].time, resumed);
}

// The last event is consumed without being sent: the song still ends (or loops).
TEST_F(Timing, ASkippedLastEventEndsTheSong) {
    const std::vector<SongEvent> lasts = {{1.0, b({0xF0, 0x7E, 0xF7})}, tempoMarker(1.0, 120),
                                          {1.0, b({0x9D, 60, 100})}};
    for (const SongEvent& last : lasts) {
        player = AUMIDISequencer::create();
        player->setSamplerate(4096.0);
        player->mute(13);
        load({{0.0, b({0x90, 60, 100})}, last});
        for (int i = 0; i < 5; ++i) {
            cycle();
        }
        EXPECT_FALSE(player->isPlaying()) << int(last.bytes[0]);
    }
}

TEST_F(Timing, DueTempoMarkersAreCopiedIntoSpecialEventsAndTheSongStaysAsLoaded) {
    player->setSamplerate(4096.0);
    player->mute(13);
    player->setStatusFilter({0xF0});
    load({tempoMarker(0.0, 60), {0.5, b({0x90, 60, 100})}, {1.0, b({0x80, 60, 0})}}, true);
    const AUEventSampleTime first = now;
    cycle();
    ASSERT_EQ(player->specialEvents().size(), 1U);
    const AUMIDIEvent& marker = player->specialEvents()[0];
    EXPECT_EQ(marker.eventSampleTime, first);
    EXPECT_EQ(marker.length, 9U);
    EXPECT_EQ(midiBytes(marker)[2], 60);
    // The song's own marker keeps its file time, so every later pass plays normally.
    EXPECT_EQ(player->getEventList()[0]->pEvent()->eventSampleTime, 0);
    player->specialEvents().clear();
    std::size_t noteOns = 0;
    for (int i = 0; i < 40; ++i) {
        for (const Out& event : cycle()) {
            noteOns += event.bytes[0] == 0x90 && event.bytes[2] == 100 ? 1 : 0;
        }
    }
    EXPECT_EQ(noteOns, 10U);
    EXPECT_EQ(player->specialEvents().size(), 10U);
    EXPECT_EQ(player->loopCount(), 10);
}

// The render block's road: markers become the tempo factor, which scales the next cycles.
TEST_F(Timing, TempoMarkersSetTheTempoFactorThroughTheRenderRoad) {
    load({tempoMarker(0.0, 240), {0.0, b({0xC0, 5})}, {4.0, b({0x90, 60, 100})}, {8.0, b({0x80, 60, 0})}});
    const AUEventSampleTime first = now;
    std::vector<Out> notes;
    for (int i = 0; i < 400 && notes.empty(); ++i) {
        for (const Out& event : songEventsOnly(cycle())) {
            if (event.bytes[0] == 0x90) {
                notes.push_back(event);
            }
        }
        for (std::size_t m = 0; m < player->specialEvents().size(); ++m) {
            player->setTempoFactorFromMarkers(midiBytes(player->specialEvents()[m])[2] / 120.0);
        }
        player->specialEvents().clear();
    }
    EXPECT_DOUBLE_EQ(player->getTempoFactor(), 2.0);
    ASSERT_EQ(notes.size(), 1U);
    // Beat 4 is 96000 file samples; the first cycle ran at factor 1 (512 samples), the rest at 2.
    EXPECT_EQ(notes[0].time - first, 512 + (96000 - 512) / 2);
}

TEST_F(Timing, LateNoteOffsGoOutAtOnceAndLateNoteOnsAreDropped) {
    load({{0.0, b({0x90, 60, 100})}, {0.0, b({0xB0, 7, 90})}, {0.0, b({0x80, 61, 0})}, {0.0, b({0x90, 62, 0})},
          {8.0, b({0x80, 60, 0})}});
    cycle();
    player->seekToEvent(0);  // the play position stays: events 0 to 3 are now late
    std::vector<Out> out;
    for (const Out& event : cycle()) {
        if (event.time == kAUEventSampleTimeImmediate) {
            out.push_back(event);
        }
    }
    ASSERT_EQ(out.size(), 3U);
    EXPECT_EQ(out[0].bytes, b({0xB0, 7, 90}));
    EXPECT_EQ(out[1].bytes, b({0x80, 61, 0}));
    EXPECT_EQ(out[2].bytes, b({0x90, 62, 0}));
    const auto lines = (dispatch::MainQueue::shared().drain(), capture.lines());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "AUMIDISequencer::WARNING: A MIDI events is out of the timeframe (in the past) and will be "
                        "scheduled now."),
              lines.end());
}

struct SeekCase {
    double value;
    std::int64_t positionV;
    std::int64_t index;
};

TEST_F(Timing, SeekToAFractionMovesThePositionAndTheNextEvent) {
    // Events at 0, 96000, 240000, 240000 and 480000 file samples.
    const std::vector<SongEvent> song({{0.0, b({0x90, 60, 100})}, {4.0, b({0x80, 60, 0})}, {10.0, b({0x90, 61, 100})},
          {10.0, b({0x90, 62, 100})}, {20.0, b({0x80, 61, 0})}});
    player->load(songConversion(song), std::nullopt, true);
    for (const SeekCase c : {SeekCase{0.5, 240000, 2}, SeekCase{1.5, 480000, 4}, SeekCase{-1.0, 0, 0},
                             SeekCase{0.25, 120000, 2}}) {
        player->seekToPosition(c.value);
        player->process(now, kFrames);  // stopped: the seek takes effect, nothing moves
        EXPECT_EQ(player->sequencerPositionV(), c.positionV) << c.value;
        EXPECT_EQ(player->getCurrentEventIndex(), c.index) << c.value;
    }
}

TEST_F(Timing, ProgressAndDurationsFollowThePosition) {
    player->setSamplerate(44100.0);
    player->load(songConversion({{0.0, b({0x90, 60, 100})}, {3.0, b({0x80, 60, 0})}}), std::nullopt, true);
    EXPECT_EQ(player->getProgress(), 0.0);
    player->process(now, kFrames);
    EXPECT_EQ(player->getDurationInSamples(), 66150);
    EXPECT_DOUBLE_EQ(player->getDurationInSeconds(), 1.5);
    EXPECT_DOUBLE_EQ(player->getDurationInBeats(), 3.0);
    player->seekToPosition(0.5);
    player->process(now, kFrames);
    EXPECT_EQ(player->sequencerPositionV(), 33075);
    EXPECT_DOUBLE_EQ(player->getProgress(), 0.5);
    EXPECT_DOUBLE_EQ(player->getCurrentPositionInBeats(), 1.5);
    EXPECT_DOUBLE_EQ(player->getPositionInSeconds(), 0.75);
}

TEST_F(Timing, PauseAndContinueShiftTheStartTimeAndKeepThePosition) {
    load({{0.0, b({0x90, 60, 100})}, {1.0, b({0x91, 61, 100})}, {4.0, b({0x80, 60, 0})}});
    for (int i = 0; i < 10; ++i) {
        cycle();
    }
    const std::int64_t position = player->sequencerPositionV();
    const std::int64_t start = player->sequencerStartTime();
    player->pause();
    cycle();
    now += 96000 - kFrames;
    player->_continue();
    cycle();
    EXPECT_EQ(player->sequencerStartTime(), start + 96000);
    EXPECT_EQ(player->sequencerPositionV(), position + kFrames);
    const auto events = songEvents(1);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0].bytes, b({0x91, 61, 100}));
}

TEST_F(Timing, ASongLoadedBeforeTheRateIsSetIsConvertedAgain) {
    load({{0.0, b({0x90, 60, 100})}, {2.0, b({0x80, 60, 0})}});
    for (int i = 0; i < 4; ++i) {
        cycle();
    }
    player->setSamplerate(44100.0);
    cycle();
    EXPECT_EQ(player->getDurationInSamples(), 44100);
    EXPECT_DOUBLE_EQ(player->getDurationInSeconds(), 1.0);
    EXPECT_EQ(player->sequencerPositionV(), static_cast<std::int64_t>(4 * kFrames * 44100.0 / 48000.0) + kFrames);
}

TEST_F(Timing, BothListsEmptyGiveNothing) {
    EXPECT_EQ(player->process(now, kFrames), nullptr);
    EXPECT_EQ(player->currentSampleTime(), now);
}

}  // namespace
