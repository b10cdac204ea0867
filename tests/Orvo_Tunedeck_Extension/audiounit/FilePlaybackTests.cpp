// A standard MIDI file played by the instrument's own file player through the render road: its notes reach the MIDI
// output and the audio, its tempo sets the player's tempo factor, and mutes and levels act on what it plays.

#include <gtest/gtest.h>

#include <fstream>

#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"

namespace unit_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Format 0 at 480 ticks per beat and 90 beats per minute: programs 0 on channels 1 and 2, then A4 on channel 1 and
// C5 on channel 2 held for four beats.
Bytes twoChannelFile() {
    const Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x0A, 0x2C, 0x2A,  // 666666 microseconds per beat
                         0x00, 0xC0, 0x00, 0x00, 0xC1, 0x00,        //
                         0x00, 0x90, 0x45, 0x64, 0x00, 0x91, 0x48, 0x64,
                         0x8F, 0x00, 0x80, 0x45, 0x40, 0x00, 0x81, 0x48, 0x40,  // 1920 ticks later
                         0x00, 0xFF, 0x2F, 0x00};
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0,
                  static_cast<std::uint8_t>(track.size())};
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

class FilePlayback : public UnitFixture {
protected:
    void SetUp() override {
        UnitFixture::SetUp();
        const auto path = folder.path() / "two channels.mid";
        const Bytes bytes = twoChannelFile();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        unit->sequencer()->loadMIDIFile(path, true);
        dispatch::MainQueue::shared().drain();
    }

    // Starts the file at the current time, applies the parameter changes (after the player's controller resets) and
    // renders count buffers; returns the mean RMS of the left channel over them.
    double play(int count, const std::vector<std::pair<int64_t, float>>& changes = {}) {
        unit->sequencer()->start(time_);
        for (const auto& [address, value] : changes) {
            unit->setParameter(address, value);
        }
        return renderBuffers(count);
    }

    // Renders count buffers from the current time; returns the mean RMS of the left channel over them.
    double renderBuffers(int count) {
        double sum = 0.0;
        for (int i = 0; i < count; ++i) {
            render(time_);
            time_ += kFrames;
            sum += rms(left.data(), kFrames);
        }
        dispatch::MainQueue::shared().drain();
        return sum / count;
    }

    bool wasSent(const Bytes& bytes) const {
        return std::any_of(sent.begin(), sent.end(), [&](const SentMessage& m) { return m.bytes == bytes; });
    }

    AUEventSampleTime time_ = kFrames;
};

TEST_F(FilePlayback, FilePlaysIntoTheMIDIOutputAndTheAudioAtItsTempo) {
    EXPECT_GT(play(40), 1e-3);
    EXPECT_TRUE(wasSent({0x90, 0x45, 0x64}));
    EXPECT_TRUE(wasSent({0x91, 0x48, 0x64}));
    EXPECT_NEAR(unit->sequencer()->getTempoFactor(), 90.0 / 120.0, 1e-4);
    EXPECT_GT(unit->monitor()->getSize(), 0u);
}

TEST_F(FilePlayback, AMutedChannelIsNeitherSentNorHeard) {
    unit->setParameter(1017, 1.0f);
    EXPECT_GT(play(40), 1e-3);
    EXPECT_TRUE(wasSent({0x90, 0x45, 0x64}));
    EXPECT_FALSE(wasSent({0x91, 0x48, 0x64}));
}

TEST_F(FilePlayback, WithBothChannelsMutedNothingIsSentOrHeard) {
    unit->setParameter(1016, 1.0f);
    unit->setParameter(1017, 1.0f);
    EXPECT_EQ(play(40), 0.0);
    EXPECT_FALSE(wasSent({0x90, 0x45, 0x64}));
    EXPECT_FALSE(wasSent({0x91, 0x48, 0x64}));
}

TEST_F(FilePlayback, FullLevelIsHeard) {
    EXPECT_GT(play(40, {{1017, 1.0f}, {1032, 1.0f}}), 1e-3);
    EXPECT_TRUE(wasSent({0xB0, 0x07, 0x7F}));
}

TEST_F(FilePlayback, LevelZeroSilencesTheChannel) {
    EXPECT_LT(play(40, {{1017, 1.0f}, {1032, 0.0f}}), 1e-4);
    EXPECT_TRUE(wasSent({0x90, 0x45, 0x64}));
    EXPECT_TRUE(wasSent({0xB0, 0x07, 0x00}));
}

// The host tells the instrument that it stopped pulling sound and pulls it again: the player pauses and goes on,
// unless someone moved it in between.
TEST_F(FilePlayback, TheHostsStopAndPlayPauseAndContinueOnlyWhatTheyPaused) {
    const struct {
        const char* what;
        void (*meanwhile)(AUMIDISequencer&);
        bool playsAfter;
    } cases[] = {
        {"nobody moved it", [](AUMIDISequencer&) {}, true},
        {"the view stopped it", [](AUMIDISequencer& player) { player.stop(); }, false},
        {"the view paused it", [](AUMIDISequencer& player) { player.pause(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        play(4);
        ASSERT_TRUE(unit->isSequencerPlaying());
        unit->setParameter(OrvoTunedeck_AudioUnit::kFilePlayerOption, 0);
        EXPECT_FALSE(unit->isSequencerPlaying());
        c.meanwhile(*unit->sequencer());
        unit->setParameter(OrvoTunedeck_AudioUnit::kFilePlayerOption, 1);
        renderBuffers(4);
        EXPECT_EQ(unit->isSequencerPlaying(), c.playsAfter);
    }
}

// While the host pulls no sound, neither starting nor continuing the player makes it play, whoever asks; once the
// host pulls sound again they do.
TEST_F(FilePlayback, StartAndContinueWaitForTheHostToPullSound) {
    const struct {
        const char* what;
        void (*ask)(OrvoTunedeck_AudioUnit&);
    } cases[] = {
        {"start", [](OrvoTunedeck_AudioUnit& u) { u.startSequencer(); }},
        {"continue", [](OrvoTunedeck_AudioUnit& u) { u.continueSequencer(); }},
        {"toggle", [](OrvoTunedeck_AudioUnit& u) { u.toggleSequencer(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        unit->sequencer()->stop();
        unit->setParameter(OrvoTunedeck_AudioUnit::kFilePlayerOption, 0);
        c.ask(*unit);
        renderBuffers(2);
        EXPECT_FALSE(unit->isSequencerPlaying());
        unit->setParameter(OrvoTunedeck_AudioUnit::kFilePlayerOption, 1);
        c.ask(*unit);
        renderBuffers(2);
        EXPECT_TRUE(unit->isSequencerPlaying());
    }
}

}  // namespace
}  // namespace unit_test
