// Bank selects as the generated banks and the DLS reader lay their presets out: melodic banks at 128 x MSB + LSB,
// taken by the next program change; kits at bank 128, which the drum channel always plays.

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/synth/SynthHarness.h"
#include "tests/platform/synth/SynthTestBanks.h"
#include "tests/support/TestFolder.h"

namespace synth_test {
namespace {

// Bank 0 program 0 at 440 Hz, the GS-style variation bank 16 program 0 at 880 Hz, kit 0 at 220 Hz.
const std::vector<SinePreset> kLayout = {{0, 0, 69}, {16, 0, 57}, {128, 0, 81}};

class BankSelect : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const std::filesystem::path bank = folder.path() / GetParam();
        ASSERT_TRUE(std::string(GetParam()) == "layout.dls" ? writeSineDLS(bank, kLayout)
                                                            : writeSineSoundFont(bank, kLayout));
        ASSERT_EQ(harness.loadBank(bank), foundation::noErr);
    }

    void send(uint8_t status, uint8_t data1, uint8_t data2 = 0) {
        ASSERT_EQ(harness.unit().musicDeviceMIDIEvent(status, data1, data2, 0), foundation::noErr);
    }

    double pitchOfKey69(int channel) {
        const auto noteOn = static_cast<uint8_t>(0x90 | channel);
        send(noteOn, 69, 100);
        const std::vector<float> note = harness.renderFor(14336);
        send(noteOn, 69, 0);
        harness.renderFor(24000);
        return fundamentalHz(note, 2048, note.size());
    }

    testsupport::TestFolder folder;
    SynthHarness harness;
};

TEST_P(BankSelect, MelodicBanksAtMSBTimes128PlusLSBTakenByTheProgramChange) {
    send(0xB0, 0, 0);
    send(0xB0, 32, 16);
    EXPECT_NEAR(pitchOfKey69(0), 440.0, 1.0) << "the bank waits for a program change";
    send(0xC0, 0);
    EXPECT_NEAR(pitchOfKey69(0), 880.0, 2.0);
    send(0xB0, 32, 0);
    send(0xC0, 0);
    EXPECT_NEAR(pitchOfKey69(0), 440.0, 1.0);
    send(0xB0, 32, 5);
    send(0xC0, 0);
    EXPECT_NEAR(pitchOfKey69(0), 440.0, 1.0) << "a bank without the program falls back to bank 0";
}

TEST_P(BankSelect, TheDrumChannelPlaysKitsWhateverBankItSelects) {
    EXPECT_NEAR(pitchOfKey69(9), 220.0, 0.5) << "from the start";
    for (const uint8_t lsb : {0, 16, 127}) {
        SCOPED_TRACE(lsb);
        send(0xB9, 0, 0);
        send(0xB9, 32, lsb);
        send(0xC9, 0);
        EXPECT_NEAR(pitchOfKey69(9), 220.0, 0.5);
    }
    EXPECT_NEAR(pitchOfKey69(1), 440.0, 1.0) << "other channels start on bank 0 program 0";
}

INSTANTIATE_TEST_SUITE_P(BothFormats, BankSelect, ::testing::Values("layout.sf2", "layout.dls"));

}  // namespace
}  // namespace synth_test
