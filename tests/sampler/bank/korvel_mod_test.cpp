// Modulator records, source mapping and the default modulators.
#include "sampler/src/synth/korvel_chan.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/voice/korvel_voice.h"
#include "sampler/src/voice/korvel_voice_inputs.h"
#include "tests/sampler/support/voice_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class Modulators : public ::testing::Test {
protected:
    void SetUp() override
    {
        korvel_conversion_config();
        chan.pitch_bend = 8192;
        chan.pitch_wheel_sensitivity = 2;
        voice.key = 60;
        voice.vel = 100;
    }

    float value_of(int src1, int flags1, int src2, int flags2, double amount)
    {
        korvel_mod_t mod{};
        korvel_mod_set_source1(&mod, src1, flags1);
        korvel_mod_set_source2(&mod, src2, flags2);
        korvel_mod_set_dest(&mod, GEN_ATTENUATION);
        korvel_mod_set_amount(&mod, amount);
        return korvel_mod_get_value(&mod, &chan, &voice);
    }

    korvel_channel_t chan{};
    VoiceRecord record;
    korvel_voice_t& voice = record.voice;
};

TEST_F(Modulators, EveryFlagMappingOfAControllerSource)
{
    // The concave and convex tables follow x = -(200/960) log10(i^2/127^2).
    auto concave = [](int x) { return -200.0 / 960.0 * std::log10(double(127 - x) * (127 - x) / (127.0 * 127.0)); };
    auto convex = [](int x) { return 1.0 + 200.0 / 960.0 * std::log10(double(x) * x / (127.0 * 127.0)); };
    struct Row {
        int flags;
        int x;
        double expected;
    };
    const Row rows[] = {
        {0, 32, 32.0 / 127},         {1, 32, 1.0 - 32.0 / 127},    {2, 32, 64.0 / 127 - 1},
        {3, 32, 1.0 - 64.0 / 127},   {4, 63, concave(63)},         {5, 63, concave(64)},
        {6, 96, concave(64)},        {6, 32, -concave(64)},        {7, 96, -concave(64)},
        {7, 32, concave(64)},        {8, 63, convex(63)},          {9, 63, convex(64)},
        {10, 96, convex(64)},        {10, 32, -convex(64)},        {11, 96, -convex(64)},
        {11, 32, convex(64)},        {12, 64, 1.0},                {12, 63, 0.0},
        {13, 64, 0.0},               {13, 63, 1.0},                {14, 64, 1.0},
        {14, 63, -1.0},              {15, 64, -1.0},               {15, 63, 1.0},
    };
    for (const Row& r : rows) {
        chan.cc[20] = static_cast<short>(r.x);
        EXPECT_NEAR(value_of(20, KORVEL_MOD_CC | r.flags, 0, 0, 10.0), 10.0 * r.expected, 1e-4)
            << "flags " << r.flags << " x " << r.x;
    }
}

TEST_F(Modulators, GeneralSourcesAndTheSecondSource)
{
    EXPECT_NEAR(value_of(KORVEL_MOD_VELOCITY, 0, 0, 0, 127.0), 100.0f, 1e-4f);
    EXPECT_NEAR(value_of(KORVEL_MOD_KEY, 0, 0, 0, 127.0), 60.0f, 1e-4f);
    chan.channel_pressure = 127;
    EXPECT_NEAR(value_of(KORVEL_MOD_CHANNELPRESSURE, 0, KORVEL_MOD_VELOCITY, 0, 127.0), 100.0f, 1e-4f);
    EXPECT_EQ(value_of(KORVEL_MOD_NONE, 0, 0, 0, 5000.0), 0.0f);
    EXPECT_EQ(value_of(5, 0, 0, 0, 100.0), 0.0f) << "unknown general source";
    EXPECT_EQ(value_of(KORVEL_MOD_VELOCITY, 0, 5, 0, 100.0), 0.0f) << "unknown second source";
}

