// Parameters 900 (gain in decibels) and 901 (coarse tuning in whole semitones).

#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

struct Note {
    double levelRms;
    double pitchHz;
};

class Parameters : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path bank = folder.path() / "sine.sf2";
        ASSERT_TRUE(writeSineSoundFont(bank));
        ASSERT_EQ(harness.loadBank(bank), foundation::noErr);
        tree = harness.unit().parameterTree();
        ASSERT_NE(tree, nullptr);
    }

    void set(AUParameterAddress address, AUValue value) {
        const auto parameter = tree->parameterWithAddress(address);
        ASSERT_NE(parameter, nullptr);
        parameter->setValue(value);
    }

    Note playKey69() {
        harness.unit().musicDeviceMIDIEvent(0x90, 69, 100, 0);
        const std::vector<float> note = harness.renderFor(14336);
        harness.unit().musicDeviceMIDIEvent(0x80, 69, 0, 0);
        harness.renderFor(24000);
        return {rms(note, 2048, note.size()), fundamentalHz(note, 2048, note.size())};
    }

    testsupport::TestFolder folder;
    SynthHarness harness;
    std::shared_ptr<AUParameterTree> tree;
};

TEST_F(Parameters, GainInDecibelsScalesTheOutput) {
    const Note reference = playKey69();
    ASSERT_GT(reference.levelRms, 0.01);
    const struct {
        AUValue gainDecibels;
        double expectedRatio;
    } cases[] = {
        {6.0f, 1.9953},
        {-6.0f, 0.50119},
        {-20.0f, 0.1},
        {-96.0f, 1.5849e-5},  // not cut short at a higher floor
        {-120.0f, 1.5849e-5},
        {0.0f, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gainDecibels);
        set(kMIDISynthParameter_GainDecibels, c.gainDecibels);
        const Note note = playKey69();
        EXPECT_NEAR(note.levelRms / reference.levelRms, c.expectedRatio, c.expectedRatio * 0.01);
    }
}

TEST_F(Parameters, CoarseTuningInWholeSemitonesTruncatedTowardZero) {
    const struct {
        AUValue semitones;
        double expectedHz;
    } cases[] = {
        {12.0f, 880.0}, {12.9f, 880.0}, {-12.0f, 220.0}, {-12.9f, 220.0},
        {0.5f, 440.0},  {7.0f, 440.0 * std::pow(2.0, 7.0 / 12.0)},   {0.0f, 440.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.semitones);
        set(kMIDISynthParameter_CoarseTuneSemitones, c.semitones);
        EXPECT_NEAR(playKey69().pitchHz, c.expectedHz, c.expectedHz / 440.0);
    }
}

TEST_F(Parameters, CoarseTuningOutlivesAResetOfAllControllers) {
    set(kMIDISynthParameter_CoarseTuneSemitones, 12.0f);
    harness.unit().musicDeviceMIDIEvent(0xB0, 121, 0, 0);
    EXPECT_NEAR(playKey69().pitchHz, 880.0, 2.0);
}

TEST_F(Parameters, TreeDescribesBothParameters) {
    const auto gain = tree->parameterWithAddress(kMIDISynthParameter_GainDecibels);
    const auto tuning = tree->parameterWithAddress(kMIDISynthParameter_CoarseTuneSemitones);
    ASSERT_NE(gain, nullptr);
    ASSERT_NE(tuning, nullptr);
    EXPECT_EQ(gain->unit(), kAudioUnitParameterUnit_Decibels);
    EXPECT_LE(gain->minValue(), -96.0f);
    EXPECT_EQ(tuning->unit(), kAudioUnitParameterUnit_RelativeSemiTones);
    EXPECT_EQ(tree->allParameters().size(), 2u);
}

}  // namespace
}  // namespace synth_test
