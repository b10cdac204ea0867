// Values that reach the synthesizer from outside: pitch-bend data bytes, sound-font indexes, the chorus's argument
// order and the bank and program numbers of a tuning dump.
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/sys/korvel_settings.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SynthArguments : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings = new_korvel_settings();
        ASSERT_NE(settings, nullptr);
        synth = new_korvel_synth(settings);
        ASSERT_NE(synth, nullptr);
    }

    void TearDown() override
    {
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
    }

    korvel_settings_t* settings = nullptr;
    korvel_synth_t* synth = nullptr;
};

TEST_F(SynthArguments, PitchBendTakesSevenBitsOfEachDataByte)
{
    struct Case {
        int lsb;
        int msb;
        int stored;
    };
    const std::vector<Case> cases = {
        {0x00, 0x40, 8192}, {0x7F, 0x7F, 16383}, {0xFF, 0xFF, 16383}, {0x80, 0x40, 8192},
        {0x01, 0xC0, 8193}, {0x00, 0x00, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << "0xE0 0x" << c.lsb << " 0x" << c.msb);
        ASSERT_EQ(korvel_synth_pitch_bend(synth, 0, c.lsb, c.msb), 0);
        int stored = -1;
        ASSERT_EQ(korvel_synth_get_pitch_bend(synth, 0, &stored), 0);
        EXPECT_EQ(stored, c.stored);
    }
}

TEST_F(SynthArguments, OnlyIndexesOfLoadedSoundFontsNameOne)
{
    const std::string path = sf2::scratch_path("one.sf2");
    ASSERT_TRUE(sf2::general_bank().write(path));
    ::testing::internal::CaptureStdout();
    ASSERT_GT(korvel_synth_sfload(synth, path.c_str(), 1), 0);
    ::testing::internal::GetCapturedStdout();
    struct Case {
        unsigned int index;
        bool found;
    };
    const std::vector<Case> cases = {
        {0, true}, {1, false}, {0x7FFFFFFFu, false}, {0x80000000u, false}, {0xFFFFFFFFu, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(korvel_synth_get_sfont(synth, c.index) != nullptr, c.found);
    }
}

TEST_F(SynthArguments, ChorusTakesVoicesTypeLevelSpeedAndDepthInThatOrder)
{
    struct Case {
        int nr;
        int type;
        double level;
        double speed_hz;
        double depth_ms;
    };
    const std::vector<Case> cases = {
        {4, KORVEL_CHORUS_MOD_TRIANGLE, 1.5, 0.5, 6.0},
        {1, KORVEL_CHORUS_MOD_SINE, 0.5, 2.0, 3.0},
        {7, KORVEL_CHORUS_MOD_TRIANGLE, 3.0, 4.5, 2.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nr);
        korvel_synth_set_chorus(synth, c.nr, c.type, c.level, c.speed_hz, c.depth_ms);
        EXPECT_EQ(korvel_synth_get_chorus_nr(synth), c.nr);
        EXPECT_EQ(korvel_synth_get_chorus_type(synth), c.type);
        EXPECT_DOUBLE_EQ(korvel_synth_get_chorus_level(synth), c.level);
        EXPECT_DOUBLE_EQ(korvel_synth_get_chorus_speed_Hz(synth), c.speed_hz);
        EXPECT_DOUBLE_EQ(korvel_synth_get_chorus_depth_ms(synth), c.depth_ms);
    }
}

TEST_F(SynthArguments, TuningDumpNamesANumberOutOfRangeBeforeAMissingTuning)
{
    struct Case {
        int bank;
        int prog;
        const char* warning;
    };
    const std::vector<Case> cases = {
        {128, 0, "Bank number out of range"},
        {-1, 0, "Bank number out of range"},
        {0, 128, "Program number out of range"},
        {200, 300, "Bank number out of range"},
        {3, 4, "No tuning at bank 3, prog 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.warning);
        korvel_test::LogCapture log;
        char name[32];
        double pitch[128];
        EXPECT_EQ(korvel_synth_tuning_dump(synth, c.bank, c.prog, name, sizeof name, pitch), -1);
        EXPECT_EQ(log.texts(KORVEL_WARN), std::vector<std::string>{c.warning});
    }
}

} // namespace
