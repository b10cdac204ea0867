// Which zones sound for a note, and how their generators and modulators combine on the voice.
#include "sampler/src/synth/korvel_defpreset_noteon.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/sampler/support/sf2_load_result.h"
#include "tests/sampler/support/voice_record.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Pair {
    korvel_preset_zone_t* pzone;
    korvel_inst_t* inst;
    korvel_inst_zone_t* izone;
};

std::vector<Pair> matches(korvel_defpreset_t* preset, int key, int vel)
{
    std::vector<Pair> out;
    korvel_defpreset_match_zones(
        preset, key, vel,
        [](korvel_preset_zone_t* p, korvel_inst_t* i, korvel_inst_zone_t* z, void* data) {
            static_cast<std::vector<Pair>*>(data)->push_back({p, i, z});
            return 0;
        },
        &out);
    return out;
}

std::vector<std::string> zone_names(korvel_defpreset_t* preset, int key, int vel)
{
    std::vector<std::string> out;
    for (const Pair& p : matches(preset, key, vel)) {
        out.push_back(p.izone->name);
    }
    return out;
}

TEST(PresetZones, KeyAndVelocitySplitsChooseTheirZones)
{
    sf2::LoadResult load(sf2::general_bank().bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    struct Row {
        unsigned int bank, program;
        int key, vel;
        std::vector<std::string> zones;
    };
    const Row rows[] = {
        {0, 0, 60, 100, {"Sine Inst/2"}},        {0, 1, 59, 100, {"Split Inst/1"}},
        {0, 1, 60, 100, {"Split Inst/2"}},       {0, 10, 60, 63, {"Velocity Inst/1"}},
        {0, 10, 60, 64, {"Velocity Inst/2"}},    {128, 0, 42, 100, {"Kit/2"}},
        {128, 0, 46, 100, {"Kit/3"}},            {128, 0, 37, 100, {}},
    };
    for (const Row& r : rows) {
        korvel_defpreset_t* preset = korvel_defsfont_get_preset(load.bank, r.bank, r.program);
        EXPECT_EQ(zone_names(preset, r.key, r.vel), r.zones) << r.bank << ":" << r.program << " key " << r.key;
    }
}

TEST(PresetZones, OverlappingZonesBothSoundAndMutedOrUnplayableOnesNever)
{
    sf2::Bank bank = sf2::general_bank();
    bank.instruments[1].zones[0].gens[0] = {sf2::KEY_RANGE, static_cast<uint16_t>(0 | (60 << 8))};
    sf2::LoadResult load(bank.bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    korvel_defpreset_t* lead = korvel_defsfont_get_preset(load.bank, 0, 1);
    EXPECT_EQ(zone_names(lead, 60, 100), (std::vector<std::string>{"Split Inst/2", "Split Inst/1"}));

    korvel_inst_zone_t* saw_zone = lead->zone->inst->zone;
    saw_zone->mute = 1;
    EXPECT_EQ(zone_names(lead, 60, 100), (std::vector<std::string>{"Split Inst/1"}));
    saw_zone->mute = 0;
    saw_zone->next->sample->valid = 0;
    EXPECT_EQ(zone_names(lead, 60, 100), (std::vector<std::string>{"Split Inst/2"}));
    lead->zone->mute = 1;
    EXPECT_TRUE(zone_names(lead, 60, 100).empty());
}

TEST(PresetZones, TheWalkStopsWhenAsked)
{
    sf2::Bank bank = sf2::general_bank();
    bank.instruments[1].zones[0].gens[0] = {sf2::KEY_RANGE, static_cast<uint16_t>(0 | (60 << 8))};
    sf2::LoadResult load(bank.bytes());
    int calls = 0;
    int result = korvel_defpreset_match_zones(
        korvel_defsfont_get_preset(load.bank, 0, 1), 60, 100,
        [](korvel_preset_zone_t*, korvel_inst_t*, korvel_inst_zone_t*, void* data) {
            ++*static_cast<int*>(data);
            return -1;
        },
        &calls);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(calls, 1);
}

class VoiceSetup : public ::testing::Test {
protected:
    // One preset over one instrument of one zone; the test fills the four zones.
    void load(const sf2::Zone& iglobal, const sf2::Zone& izone, const sf2::Zone& pglobal, const sf2::Zone& pzone)
    {
        sf2::Bank bank;
        bank.samples.push_back(sf2::looped_sample("Tone", sf2::sine_wave(32, 4), 32, 60));
        sf2::Instrument inst{"Inst", {iglobal, izone}};
        inst.zones[1].link = 0;
        sf2::Preset preset{"Preset", 0, 0, {pglobal, pzone}};
        preset.zones[1].link = 0;
        bank.instruments.push_back(inst);
        bank.presets.push_back(preset);
        loaded = std::make_unique<sf2::LoadResult>(bank.bytes());
        ASSERT_EQ(loaded->result, 0) << loaded->transcript();
        korvel_gen_set_default_values(voice.gen);
        korvel_defpreset_t* p = korvel_defsfont_get_preset(loaded->bank, 0, 0);
        std::vector<Pair> pairs = matches(p, 60, 100);
        ASSERT_EQ(pairs.size(), 1u);
        korvel_defpreset_setup_voice(&voice, p, pairs[0].pzone, pairs[0].inst, pairs[0].izone);
    }

    std::unique_ptr<sf2::LoadResult> loaded;
    VoiceRecord record;
    korvel_voice_t& voice = record.voice;
};

TEST_F(VoiceSetup, InstrumentValuesAreAbsoluteAndPresetValuesAdd)
{
    load(sf2::Zone{}.gen(sf2::ATTENUATION, 30).gen(sf2::RELEASE_VOL_ENV, -100),
         sf2::Zone{}.gen(sf2::ATTENUATION, 45).gen(sf2::OVERRIDING_ROOT_KEY, 50),
         sf2::Zone{}.gen(sf2::PAN, 100).gen(sf2::COARSE_TUNE, 5),
         sf2::Zone{}.gen(sf2::ATTENUATION, 20).gen(sf2::COARSE_TUNE, 2));
    EXPECT_EQ(voice.gen[GEN_ATTENUATION].val, 65.0) << "zone over global, then the preset adds";
    EXPECT_EQ(voice.gen[GEN_VOLENVRELEASE].val, -100.0) << "a global-only value applies";
    EXPECT_EQ(voice.gen[GEN_PAN].val, 100.0) << "the preset's global value adds to the default";
    EXPECT_EQ(voice.gen[GEN_COARSETUNE].val, 2.0) << "the preset zone's value wins over its global one";
    EXPECT_EQ(voice.gen[GEN_OVERRIDEROOTKEY].val, 50.0);
    EXPECT_EQ(voice.gen[GEN_FILTERFC].flags, GEN_UNUSED);
    EXPECT_EQ(voice.gen[GEN_FILTERFC].val, 13500.0);
}

TEST_F(VoiceSetup, APresetRootKeyIsIgnored)
{
    load(sf2::Zone{}, sf2::Zone{}, sf2::Zone{}, sf2::Zone{}.gen(sf2::PAN, 10));
    korvel_defpreset_t* p = korvel_defsfont_get_preset(loaded->bank, 0, 0);
    p->zone->gen[GEN_OVERRIDEROOTKEY].val = 40;
    p->zone->gen[GEN_OVERRIDEROOTKEY].flags = GEN_SET;
    korvel_gen_set_default_values(voice.gen);
    korvel_defpreset_setup_voice(&voice, p, p->zone, p->zone->inst, p->zone->inst->zone);
    EXPECT_EQ(voice.gen[GEN_OVERRIDEROOTKEY].val, -1.0);
    EXPECT_EQ(voice.gen[GEN_PAN].val, 10.0);
}

TEST_F(VoiceSetup, ZoneModulatorsReplaceIdenticalGlobalOnesAndZeroPresetAmountsAreSkipped)
{
    const sf2::Modulator vel_att{0x0502, 48, 960, 0, 0};
    const sf2::Modulator vel_att_zone{0x0502, 48, 500, 0, 0};
    const sf2::Modulator cc1_fc{sf2::mod_source(1, true, false, false, 0), 8, -1200, 0, 0};
    const sf2::Modulator cc2_pan_zero{sf2::mod_source(2, true, false, true, 0), 17, 0, 0, 0};
    const sf2::Modulator cc3_pan_zero{sf2::mod_source(3, true, false, true, 0), 17, 0, 0, 0};
    load(sf2::Zone{}.mod(vel_att), sf2::Zone{}.mod(vel_att_zone).mod(cc1_fc).mod(cc2_pan_zero),
         sf2::Zone{}.mod(cc1_fc), sf2::Zone{}.mod(cc3_pan_zero));
    ASSERT_EQ(voice.mod_count, 3) << "the global M is replaced, the zero instrument modulator kept";
    EXPECT_EQ(voice.mod[0].amount, 500.0);
    EXPECT_EQ(voice.mod[0].dest, GEN_ATTENUATION);
    EXPECT_EQ(voice.mod[1].amount, -2400.0) << "the preset's global modulator adds to the instrument's";
    EXPECT_EQ(voice.mod[2].src1, 2);
    EXPECT_EQ(voice.mod[2].amount, 0.0);
}

} // namespace
