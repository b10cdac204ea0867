// The generated sound banks as the wrapper loads them into the synthesizer: pitch, tuning and gain. (The DLS and
// SoundFont 2 forms of one set are compared where the banks are generated.)

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/audiounit/AudioComponentRegistry.h"
#include "tests/shared/audiounitmidisynth/GeneratedBankPlayer.h"
#include "tests/support/ScopedEnvironment.h"

namespace midisynth_test {
namespace {

using synth_test::fundamentalHz;
using synth_test::kSampleRateHz;
using synth_test::rms;

constexpr int kDLSBank = 0;          // "gs_instruments.dls"
constexpr int kGeneralMIDIBank = 6;  // "soundfont6.sf2"
constexpr uint8_t kA4 = 69;
constexpr uint32_t kHalfSecond = 24000;
// Past the attack of every generated program.
constexpr size_t kSteadyFrom = 4096;

class GeneratedBanks : public ::testing::Test {
protected:
    void SetUp() override { environment.set("TUNEDECK_RESOURCES", TUNEDECK_GENERATED_RESOURCES); }

    testsupport::ScopedEnvironment environment;
};

double pitchOfA4(GeneratedBankPlayer& player, uint8_t program = 0) {
    const auto& note = player.playNote(0, 0, 0, program, kA4, kHalfSecond);
    const double hz = fundamentalHz(note, kSteadyFrom, note.size());
    player.stopNote(0, kA4);
    return hz;
}

TEST_F(GeneratedBanks, CreateFindsTheStandInAndRegistersItOnce) {
    GeneratedBankPlayer first(kDLSBank);
    GeneratedBankPlayer second(kDLSBank);
    EXPECT_NE(first.standIn(), nullptr);
    EXPECT_NE(second.standIn(), nullptr);
    EXPECT_EQ(AudioComponentRegistry::shared().components(first.wrapper().cd).size(), 1u);
}

TEST_F(GeneratedBanks, Key69OfProgram0SoundsAt440HzInEveryBank) {
    const struct {
        int number;
        const char* file;
    } banks[] = {{0, "gs_instruments.dls"}, {1, "soundfont2.sf2"}, {2, "soundfont1.sf2"},
                 {6, "soundfont6.sf2"},     {7, "soundfont7.sf2"}, {9, "soundfont9.sf2"}};
    for (const auto& bank : banks) {
        SCOPED_TRACE(bank.file);
        GeneratedBankPlayer player(bank.number);
        ASSERT_NE(player.standIn(), nullptr);
        EXPECT_EQ(player.standIn()->soundBankPath().filename(), bank.file);
        EXPECT_NEAR(pitchOfA4(player), 440.0, 1.0);
    }
}

// A note-on at offset k of a buffer sounds from frame k on: not one frame earlier, not one frame later. The
// buffer starts 536 frames in, so the library's own blocks do not line up with the buffer.
TEST_F(GeneratedBanks, NoteOnAtAnOffsetStartsExactlyAtThatFrame) {
    for (const int bank : {kDLSBank, kGeneralMIDIBank}) {
        for (const uint32_t offset : {0u, 1u, 37u, 64u, 100u, 255u, 511u}) {
            SCOPED_TRACE("bank " + std::to_string(bank) + ", offset " + std::to_string(offset));
            GeneratedBankPlayer player(bank);
            player.renderFor(512 + 24);
            player.clearRecording();
            synth_test::EventList events;
            events.midi(offset, 0x90, kA4, 100);
            player.render(512, events.head());
            const auto& recording = player.render(512);
            EXPECT_EQ(synth_test::firstSound(recording), offset);
        }
    }
}

TEST_F(GeneratedBanks, CoarseTuningOfTwelveSemitonesDoublesTheFrequency) {
    for (const int bank : {kDLSBank, kGeneralMIDIBank}) {
        SCOPED_TRACE(bank);
        GeneratedBankPlayer player(bank);
        const double untuned = pitchOfA4(player);
        player.wrapper().setParameter(kMIDISynthParameter_CoarseTuneSemitones, 12.0f);
        const double tuned = pitchOfA4(player);
        EXPECT_NEAR(tuned / untuned, 2.0, 0.004) << untuned << " Hz, then " << tuned << " Hz";
    }
}

TEST_F(GeneratedBanks, GainOfSixDecibelsDoublesTheAmplitude) {
    double level[2] = {};
    for (const float decibels : {0.0f, 6.0f}) {
        GeneratedBankPlayer player(kGeneralMIDIBank);
        player.wrapper().setParameter(kMIDISynthParameter_GainDecibels, decibels);
        player.renderFor(2048);
        const auto& note = player.playNote(0, 0, 0, 0, kA4, kHalfSecond);
        level[decibels > 0.0f] = rms(note, kSteadyFrom, note.size());
    }
    ASSERT_GT(level[0], 1e-3);
    EXPECT_NEAR(level[1] / level[0], 2.0, 0.02);
}

}  // namespace
}  // namespace midisynth_test
