// The sound-bank model: pools, the sorted preset chain, zones, lookups, preset selection and deletion.
#include "sampler/src/bank/korvel_defsfont.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

class Bank : public ::testing::Test {
protected:
    void TearDown() override { ASSERT_EQ(delete_korvel_defsfont(bank), 0); }

    korvel_defpreset_t* add_preset(unsigned int b, unsigned int num, const char* name = "")
    {
        korvel_defpreset_t* preset = new_korvel_defpreset(bank);
        preset->bank = b;
        preset->num = num;
        korvel_defpreset_set_name(preset, name);
        korvel_defsfont_add_preset(bank, preset);
        return preset;
    }

    std::vector<std::pair<unsigned int, unsigned int>> chain() const
    {
        std::vector<std::pair<unsigned int, unsigned int>> out;
        for (korvel_defpreset_t* p = bank->preset; p != nullptr; p = korvel_defpreset_next(p)) {
            out.emplace_back(p->bank, p->num);
        }
        return out;
    }

    korvel_defsfont_t* bank = new_korvel_defsfont();
};

TEST_F(Bank, PresetsStaySortedAndEqualOnesKeepArrivalOrder)
{
    add_preset(0, 5);
    korvel_defpreset_t* first = add_preset(0, 1);
    add_preset(128, 0);
    korvel_defpreset_t* second = add_preset(0, 1);
    using P = std::pair<unsigned int, unsigned int>;
    EXPECT_EQ(chain(), (std::vector<P>{{0, 1}, {0, 1}, {0, 5}, {128, 0}}));
    EXPECT_EQ(bank->preset, first);
    EXPECT_EQ(first->next, second);
}

TEST_F(Bank, PresetSelectionFallsBackAlongBankZeroKitZeroAndTheFirstPreset)
{
    add_preset(0, 0, "piano");
    add_preset(0, 10, "box");
    add_preset(128, 0, "standard");
    add_preset(128, 25, "brush");
    add_preset(129, 0, "second kit");
    struct Row {
        unsigned int bank, num;
        const char* expected;
    };
    const Row rows[] = {
        {0, 10, "box"},         {5, 10, "box"},           {5, 11, "piano"},        {128, 25, "brush"},
        {128, 7, "standard"},   {200, 25, "standard"},    {129, 0, "second kit"},  {0x80000000u | 128, 25, "brush"},
        {0x80000000u | 128, 3, "standard"},               {0x80000000u, 25, "standard"},
        {0x80000000u, 0, "standard"},                     {0x80000000u, 10, "standard"},
        {0x80000000u | 5, 0, "standard"},                 {0x80000000u | 127, 0, "standard"},
    };
    for (const Row& r : rows) {
        korvel_defpreset_t* p = korvel_defsfont_get_preset(bank, r.bank, r.num);
        ASSERT_NE(p, nullptr);
        EXPECT_STREQ(korvel_defpreset_get_name(p), r.expected) << r.bank << ":" << r.num;
    }
}

// What selection must answer, walking the chain: the first playable exact match, else the first kit with program 0
// (drum requests) or bank 0 with this program (melodic ones), else the head.
korvel_defpreset_t* walked_choice(korvel_defpreset_t* chain, unsigned int bank, unsigned int num)
{
    const bool drum = (bank & 0x80000000u) != 0 || bank > 127;
    bank &= ~0x80000000u;
    korvel_defpreset_t* fallback = nullptr;
    for (korvel_defpreset_t* p = chain; p != nullptr; p = p->next) {
        if ((!drum || p->bank >= 128) && p->bank == bank && p->num == num) return p;
        const bool kit = drum && p->bank >= 128 && p->num == 0;
        const bool general = !drum && p->bank == 0 && p->num == num;
        if (fallback == nullptr && (kit || general)) fallback = p;
    }
    return fallback != nullptr ? fallback : chain;
}

