// The preload switch: while it is on, bank selects and program changes load instruments and change nothing that
// plays.

#include <gtest/gtest.h>

#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

// Pitch of key 69 on channel 1 as it plays now.
double pitchOfKey69(SynthHarness& harness) {
    EXPECT_EQ(harness.unit().musicDeviceMIDIEvent(0x90, 69, 100, 0), foundation::noErr);
    const std::vector<float> note = harness.renderFor(14336);
    harness.unit().musicDeviceMIDIEvent(0x80, 69, 0, 0);
    harness.renderFor(24000);
    return fundamentalHz(note, 2048, note.size());
}

class Preload : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path bank = folder.path() / "sine.sf2";
        ASSERT_TRUE(writeSineSoundFont(bank));
        ASSERT_EQ(harness.loadBank(bank), foundation::noErr);
    }

    testsupport::TestFolder folder;
    SynthHarness harness;
};

TEST_F(Preload, ProgramChangesLoadWithoutChangingTheChannelsProgram) {
    MIDISynthUnit& unit = harness.unit();
    ASSERT_EQ(harness.setPreload(true), foundation::noErr);
    EXPECT_TRUE(unit.isPreloading());
    EXPECT_EQ(unit.musicDeviceMIDIEvent(0xB0, 0, 0, 0), foundation::noErr);
    EXPECT_EQ(unit.musicDeviceMIDIEvent(0xB0, 32, 0, 0), foundation::noErr);
    EXPECT_EQ(unit.musicDeviceMIDIEvent(0xC0, 1, 0, 0), foundation::noErr);
    EXPECT_EQ(unit.musicDeviceMIDIEvent(0xC9, 0, 0, 0), foundation::noErr);
    const std::vector<float> whilePreloading = harness.renderFor(4096);
    EXPECT_EQ(rms(whilePreloading, 0, whilePreloading.size()), 0.0);
    ASSERT_EQ(harness.setPreload(false), foundation::noErr);
    EXPECT_FALSE(unit.isPreloading());

    EXPECT_NEAR(pitchOfKey69(harness), kRootFrequencyHz, 1.0) << "program 0 still plays";
    ASSERT_EQ(unit.musicDeviceMIDIEvent(0xC0, 1, 0, 0), foundation::noErr);
    EXPECT_NEAR(pitchOfKey69(harness), 2 * kRootFrequencyHz, 2.0) << "a program change that is not preloaded plays";
}

TEST_F(Preload, BankSelectsWhilePreloadingLeaveThePlayingBank) {
    MIDISynthUnit& unit = harness.unit();
    ASSERT_EQ(unit.musicDeviceMIDIEvent(0xC0, 1, 0, 0), foundation::noErr);
    ASSERT_EQ(harness.setPreload(true), foundation::noErr);
    EXPECT_EQ(unit.musicDeviceMIDIEvent(0xB0, 0, 5, 0), foundation::noErr);
    ASSERT_EQ(harness.setPreload(false), foundation::noErr);
    ASSERT_EQ(unit.musicDeviceMIDIEvent(0xC0, 1, 0, 0), foundation::noErr);
    EXPECT_NEAR(pitchOfKey69(harness), 2 * kRootFrequencyHz, 2.0) << "program 1 of bank 0";
}

TEST(PreloadWithoutBank, ProgramChangesFindNothingToLoad) {
    SynthHarness harness;
    ASSERT_EQ(harness.setPreload(true), foundation::noErr);
    EXPECT_NE(harness.unit().musicDeviceMIDIEvent(0xC0, 0, 0, 0), foundation::noErr);
    EXPECT_EQ(harness.unit().musicDeviceMIDIEvent(0xB0, 0, 0, 0), foundation::noErr);
    const uint32_t value = 1;
    EXPECT_EQ(harness.unit().setProperty(kAUMIDISynthProperty_EnablePreload, kAudioUnitScope_Global, 0, &value, 2),
              foundation::kAudioUnitErr_InvalidPropertyValue);
}

}  // namespace
}  // namespace synth_test
