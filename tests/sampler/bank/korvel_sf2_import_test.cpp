// Loading generated SoundFont 2 files into a bank: what arrives, how it is linked, and how samples are repaired or
// marked when they cannot play.
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sfloader.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/sampler/support/sf2_load_result.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using sf2::LoadResult;

std::vector<std::string> preset_list(korvel_defsfont_t* bank)
{
    std::vector<std::string> out;
    for (korvel_defpreset_t* p = bank->preset; p != nullptr; p = p->next) {
        out.push_back(std::to_string(p->bank) + ":" + std::to_string(p->num) + " " + p->name);
    }
    return out;
}

template <typename T>
std::vector<T*> pool(korvel_list_t* list)
{
    std::vector<T*> out;
    for (; list != nullptr; list = list->next) {
        out.push_back(static_cast<T*>(list->data));
    }
    return out;
}

korvel_inst_t* instrument(korvel_defsfont_t* bank, const char* name)
{
    for (korvel_inst_t* inst : pool<korvel_inst_t>(bank->inst)) {
        if (std::string(inst->name) == name) {
            return inst;
        }
    }
    return nullptr;
}

TEST(Sf2Import, GeneralBankArrivesSortedWithItsPoolsAndZones)
{
    sf2::Bank fixture = sf2::general_bank();
    LoadResult load(fixture.bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    EXPECT_TRUE(load.said("Soundfont Synthesizer: Die Datenstrukturen für einen Soundfont wurden initialisiert. "));
    EXPECT_EQ(preset_list(load.bank), (std::vector<std::string>{"0:0 Sine Piano", "0:1 Split Lead",
                                                                "0:10 Velocity Box", "128:0 Standard Kit",
                                                                "128:25 Brush Kit"}));
    std::vector<std::string> names;
    for (korvel_inst_t* inst : pool<korvel_inst_t>(load.bank->inst)) {
        names.push_back(inst->name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Sine Inst", "Split Inst", "Velocity Inst", "Kit"}));
    names.clear();
    for (korvel_sample_t* s : pool<korvel_sample_t>(load.bank->sample)) {
        names.push_back(s->name);
        EXPECT_EQ(s->valid, 1) << s->name;
        EXPECT_EQ(s->tsource, KORVEL_SAMPLE_ORIGIN);
        EXPECT_EQ(s->data, load.bank->sampledata);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Sine", "Square", "Saw", "Kick", "Hat"}));
    EXPECT_STREQ(korvel_defsfont_get_name(load.bank), sf2::scratch_path("bank.sf2").c_str());
}

TEST(Sf2Import, SamplePositionsAndPointsMatchTheFile)
{
    sf2::Bank fixture = sf2::general_bank();
    LoadResult load(fixture.bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    std::vector<korvel_sample_t*> samples = pool<korvel_sample_t>(load.bank->sample);
    unsigned int start = 0;
    for (size_t i = 0; i < samples.size(); i++) {
        const sf2::Sample& in = fixture.samples[i];
        korvel_sample_t* s = samples[i];
        EXPECT_EQ(s->pstart, start);
        EXPECT_EQ(s->pend, start + in.data.size() - 1) << "the end is the last point";
        EXPECT_EQ(s->lstart, start + in.loop_start);
        EXPECT_EQ(s->lend, start + in.loop_end);
        EXPECT_EQ(s->size, in.data.size() - 1);
        EXPECT_EQ(s->rate, 48000u);
        EXPECT_EQ(s->pitch, in.root_key);
        for (size_t k = 0; k < in.data.size(); k++) {
            ASSERT_EQ(s->data[s->pstart + k], in.data[k]) << s->name << " point " << k;
        }
        start += static_cast<unsigned int>(in.data.size()) + 46;
    }
}

TEST(Sf2Import, ZonesRunOppositeToTheFileAndCarryGlobalsRangesAndGenerators)
{
    LoadResult load(sf2::general_bank().bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();

    korvel_inst_t* sine = instrument(load.bank, "Sine Inst");
    ASSERT_NE(sine->global_zone, nullptr);
    EXPECT_STREQ(sine->global_zone->name, "Sine Inst/1");
    EXPECT_EQ(sine->global_zone->id, -1);
    EXPECT_EQ(sine->global_zone->gen[GEN_ATTENUATION].val, 30.0);
    EXPECT_EQ(sine->global_zone->gen[GEN_ATTENUATION].flags, GEN_SET);
    ASSERT_NE(sine->zone, nullptr);
    EXPECT_STREQ(sine->zone->name, "Sine Inst/2");
    EXPECT_STREQ(sine->zone->sample->name, "Sine");

    korvel_inst_t* split = instrument(load.bank, "Split Inst");
    EXPECT_EQ(split->global_zone, nullptr) << "the first zone has a sample";
    korvel_inst_zone_t* first = split->zone;
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->next, nullptr);
    EXPECT_STREQ(first->name, "Split Inst/2");
    EXPECT_EQ(first->id, 1);
    EXPECT_STREQ(first->sample->name, "Saw");
    EXPECT_EQ(first->keylo, 60);
    EXPECT_EQ(first->keyhi, 127);
    EXPECT_EQ(first->vello, 0);
    EXPECT_EQ(first->velhi, 128) << "no velocity range in the file keeps the zone's own";
    EXPECT_STREQ(first->next->name, "Split Inst/1");
    EXPECT_EQ(first->next->id, 2);
    EXPECT_EQ(first->next->keyhi, 59);
    EXPECT_EQ(first->gen[GEN_SAMPLEMODE].val, 1.0);
    EXPECT_EQ(first->gen[GEN_KEYRANGE].flags, GEN_UNUSED) << "ranges live in the zone, not its generators";
    EXPECT_EQ(first->gen[GEN_SAMPLEID].flags, GEN_UNUSED);

    korvel_inst_t* kit = instrument(load.bank, "Kit");
    korvel_inst_zone_t* open_hat = korvel_defsfont_get_izone_by_id(kit, 1);
    EXPECT_EQ(open_hat->keylo, 46);
    EXPECT_EQ(open_hat->gen[GEN_EXCLUSIVECLASS].val, 1.0);
    EXPECT_EQ(open_hat->gen[GEN_VOLENVRELEASE].val, 1200.0);

    korvel_defpreset_t* piano = korvel_defsfont_get_preset(load.bank, 0, 0);
    ASSERT_NE(piano->global_zone, nullptr);
    EXPECT_EQ(piano->global_zone->gen[GEN_PAN].val, 100.0);
    EXPECT_EQ(piano->zone->inst, sine);
    EXPECT_STREQ(piano->zone->name, "Sine Piano/2");
    EXPECT_EQ(korvel_defsfont_get_preset(load.bank, 128, 25)->zone->inst, kit);
}

TEST(Sf2Import, ModulatorsAreConvertedAndNumbered)
{
    sf2::Bank bank = sf2::general_bank();
    sf2::Zone& zone = bank.instruments[1].zones[0];
    zone.mod({0x0502, GEN_ATTENUATION, 960, 0, 0});                                     // velocity, concave, negative
    zone.mod({sf2::mod_source(7, true, true, true, 2), GEN_PAN, 50, sf2::mod_source(10, true, false, false, 3), 0});
    zone.mod({sf2::mod_source(1, true, false, false, 0), GEN_FILTERFC, 300, 0, 2});     // transform: no amount
    zone.mod({static_cast<uint16_t>(sf2::mod_source(1, true, false, false, 0) | (5 << 10)), GEN_FILTERFC, 300, 0, 0});
    zone.mod({sf2::mod_source(1, true, false, false, 0), 0x8001, 300, 0, 0});           // linked: dropped
    LoadResult load(bank.bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    korvel_inst_zone_t* low = instrument(load.bank, "Split Inst")->zone->next;
    korvel_mod_t* m = low->mod;
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->id, 1);
    EXPECT_TRUE(korvel_mod_test_identity(m, &default_vel2att_mod));
    EXPECT_EQ(m->amount, 960.0);
    m = m->next;
    EXPECT_EQ(m->id, 2);
    EXPECT_EQ(m->src1, 7);
    EXPECT_EQ(m->flags1, KORVEL_MOD_CC | KORVEL_MOD_NEGATIVE | KORVEL_MOD_BIPOLAR | KORVEL_MOD_CONVEX);
    EXPECT_EQ(m->src2, 10);
    EXPECT_EQ(m->flags2, KORVEL_MOD_CC | KORVEL_MOD_SWITCH);
    EXPECT_EQ(m->dest, GEN_PAN);
    EXPECT_EQ(m->amount, 50.0);
    EXPECT_EQ(m->next->amount, 0.0) << "a transform is not supported";
    EXPECT_EQ(m->next->next->amount, 0.0) << "a curve type above 3 is not supported";
    EXPECT_EQ(m->next->next->next, nullptr);
    korvel_inst_t* sine = instrument(load.bank, "Sine Inst");
    EXPECT_EQ(sine->zone->mod->amount, -2400.0);
    EXPECT_EQ(sine->zone->mod->src1, 1);
    EXPECT_EQ(sine->zone->mod->flags1, KORVEL_MOD_CC);
}

TEST(Sf2Import, DuplicateSampleNamesKeepEachZoneOnItsOwnSample)
{
    sf2::Bank bank = sf2::general_bank();
    bank.samples[1].name = "Sine";
    LoadResult load(bank.bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    std::vector<korvel_sample_t*> samples = pool<korvel_sample_t>(load.bank->sample);
    korvel_inst_zone_t* low = instrument(load.bank, "Split Inst")->zone->next;
    EXPECT_EQ(low->sample, samples[1]);
    EXPECT_EQ(instrument(load.bank, "Sine Inst")->zone->sample, samples[0]);
}

TEST(Sf2Import, SampleHeadersAreRepairedOrMarkedUnplayable)
{
    sf2::Bank bank = sf2::general_bank();
    bank.samples[0].loop_start = bank.samples[0].loop_end = 100; // an empty loop
    bank.samples[1].type = 0x8001;                              // ROM
    bank.samples[3].data.resize(5);                             // too few points
    bank.samples[3].loop_start = 1;
    bank.samples[3].loop_end = 4;
    std::vector<uint8_t> bytes = bank.bytes();
    // The saw's end points past the sample data; the headers after it stay usable.
    size_t saw_header = sf2::find_chunk(bytes, "shdr") + 8 + 2 * 46;
    sf2::put_u32(bytes, saw_header + 24, 1u << 20);
    LoadResult load(bytes);
    ASSERT_EQ(load.result, 0) << load.transcript();
    std::vector<korvel_sample_t*> s = pool<korvel_sample_t>(load.bank->sample);

    EXPECT_EQ(s[0]->valid, 1);
    EXPECT_EQ(s[0]->lstart, s[0]->pstart + 8);
    EXPECT_EQ(s[0]->lend, s[0]->pstart + bank.samples[0].data.size() - 8);

    EXPECT_EQ(s[1]->valid, 0);
    EXPECT_TRUE(load.said("Ignoring sample Square: can't use ROM samples")) << load.transcript();

    EXPECT_EQ(s[2]->valid, 0);
    EXPECT_EQ(s[2]->pstart, 0u);
    EXPECT_EQ(s[2]->lend, 0u);
    EXPECT_TRUE(load.said("Sample 'Saw' start/end file positions are invalid, disabling and will not be saved"));

    EXPECT_EQ(s[3]->valid, 0);
    EXPECT_TRUE(load.said("Ignoring sample Kick: too few sample data points")) << load.transcript();

    EXPECT_EQ(s[4]->valid, 1);
    EXPECT_EQ(s[4]->pend - s[4]->pstart, 199u);
    EXPECT_EQ(s[4]->data[s[4]->pstart], bank.samples[4].data[0]);
}

TEST(Sf2Import, ABankWithoutSampleDataLoadsWithNothingPlayable)
{
    sf2::Bank bank;
    bank.samples.push_back(sf2::looped_sample("Gone", sf2::sine_wave(32, 4), 32, 60));
    sf2::Instrument inst{"Inst", {}};
    sf2::Zone z;
    z.link = 0;
    inst.zones.push_back(z);
    bank.instruments.push_back(inst);
    std::vector<uint8_t> bytes = bank.bytes();
    // Empty the sdta list: cut the smpl chunk out and fix the sizes.
    size_t sdta = sf2::find_chunk(bytes, "sdta");
    uint32_t sdta_size = sf2::read_u32(bytes, sdta + 4);
    bytes.erase(bytes.begin() + static_cast<long>(sdta + 12), bytes.begin() + static_cast<long>(sdta + 8 + sdta_size));
    sf2::put_u32(bytes, sdta + 4, 4);
    sf2::put_u32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));
    LoadResult load(bytes);
    ASSERT_EQ(load.result, 0) << load.transcript();
    EXPECT_EQ(load.bank->sampledata, nullptr);
    korvel_sample_t* gone = pool<korvel_sample_t>(load.bank->sample)[0];
    EXPECT_EQ(gone->valid, 0);
    EXPECT_TRUE(load.said("File contains no presets"));
}

TEST(Sf2Import, GeneratorsOutOfPlaceAreDiscardedAndGlobalZonesPutFirst)
{
    sf2::Bank bank = sf2::general_bank();
    sf2::Preset& lead = bank.presets[4];
    lead.zones[0].gen(sf2::OVERRIDING_ROOT_KEY, 40).gen(sf2::PAN, -20).gen(sf2::PAN, 30).key_range(10, 20);
    lead.zones.push_back(sf2::Zone{}.gen(sf2::ATTENUATION, 15)); // global, but not first
    lead.zones.push_back(sf2::Zone{}.gen(sf2::ATTENUATION, 25)); // a second global
    sf2::Instrument& split = bank.instruments[1];
    split.zones[1].gen(sf2::OVERRIDING_ROOT_KEY, 50).gen(99, 1);
    LoadResult load(bank.bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    EXPECT_TRUE(load.said("Preset \"Split Lead\": Some invalid generators were discarded")) << load.transcript();
    EXPECT_TRUE(load.said("Preset \"Split Lead\": Global zone is not first zone"));
    EXPECT_TRUE(load.said("Preset \"Split Lead\": Discarding invalid global zone"));
    EXPECT_TRUE(load.said("Instrument \"Split Inst\": Some invalid generators were discarded"));
    korvel_defpreset_t* preset = korvel_defsfont_get_preset(load.bank, 0, 1);
    ASSERT_NE(preset->global_zone, nullptr);
    EXPECT_EQ(preset->global_zone->gen[GEN_ATTENUATION].val, 15.0);
    korvel_preset_zone_t* zone = preset->zone;
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->next, nullptr);
    EXPECT_EQ(zone->gen[GEN_OVERRIDEROOTKEY].flags, GEN_UNUSED) << "instrument-only generator at preset level";
    EXPECT_EQ(zone->gen[GEN_PAN].val, 30.0) << "a repeated generator replaces the earlier one";
    EXPECT_EQ(zone->keyhi, 128) << "a key range after other generators is discarded";
    korvel_inst_zone_t* high = instrument(load.bank, "Split Inst")->zone;
    EXPECT_EQ(high->gen[GEN_OVERRIDEROOTKEY].val, 50.0);
}

TEST(Sf2Import, LargeFilesLinkEveryRecordByItsIndex)
{
    constexpr int count = 4000;
    sf2::Bank bank;
    for (int i = 0; i < count; i++) {
        std::string name = "S" + std::to_string(i);
        bank.samples.push_back(sf2::looped_sample(name, sf2::saw_wave(8, 2), 8, 60));
        sf2::Zone zone;
        zone.link = static_cast<uint16_t>(i);
        bank.instruments.push_back({"I" + std::to_string(i), {zone}});
        sf2::Zone pzone;
        pzone.link = static_cast<uint16_t>(count - 1 - i);
        bank.presets.push_back({"P" + std::to_string(i), static_cast<uint16_t>(i % 128),
                                static_cast<uint16_t>(i / 128), {pzone}});
    }
    for (int i = 0; i < 5 * count; i++) {
        bank.instruments[0].zones[0].mod({sf2::mod_source(static_cast<uint8_t>(i % 120), true, false, false, 0),
                                          GEN_PAN, static_cast<int16_t>(i % 100), 0, 0});
    }
    LoadResult load(bank.bytes(), "large.sf2");
    ASSERT_EQ(load.result, 0) << load.transcript().substr(0, 2000);
    std::vector<korvel_sample_t*> samples = pool<korvel_sample_t>(load.bank->sample);
    std::vector<korvel_inst_t*> insts = pool<korvel_inst_t>(load.bank->inst);
    ASSERT_EQ(samples.size(), static_cast<size_t>(count));
    ASSERT_EQ(insts.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; i += 397) {
        EXPECT_EQ(insts[static_cast<size_t>(i)]->zone->sample, samples[static_cast<size_t>(i)]);
        korvel_defpreset_t* p = korvel_defsfont_get_preset(load.bank, static_cast<unsigned int>(i / 128),
                                                           static_cast<unsigned int>(i % 128));
        EXPECT_EQ(p->zone->inst, insts[static_cast<size_t>(count - 1 - i)]) << i;
    }
    int mods = 0;
    for (korvel_mod_t* m = insts[0]->zone->mod; m != nullptr; m = m->next) {
        EXPECT_EQ(m->id, ++mods);
    }
    EXPECT_EQ(mods, 5 * count);
}

TEST(Sf2Import, EmptyNamesGetDefaults)
{
    sf2::Bank bank = sf2::general_bank();
    bank.instruments[1].name = "";
    bank.presets[4].name = "";
    LoadResult load(bank.bytes());
    ASSERT_EQ(load.result, 0) << load.transcript();
    EXPECT_NE(instrument(load.bank, "Untitled"), nullptr);
    EXPECT_STREQ(korvel_defsfont_get_preset(load.bank, 0, 1)->name, "Preset Bank 0, Preset 1");
    EXPECT_STREQ(instrument(load.bank, "Untitled")->zone->name, "Untitled/2");
}

TEST(Sf2Import, LoaderWrapsTheBankOrLeavesNothing)
{
    std::string good = sf2::scratch_path("good.sf2");
    ASSERT_TRUE(sf2::general_bank().write(good));
    std::string bad = sf2::scratch_path("bad.sf2");
    std::vector<uint8_t> bytes = sf2::general_bank().bytes();
    bytes[0] = 'X';
    {
        std::ofstream f(bad, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    korvel_sfloader_t* loader = new_korvel_defsfloader();
    ::testing::internal::CaptureStdout();
    korvel_sfont_t* sfont = loader->load(loader, good.c_str());
    korvel_sfont_t* none = loader->load(loader, bad.c_str());
    std::string out = ::testing::internal::GetCapturedStdout();
    ASSERT_NE(sfont, nullptr);
    EXPECT_EQ(none, nullptr);
    EXPECT_NE(out.find("Soundfont Synthesizer: Die Soundfontstrukturen wurden erstellt. \n"), std::string::npos);
    EXPECT_NE(out.find("Not a RIFF file\n"), std::string::npos);
    EXPECT_STREQ(sfont->get_name(sfont), good.c_str());
    korvel_preset_t* drums = sfont->get_preset(sfont, 128, 25);
    EXPECT_STREQ(drums->get_name(drums), "Brush Kit");
    drums->free(drums);
    EXPECT_EQ(sfont->free(sfont), 0);
    EXPECT_EQ(loader->free(loader), 0);
}

} // namespace