TEST_F(Bank, IndexedSelectionAgreesWithAWalkOfTheChainAlsoAfterEditsInPlace)
{
    const unsigned int banks[] = {0, 1, 5, 127, 128, 129, 200, 0x80000000u, 0x80000000u | 5, 0x80000000u | 128};
    std::vector<korvel_defpreset_t*> presets;
    unsigned int seed = 7;
    auto next = [&seed](unsigned int range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    auto check = [&](const char* stage) {
        for (unsigned int b : banks) {
            for (unsigned int num = 0; num < 6; ++num) {
                ASSERT_EQ(korvel_defsfont_get_preset(bank, b, num), walked_choice(bank->preset, b, num))
                    << stage << " " << b << ":" << num;
            }
        }
    };
    for (int i = 0; i < 60; ++i) presets.push_back(add_preset(banks[next(7)], next(5)));
    check("built");
    korvel_defsfont_reindex_presets(bank);
    check("reindexed unchanged");
    // Edits that mostly break the order; new presets keep arriving after them.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 5; ++i) {
            korvel_defpreset_t* p = presets[next(static_cast<unsigned int>(presets.size()))];
            p->bank = banks[next(7)];
            p->num = next(6);
        }
        korvel_defsfont_reindex_presets(bank);
        check("edited");
        for (int i = 0; i < 10; ++i) presets.push_back(add_preset(banks[next(7)], next(6)));
        check("grown after edits");
    }
}

TEST_F(Bank, AnEmptyBankSelectsNothing)
{
    EXPECT_EQ(korvel_defsfont_get_preset(bank, 0, 0), nullptr);
    korvel_sfont_t* sfont = korvel_defsfont_new_sfont(bank);
    EXPECT_EQ(sfont->get_preset(sfont, 0, 0), nullptr);
    delete sfont;
}

TEST_F(Bank, NewZonesSpanPastTheMidiRange)
{
    korvel_inst_zone_t* zone = new_korvel_inst_zone("z");
    EXPECT_EQ(zone->id, -1);
    EXPECT_EQ(zone->keylo, 0);
    EXPECT_EQ(zone->keyhi, 128);
    EXPECT_EQ(zone->vello, 0);
    EXPECT_EQ(zone->velhi, 128);
    EXPECT_EQ(zone->gen[GEN_FILTERFC].val, 13500.0);
    EXPECT_TRUE(korvel_inst_zone_inside_range(zone, 128, 128));
    zone->keylo = 60;
    EXPECT_FALSE(korvel_inst_zone_inside_range(zone, 59, 100));
    delete_korvel_inst_zone(zone);
}

TEST_F(Bank, ZoneNumberZeroIsTheGlobalZone)
{
    korvel_inst_t* inst = new_korvel_inst();
    korvel_defsfont_add_instrument(bank, inst);
    korvel_inst_zone_t* global = new_korvel_inst_zone("global");
    korvel_inst_zone_t* zero = new_korvel_inst_zone("zero");
    korvel_inst_zone_t* two = new_korvel_inst_zone("two");
    zero->id = 0;
    two->id = 2;
    korvel_inst_add_zone(inst, zero);
    korvel_inst_add_zone(inst, two);
    korvel_inst_set_global_zone(inst, global);
    EXPECT_EQ(korvel_defsfont_get_izone_by_id(inst, 0), global);
    EXPECT_EQ(korvel_defsfont_get_izone_by_id(inst, 2), two);
    EXPECT_EQ(korvel_defsfont_get_izone_by_id(inst, 3), nullptr);
    EXPECT_EQ(korvel_defsfont_get_izone_by_id(nullptr, 2), nullptr);
    EXPECT_EQ(korvel_inst_get_zone(inst), two) << "zones are added at the head";
    // A second global zone replaces (and releases) the first.
    korvel_inst_set_global_zone(inst, new_korvel_inst_zone("other"));
    EXPECT_STREQ(korvel_inst_get_global_zone(inst)->name, "other");
}

TEST_F(Bank, ModulatorsAppendInOrderAndAreFoundByNumber)
{
    korvel_preset_zone_t* zone = new_korvel_preset_zone("z");
    for (int id = 1; id <= 3; id++) {
        korvel_mod_t* mod = korvel_mod_new();
        mod->id = id;
        korvel_defsfont_add_pmodulator(zone, mod);
    }
    EXPECT_EQ(zone->mod->id, 1);
    EXPECT_EQ(zone->mod->next->next->id, 3);
    EXPECT_EQ(korvel_defsfont_get_pmodulator_by_id(zone, 2)->id, 2);
    EXPECT_EQ(korvel_defsfont_get_pmodulator_by_id(zone, 4), nullptr);
    EXPECT_EQ(korvel_defsfont_get_pmodulator_by_id(nullptr, 1), nullptr);
    delete_korvel_preset_zone(zone);
}