TEST_F(Modulators, DefaultPitchBendAtFullBendGivesTwoSemitones)
{
    chan.pitch_bend = 16383;
    double expected = (2.0 * 16383 / 16384 - 1) * 2.0 / 127 * 12700;
    EXPECT_NEAR(korvel_mod_get_value(&default_pitch_bend_mod, &chan, &voice), expected, 1e-3);
    EXPECT_NEAR(expected, 199.98, 0.01);
}

TEST_F(Modulators, DefaultVelocityToAttenuationAtVelocity64)
{
    voice.vel = 64;
    EXPECT_NEAR(korvel_mod_get_value(&default_vel2att_mod, &chan, &voice), 24.8f, 0.01f);
}

TEST_F(Modulators, DefaultTableMatchesItsRecords)
{
    struct Row {
        const korvel_mod_t* mod;
        int src1, flags1, src2, flags2, dest;
        double amount;
    };
    const Row rows[] = {
        {&default_vel2reso_mod, 2, 4, 0, 0, 9, 0},      {&default_vel2att_mod, 2, 5, 0, 0, 48, 200},
        {&default_vel2filter_mod, 2, 5, 0, 0, 8, 0},    {&default_at2viblfo_mod, 13, 0, 0, 0, 6, 50},
        {&default_mod2viblfo_mod, 1, 16, 0, 0, 6, 50},  {&default_att_mod, 7, 21, 0, 0, 48, 960},
        {&default_pan_mod, 10, 18, 0, 0, 17, 500},      {&default_expr_mod, 11, 21, 0, 0, 48, 960},
        {&default_reverb_mod, 91, 16, 0, 0, 16, 200},   {&default_chorus_mod, 93, 16, 0, 0, 15, 200},
        {&default_pitch_bend_mod, 14, 2, 16, 0, 59, 12700},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(korvel_mod_get_source1(r.mod), r.src1);
        EXPECT_EQ(korvel_mod_get_flags1(r.mod), r.flags1);
        EXPECT_EQ(korvel_mod_get_source2(r.mod), r.src2);
        EXPECT_EQ(korvel_mod_get_flags2(r.mod), r.flags2);
        EXPECT_EQ(korvel_mod_get_dest(r.mod), r.dest);
        EXPECT_EQ(korvel_mod_get_amount(r.mod), r.amount);
    }
}

TEST_F(Modulators, CloneAndIdentityIgnoreAmountAndIdentifier)
{
    std::unique_ptr<korvel_mod_t, void (*)(korvel_mod_t*)> copy(korvel_mod_new(), korvel_mod_delete);
    ASSERT_NE(copy, nullptr);
    copy->id = 7;
    korvel_mod_clone(copy.get(), &default_att_mod);
    EXPECT_EQ(copy->id, -1);
    EXPECT_TRUE(korvel_mod_test_identity(copy.get(), &default_att_mod));
    korvel_mod_set_amount(copy.get(), 1.0);
    EXPECT_TRUE(korvel_mod_test_identity(copy.get(), &default_att_mod));
    EXPECT_FALSE(korvel_mod_test_identity(&default_att_mod, &default_expr_mod));
}

TEST_F(Modulators, NamesAndDump)
{
    EXPECT_STREQ(mod_verbose(14), "(14) Pitch Wheel");
    EXPECT_STREQ(mod_verbose(127), "(127) Link");
    EXPECT_STREQ(mod_verbose(1), "unused");
    ::testing::internal::CaptureStdout();
    korvel_dump_modulator(&default_pan_mod);
    korvel_dump_modulator(&default_vel2att_mod);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Quelle: 'MIDI Controller #10' positiv  bipolar -> 'Panorama Potentiometer', Wert: 500.000000 flags: 18 "
              "src2: 0 flags2: 0\n"
              "Quelle: 'Note On Velocity' negativ  unipolar -> 'Attenuation', Wert: 200.000000 flags: 5 src2: 0 "
              "flags2: 0\n");
}

} // namespace
