// Parameters 900 (gain in decibels) and 901 (coarse tuning in whole semitones).

#include <gtest/gtest.h>

#include <cmath>

#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_render.h"
#include "sampler/src/voice/korvel_profile.h"
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

// The stand-in's gain staging: at 0 dB it plays its output level above what the library itself mixes from the same
// bank and note with the same profile.
TEST_F(Parameters, AtZeroDecibelsTheStandInPlaysItsOutputLevelAboveTheLibrarysMix) {
    const double standIn = playKey69().levelRms;

    korvel_settings_t* settings = new_korvel_settings();
    korvel_settings_setnum(settings, "synth.sample-rate", kSampleRateHz);
    korvel_synth_t* library = new_korvel_synth(settings);
    ASSERT_NE(library, nullptr);
    korvel_synth_set_profile(library, &korvel_product_profile);
    ASSERT_GE(korvel_synth_sfload(library, (folder.path() / "sine.sf2").c_str(), 1), 0);
    korvel_synth_noteon(library, 0, 69, 100);
    std::vector<float> left(14336);
    std::vector<float> right(left.size());
    korvel_synth_write_float(library, static_cast<int>(left.size()), left.data(), 0, 1, right.data(), 0, 1);
    const double mixed = rms(left, 2048, left.size());
    delete_korvel_synth(library);
    delete_korvel_settings(settings);

    ASSERT_GT(mixed, 1e-3);
    EXPECT_NEAR(20.0 * std::log10(standIn / mixed), synth::kOutputLevelDecibels, 0.1);
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