TEST_F(Bank, CreatedRecordsAreFoundByIdentifier)
{
    unsigned int s = korvel_defsfont_create_sample(bank);
    unsigned int i = korvel_defsfont_create_instrument(bank);
    unsigned int p = korvel_defsfont_create_preset(bank);
    ASSERT_NE(s, 0u);
    ASSERT_NE(i, 0u);
    ASSERT_NE(p, 0u);
    korvel_sample_t* sample = korvel_defsfont_get_sample_by_id(bank, s);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->valid, 0) << "a sample created empty has no data to play";
    EXPECT_EQ(korvel_defsfont_get_instrument_by_id(bank, i)->serial, 0u);
    EXPECT_EQ(find_korvel_inst(bank, i), korvel_defsfont_get_instrument_by_id(bank, i));
    EXPECT_EQ(korvel_defsfont_get_preset_by_id(bank, p)->sfont, bank);
    EXPECT_EQ(korvel_defsfont_get_sample_by_id(bank, s + 1000), nullptr);
    korvel_sample_set_name(sample, "a");
    EXPECT_EQ(korvel_defsfont_get_sample(bank, "a"), sample);
    EXPECT_EQ(korvel_defsfont_get_sample(bank, "b"), nullptr);
}

TEST_F(Bank, LookupsStayRightWhenRecordsChangeOrArriveAroundTheBank)
{
    // A preset edited to another bank and program in place: later presets still go after lower and equal ones.
    korvel_defpreset_t* edited = add_preset(0, 9);
    add_preset(0, 20);
    edited->num = 30;
    add_preset(0, 10);
    using P = std::pair<unsigned int, unsigned int>;
    EXPECT_EQ(chain(), (std::vector<P>{{0, 10}, {0, 30}, {0, 20}}));

    // Two presets with one identifier: the first in the chain is found.
    korvel_defpreset_t* late = add_preset(5, 0);
    korvel_defpreset_t* early = add_preset(1, 0);
    late->uid = 777;
    early->uid = 777;
    EXPECT_EQ(korvel_defsfont_get_preset_by_id(bank, 777), early);

    // A sample whose identifier is set after it joined the pool, and a cell appended by hand.
    korvel_sample_t* first = new_korvel_sample();
    ASSERT_EQ(korvel_defsfont_add_sample(bank, first), 0);
    EXPECT_EQ(korvel_defsfont_get_sample_by_id(bank, 41), nullptr);
    first->uid = 41;
    EXPECT_EQ(korvel_defsfont_get_sample_by_id(bank, 41), first);
    korvel_sample_t* outside = new_korvel_sample();
    outside->uid = 42;
    korvel_list_append(bank->sample, outside);
    EXPECT_EQ(korvel_defsfont_get_sample_by_id(bank, 42), outside);
    korvel_sample_t* last = new_korvel_sample();
    last->uid = 43;
    ASSERT_EQ(korvel_defsfont_add_sample(bank, last), 0);
    EXPECT_EQ(korvel_list_size(bank->sample), 3);
    EXPECT_EQ(korvel_defsfont_get_sample_by_id(bank, 43), last);
}

TEST_F(Bank, InterfaceRecordsIterateAndDescribePresets)
{
    add_preset(0, 3, "three");
    add_preset(8, 1, "eight");
    korvel_sfont_t* sfont = korvel_defsfont_new_sfont(bank);
    sfont->iteration_start(sfont);
    korvel_preset_t preset{};
    std::vector<std::string> names;
    while (sfont->iteration_next(sfont, &preset)) {
        names.push_back(std::string(preset.get_name(&preset)) + "@" + std::to_string(preset.get_banknum(&preset)) +
                        ":" + std::to_string(preset.get_num(&preset)));
        EXPECT_EQ(preset.sfont, sfont);
        EXPECT_EQ(preset.notify, nullptr);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"three@0:3", "eight@8:1"}));
    korvel_preset_t* chosen = sfont->get_preset(sfont, 8, 1);
    EXPECT_STREQ(chosen->get_name(chosen), "eight");
    chosen->free(chosen);
    EXPECT_EQ(sfont->get_name(sfont), nullptr);
    delete sfont;
}

TEST_F(Bank, DeletingWhileASampleIsInUseRefusesAndKeepsTheBank)
{
    korvel_sample_t* sample = new_korvel_sample();
    korvel_defsfont_add_sample(bank, sample);
    add_preset(0, 0, "kept");
    sample->use_count = 1;
    korvel_sfont_t* sfont = korvel_defsfont_new_sfont(bank);
    EXPECT_EQ(sfont->free(sfont), -1);
    EXPECT_EQ(delete_korvel_defsfont(bank), -1);
    EXPECT_STREQ(korvel_defpreset_get_name(bank->preset), "kept");
    sample->use_count = 0;
    EXPECT_EQ(sfont->free(sfont), 0);
    bank = new_korvel_defsfont();
}

} // namespace
