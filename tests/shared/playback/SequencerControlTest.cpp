#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Log.h"
#include "shared/playback/AUMIDISequencer.h"
#include "tests/shared/playback/PlayerFixture.h"

namespace {

constexpr AUAudioFrameCount kFrames = 512;

std::vector<std::string> drainedLines(const foundation::LogCapture& capture) {
    dispatch::MainQueue::shared().drain();
    return capture.lines();
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class Control : public ::testing::Test {
protected:
    std::vector<Out> cycle() {
        auto out = collect(player->process(now, kFrames));
        now += kFrames;
        return out;
    }
    // Loads and starts song; returns the first cycle.
    std::vector<Out> play(std::vector<SongEvent> song) {
        player->load(songConversion(std::move(song)), std::nullopt, true);
        player->start(0);
        return cycle();
    }

    foundation::LogCapture capture;
    std::shared_ptr<AUMIDISequencer> player = AUMIDISequencer::create();
    AUEventSampleTime now = kFrames;
};

TEST_F(Control, QueuedMessagesReleaseTheSongsNotesAndLeaveFirst) {
    // 0.03 beats = 720 samples: due 208 frames into the second cycle.
    play({{0.0, b({0x90, 60, 100})}, {0.0, b({0x91, 64, 90})}, {0.03, b({0x90, 67, 80})}, {8.0, b({0x80, 60, 0})}});
    player->sendEvent(2, 0xC0, 5, 0);
    const AUEventSampleTime t = now;
    const auto out = cycle();
    ASSERT_EQ(out.size(), 4U);
    EXPECT_EQ(out[0].bytes, b({0x90, 60, 0}));
    EXPECT_EQ(out[1].bytes, b({0x91, 64, 0}));
    EXPECT_EQ(out[2].bytes, b({0xC2, 5})) << "a program change carries one data byte";
    EXPECT_EQ(out[2].cable, 1);
    EXPECT_EQ(out[3].bytes, b({0x90, 67, 80}));  // the song's event of the same cycle comes after
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i].time, t);
    }
    EXPECT_EQ(out[3].time, t + 208);
}

