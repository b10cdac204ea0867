// Generator table, defaults, scaling and the channel's NRPN offsets.
#include "sampler/src/synth/korvel_chan.h"
#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/voice/korvel_voice_inputs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Generators, DefaultsComeFromTheTableWithNothingSet)
{
    korvel_gen_t gen[GEN_LAST];
    korvel_gen_set_default_values(gen);
    korvel_zone_gen_t zone_gen[GEN_LAST];
    korvel_zone_gen_set_default_values(zone_gen);
    struct Row {
        int num;
        double def;
    };
    const Row rows[] = {{GEN_FILTERFC, 13500}, {GEN_VOLENVATTACK, -12000}, {GEN_MODLFODELAY, -12000},
                        {GEN_SCALETUNE, 100}, {GEN_KEYNUM, -1}, {GEN_VELOCITY, -1}, {GEN_OVERRIDEROOTKEY, -1},
                        {GEN_PAN, 0}, {GEN_PITCH, 0}, {GEN_VELOCITYTOFILTER, 0}, {GEN_NOTUSED, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(gen[r.num].val, r.def) << r.num;
    }
    for (int i = 0; i < GEN_LAST; i++) {
        EXPECT_EQ(zone_gen[i].val, gen[i].val) << i;
        EXPECT_EQ(zone_gen[i].flags, GEN_UNUSED);
        EXPECT_EQ(gen[i].flags, GEN_UNUSED);
        EXPECT_EQ(gen[i].mod, 0.0);
        EXPECT_EQ(gen[i].nrpn, 0.0);
        EXPECT_EQ(korvel_gen_info[i].num, i);
    }
}

TEST(Generators, InitTakesTheChannelOffsetsAndAbsoluteFlags)
{
    korvel_channel_t chan{};
    chan.gen[GEN_PAN] = 120.0f;
    chan.gen[GEN_FILTERFC] = 5000.0f;
    chan.gen_abs[GEN_FILTERFC] = 1;
    korvel_gen_t gen[GEN_LAST];
    korvel_gen_init(gen, &chan);
    EXPECT_EQ(gen[GEN_PAN].nrpn, 120.0);
    EXPECT_EQ(gen[GEN_PAN].flags, GEN_UNUSED);
    EXPECT_EQ(gen[GEN_FILTERFC].nrpn, 5000.0);
    EXPECT_EQ(gen[GEN_FILTERFC].flags, GEN_ABS_NRPN);
    EXPECT_EQ(gen[GEN_FILTERFC].val, 13500.0);
    EXPECT_STREQ(gen[GEN_ATTENUATION].name, "(48) initialAttenuation");
}

TEST(Generators, ScalingByFractionAndByNrpnData)
{
    EXPECT_EQ(korvel_gen_scale(GEN_PAN, 0.5f), 0.0f);
    EXPECT_EQ(korvel_gen_scale(GEN_FILTERFC, 0.0f), 1500.0f);
    EXPECT_EQ(korvel_gen_scale(GEN_FILTERFC, 1.0f), 13500.0f);
    EXPECT_EQ(korvel_gen_scale_nrpn(GEN_FILTERFC, 16383), 16382.0f);
    EXPECT_EQ(korvel_gen_scale_nrpn(GEN_FILTERFC, 0), -16384.0f);
    EXPECT_EQ(korvel_gen_scale_nrpn(GEN_MODLFOFREQ, 8193), 4.0f);
    EXPECT_EQ(korvel_gen_scale_nrpn(GEN_KEYNUM, 100), 0.0f);
}

TEST(Generators, NamesCarryTheirNumber)
{
    EXPECT_STREQ(gen_verbose(0), "(0) startAddrsOffset");
    EXPECT_STREQ(gen_verbose(58), "(58) overridingRootKey");
    EXPECT_STREQ(gen_verbose(61), "(61) velocityToFilter");
    EXPECT_STREQ(gen_verbose(62), "(62) velocityToFilter");
    EXPECT_STREQ(gen_verbose(104), "(104) variationFX4Parameter");
    EXPECT_STREQ(gen_verbose(105), "(105) not used");
    EXPECT_STREQ(gen_verbose(106), "(--) last");
    EXPECT_STREQ(gen_verbose(107), "not used");
    EXPECT_STREQ(gen_verbose(-1), "not used");
}

} // namespace
