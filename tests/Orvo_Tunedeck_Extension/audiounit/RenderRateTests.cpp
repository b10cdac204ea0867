// The instrument in tune at the host's rate: a sine bank's A4 through the whole render road of a unit allocated at
// that rate, and again after the host changed the rate.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/Orvo_Tunedeck_Extension/audiounit/UnitFixture.h"
#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"

namespace unit_test {
namespace {

class RenderRates : public UnitFixture {
protected:
    void SetUp() override {
        UnitFixture::SetUp();
        bank = folder.path() / "sine.sf2";
        ASSERT_TRUE(synth_test::writeSineSoundFont(bank));
    }

    // Allocates the unit at rateHz with the sine bank, plays key 69 and gives half a second of the left channel.
    std::vector<float> playA4(double rateHz) {
        unit->deallocateRenderResources();
        EXPECT_TRUE(unit->outputBusses()[0]->setFormat(AudioFormat::standard(rateHz, 2)));
        allocate();
        EXPECT_TRUE(unit->loadSoundfontURL(bank));
        dispatch::MainQueue::shared().drain();
        return playA4AsAllocated(rateHz);
    }

    std::vector<float> playA4AsAllocated(double rateHz) {
        std::vector<float> played;
        EventListBuilder noteOn;
        noteOn.midi(start_ + 1, {0x90, 69, 100});
        while (played.size() < static_cast<std::size_t>(rateHz / 2)) {
            EXPECT_EQ(render(start_, played.empty() ? noteOn.head() : nullptr), foundation::noErr);
            played.insert(played.end(), left.begin(), left.end());
            start_ += kFrames;
        }
        return played;
    }

    static double centsFromA4(const std::vector<float>& played, double rateHz) {
        return 1200.0 * std::log2(synth_test::fundamentalHz(played, 2048, played.size(), rateHz) / 440.0);
    }

    std::filesystem::path bank;
    AUEventSampleTime start_ = kFrames;
};

constexpr double kHostRatesHz[] = {22050.0, 44100.0, 48000.0, 96000.0, 176400.0, 192000.0};

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

// A unit a host sets up at its rate: nothing goes out on its MIDI output that would not at 48000 Hz, and A4 is as
// high and as loud as at 48000 Hz.
TEST_F(RenderRates, AFreshUnitPlaysA4At440HzAtOneLevelAtEveryHostRate) {
    std::vector<double> levels;
    for (const double rateHz : kHostRatesHz) {
        SCOPED_TRACE(rateHz);
        TearDown();
        startUnit(rateHz);
        EXPECT_EQ(sentByNextRender(start_), std::vector<SentMessage>{});
        start_ += kFrames;
        const std::vector<float> played = playA4(rateHz);
        EXPECT_NEAR(centsFromA4(played, rateHz), 0.0, 1.0);
        levels.push_back(rms(played.data(), played.size()));
    }
    const double levelAt48kHz = levels[2];
    for (std::size_t i = 0; i < levels.size(); ++i) {
        SCOPED_TRACE(kHostRatesHz[i]);
        EXPECT_NEAR(decibels(levels[i] / levelAt48kHz), 0.0, 0.3);
    }
}

// Until the first render the synthesizer has played nothing at the old rate: the new allocation sends what an
// allocation again at 48000 Hz sends (the stopped player's notes off), no channel settings.
TEST_F(RenderRates, ARateChangeBeforeTheFirstRenderSendsNoChannelSettings) {
    std::vector<std::vector<SentMessage>> sentByRate;
    for (const double rateHz : {48000.0, 44100.0, 192000.0}) {
        SCOPED_TRACE(rateHz);
        TearDown();
        UnitFixture::SetUp();
        unit->deallocateRenderResources();
        ASSERT_TRUE(unit->outputBusses()[0]->setFormat(AudioFormat::standard(rateHz, 2)));
        allocate();
        sentByRate.push_back(sentByNextRender(start_));
    }
    EXPECT_EQ(sentByRate[1], sentByRate[0]);
    EXPECT_EQ(sentByRate[2], sentByRate[0]);
}

TEST_F(RenderRates, ANewRateAtTheNextAllocationReachesTheSynthesizer) {
    for (const double rateHz : {96000.0, 192000.0, 22050.0, 176400.0, 44100.0}) {
        SCOPED_TRACE(rateHz);
        EXPECT_NEAR(centsFromA4(playA4(rateHz), rateHz), 0.0, 1.0);
        EXPECT_EQ(unit->synth()->audioUnit()->outputBusses()[0]->format().sampleRate, rateHz);
    }
}

// The program change reaches the synthesizer at the old rate; at the new one it must be sent again.
TEST_F(RenderRates, ChannelSettingsOutliveARateChange) {
    playA4(48000.0);
    unit->setParameter(1096, 1.5f / 127.0f);  // the first channel's program 1: rooted an octave lower
    render(start_);
    start_ += kFrames;
    EXPECT_NEAR(centsFromA4(playA4(44100.0), 44100.0), 1200.0, 1.0);
}

// A rate change gives the synthesizer back the settings it had been sent, and only those: a channel that was never
// given a level keeps the level it starts with, one given a level keeps that, and no other level, pan or bank goes
// out.
TEST_F(RenderRates, ARateChangeAfterPlayingKeepsTheLevelAndSendsOnlyWhatWasSent) {
    using Messages = std::vector<std::vector<std::uint8_t>>;
    struct Case {
        const char* name;
        bool levelSet;
        Messages sentAgain;
    };
    for (const Case& c : {Case{"start level", false, {}}, Case{"level set", true, {{0xB0, 7, 63}}}}) {
        SCOPED_TRACE(c.name);
        TearDown();
        UnitFixture::SetUp();
        playA4(48000.0);
        if (c.levelSet) unit->setParameter(1032, 0.5f);
        const std::vector<float> before = playA4AsAllocated(48000.0);
        sent.clear();
        const std::vector<float> after = playA4(44100.0);
        EXPECT_NEAR(decibels(rms(after.data(), after.size()) / rms(before.data(), before.size())), 0.0, 0.3);
        Messages controllerSettings;
        for (const SentMessage& message : sent) {
            const bool controller = message.bytes.size() == 3 && (message.bytes[0] & 0xF0) == 0xB0;
            if (controller && (message.bytes[1] == 0 || message.bytes[1] == 7 || message.bytes[1] == 10 ||
                               message.bytes[1] == 32))
                controllerSettings.push_back(message.bytes);
        }
        EXPECT_EQ(controllerSettings, c.sentAgain);
    }
}

TEST_F(RenderRates, ChannelSettingsOutliveARateTheSynthesizerRefused) {
    playA4(48000.0);
    unit->setParameter(1096, 1.5f / 127.0f);
    render(start_);
    start_ += kFrames;
    unit->deallocateRenderResources();
    ASSERT_TRUE(unit->outputBusses()[0]->setFormat(AudioFormat::standard(384000.0, 2)));
    EXPECT_ANY_THROW(unit->allocateRenderResources());
    EXPECT_NEAR(centsFromA4(playA4(44100.0), 44100.0), 1200.0, 1.0);
}

}  // namespace
}  // namespace unit_test