TEST_F(Control, DataMessagesKeepTheirBytesAndOversizeOrOverflowingOnesAreRefused) {
    std::vector<std::uint8_t> sysex(256, 0x11);
    sysex.front() = 0xF0;
    sysex.back() = 0xF7;
    player->sendEvent(b({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    player->sendEvent(sysex);
    player->sendEvent(std::vector<std::uint8_t>(257, 0xF0));
    player->sendEvent(std::vector<std::uint8_t>{});
    player->sendEvent(0x60, 0xB0, 1, 2);  // 0xB0 + 0x60 > 0xFF
    player->sendEvent(0x4F, 0xB0, 1, 2);  // 0xFF exactly
    const auto out = cycle();
    ASSERT_EQ(out.size(), 3U);
    EXPECT_EQ(out[0].bytes, b({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    EXPECT_EQ(out[0].type, AURenderEventMIDISysEx);
    EXPECT_EQ(out[0].cable, 0);
    EXPECT_EQ(out[1].bytes, sysex);
    EXPECT_EQ(out[2].bytes, b({0xFF})) << "a system reset is one byte";
    const auto lines = drainedLines(capture);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("AUMIDISequencer::sendEvent() : ERROR: "); }),
              3);
}

TEST_F(Control, SoloAfterMuteAllLetsEveryChannelPassAndCutsTheOthers) {
    player->muteAll();
    player->solo(3);
    const auto out = cycle();
    // muteAll's sixteen All Notes Off, then solo's fifteen.
    ASSERT_EQ(out.size(), 31U);
    std::vector<std::uint8_t> soloed;
    for (std::size_t i = 16; i < out.size(); ++i) {
        EXPECT_EQ(out[i].bytes[1], 123);
        soloed.push_back(out[i].bytes[0]);
    }
    EXPECT_EQ(std::count(soloed.begin(), soloed.end(), 0xB3), 0);
    EXPECT_EQ(player->channelFilter().size(), 16U);
}

TEST_F(Control, MutedChannelsAreFilteredAndUnmutedOnesPlayAgain) {
    player->mute(1);
    const auto first = songEventsOnly(play({{0.0, b({0x90, 60, 100})}, {0.0, b({0x91, 61, 100})},
                                            {0.03, b({0x91, 62, 100})}, {8.0, b({0x80, 60, 0})}}));
    ASSERT_EQ(first.size(), 1U);
    EXPECT_EQ(first[0].bytes, b({0x90, 60, 100}));
    player->unmute(1);
    EXPECT_EQ(player->channelFilter().size(), 16U);
    std::vector<Out> later;
    for (int i = 0; i < 4; ++i) {
        for (const Out& event : songEventsOnly(cycle())) {
            later.push_back(event);
        }
    }
    ASSERT_EQ(later.size(), 1U);
    EXPECT_EQ(later[0].bytes, b({0x91, 62, 100}));
}

TEST_F(Control, SetChannelMovesChannelMessagesOnlyAndRefusesChannelSixteen) {
    const std::vector<SongEvent> song = {{0.0, b({0x93, 60, 100})}, {0.0, b({0xE0, 0, 64})},
                                         {0.0, b({0xF0, 0x7E, 0xF7})}, {0.0, b({0xFF, 0x01, 0x00})},
                                         tempoMarker(0.0, 120)};
    player->load(songConversion(song), std::nullopt, true);
    const auto original = (cycle(), player->getEventList());
    player->setChannel(5);
    player->setChannel(16);
    cycle();
    const auto moved = player->getEventList();
    ASSERT_EQ(moved.size(), original.size());
    std::vector<std::uint8_t> statuses;
    for (const auto& event : moved) {
        statuses.push_back(event->data()[0]);
    }
    EXPECT_EQ(statuses, b({0x95, 0xE5, 0xF0, 0xFF, 0xFD}));
    EXPECT_EQ(original[0]->data()[0], 0x93);  // the song handed in is never written
    EXPECT_EQ(player->currentChannel(), 5);
    EXPECT_TRUE(contains(drainedLines(capture), "AUMIDISequencer::ERROR: The channel is invalid."));
}

TEST_F(Control, ClampsAndResetKeepTheRate) {
    player->setRate(0.01);
    EXPECT_DOUBLE_EQ(player->getRate(), 0.1);
    player->setRate(50.0);
    EXPECT_DOUBLE_EQ(player->getRate(), 10.0);
    player->setRate(2.0);
    player->setTempoFactor(0.0);
    cycle();
    EXPECT_DOUBLE_EQ(player->getTempoFactor(), 0.1);
    player->reset();
    cycle();
    EXPECT_DOUBLE_EQ(player->getRate(), 2.0);
    EXPECT_DOUBLE_EQ(player->getTempoFactor(), 1.0);
    EXPECT_TRUE(player->isEmpty());
}

TEST_F(Control, StartWithoutASongLogsAndStaysStopped) {
    player->start(0);
    EXPECT_EQ(cycle().size(), 80U);
    EXPECT_FALSE(player->isPlaying());
    const auto lines = drainedLines(capture);
    EXPECT_EQ(lines, (std::vector<std::string>{"AUMIDISequencer::stop()", "AUMIDISequencer::seek(0.0)",
                                               "AUMIDISequencer::start() at 0",
                                               "AUMIDISequencer::ERROR: There is no MIDI data available for playing."}));
}

TEST_F(Control, DumpoutPrintsEveryEvent) {
    player->load(songConversion({{0.0, b({0x90, 60, 100})}, {1.0, b({0xC0, 5})}}), std::nullopt, true);
    cycle();
    dispatch::MainQueue::shared().drain();
    capture.clear();
    player->dumpout();
    EXPECT_EQ(drainedLines(capture),
              (std::vector<std::string>{"AUMIDISequencer: The following MIDI data is loaded and scheduled for playing: ",
                                        " - 0 : (144, 60, 100)", " - 24000 : (192, 5, 0)"}));
}

class Recorder : public AUMIDISequencerDelegate {
public:
    void onSequencerEnd() override { calls.push_back("end"); }
    void onSequencerLoop(std::int64_t loopCount) override { calls.push_back("loop " + std::to_string(loopCount)); }
    void onSequencerFileLoaded() override { calls.push_back("loaded"); }
    std::vector<std::string> calls;
};

TEST_F(Control, AStagedSongIsSwappedInAtTheNextWrapAndTheDelegateHearsOfIt) {
    auto delegate = std::make_shared<Recorder>();
    player->setDelegate(delegate);
    player->setSamplerate(4096.0);
    player->setLooping(true);
    play({{0.0, b({0x90, 60, 100})}, {1.0, b({0x80, 60, 0})}});
    player->load(songConversion({{0.0, b({0x92, 70, 100})}, {0.5, b({0x82, 70, 0})}}), std::string("next.mid"),
                 false);
    player->start(0);
    std::vector<Out> song;
    for (int i = 0; i < 8; ++i) {
        for (const Out& event : songEventsOnly(cycle())) {
            song.push_back(event);
        }
    }
    dispatch::MainQueue::shared().drain();
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{"loaded", "loop 1", "loaded", "loop 2", "loop 3"}));
    ASSERT_GE(song.size(), 4U);
    EXPECT_EQ(song[0].bytes, b({0x90, 60, 100}));
    EXPECT_EQ(song[2].bytes, b({0x92, 70, 100}));
    EXPECT_DOUBLE_EQ(player->getDurationInBeats(), 0.5);
    EXPECT_EQ(player->currentFile(), std::optional<std::string>("next.mid"));
}

}  // namespace
