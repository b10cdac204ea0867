// Editing a bank loaded from a SoundFont 2 file through XML fragments, and exporting its samples: the inputs that
// once freed arena memory, moved global-zone values into other zones or merged global modulators, and a sample
// whose play end lies past the bank's data.
#include "sampler/src/formats/korvel_aiff_export.h"
#include "sampler/src/formats/korvel_xml_writer.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/aiff_frames.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <typename F> auto quietly(F f)
{
    ::testing::internal::CaptureStdout();
    auto result = f();
    ::testing::internal::GetCapturedStdout();
    return result;
}

unsigned int next_instance_id()
{
    static unsigned int id = 7300;
    return ++id;
}

// One sample, one instrument whose global zone holds pan 100, attenuation 100 and two different modulators, and
// one zone on the sample with generators and a modulator of its own; one preset with a global zone on it.
sf2::Bank edited_bank()
{
    sf2::Bank bank;
    bank.samples.push_back(
        sf2::looped_sample("Wave", sf2::sine_wave(sf2::FIXTURE_PERIOD, 8), sf2::FIXTURE_PERIOD, 60));
    sf2::Instrument inst{"Layered", {}};
    inst.zones.push_back(sf2::Zone{}
                             .gen(sf2::PAN, 100)
                             .gen(sf2::ATTENUATION, 100)
                             .mod({sf2::mod_source(1, true, false, false, 0), 8, -1200, 0, 0})
                             .mod({sf2::mod_source(2, false, true, false, 1), 48, 480, 0, 0}));
    sf2::Zone zone;
    zone.link = 0;
    zone.gen(sf2::SAMPLE_MODES, 1).gen(sf2::COARSE_TUNE, 2).mod(
        {sf2::mod_source(7, true, false, false, 0), 48, 300, 0, 0});
    inst.zones.push_back(zone);
    bank.instruments.push_back(inst);
    sf2::Preset preset{"Layered", 0, 0, {}};
    preset.zones.push_back(
        sf2::Zone{}.gen(sf2::PAN, -50).mod({sf2::mod_source(11, true, false, false, 0), 17, 200, 0, 0}));
    sf2::Zone preset_zone;
    preset_zone.link = 0;
    preset_zone.gen(sf2::COARSE_TUNE, -1);
    preset.zones.push_back(preset_zone);
    bank.presets.push_back(preset);
    return bank;
}

class XmlEditFaults : public ::testing::Test {
public:
    void SetUp() override
    {
        folder = sf2::scratch_path("");
        std::filesystem::create_directories(folder + "S");
        const std::string path = folder + "edited.sf2";
        ASSERT_TRUE(edited_bank().write(path));
        id = next_instance_id();
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(quietly([&] { return KorvelInitialize(folder.c_str(), path.c_str(), id); }), 0);
        ::testing::internal::GetCapturedStderr();
        korvel_sfont_t* sfont = korvel_synth_get_sfont(KorvelGetSynth(id), 0);
        ASSERT_NE(sfont, nullptr);
        bank = static_cast<korvel_defsfont_t*>(sfont->data);
        inst = static_cast<korvel_inst_t*>(bank->inst->data);
        sample = static_cast<korvel_sample_t*>(bank->sample->data);
        preset = bank->preset;
        ASSERT_EQ(korvel_aiff_export_set_folder(folder.c_str()), 0);
    }

    void TearDown() override { quietly([&] { return KorvelFinalize(id); }); }

    std::string instrument_xml() { return korvel_defsfont_get_instrument_xml(inst); }
    std::string preset_xml() { return korvel_defsfont_get_preset_xml(preset); }

    // The points of the single file exported, or -1 when there is none.
    long long exported_points()
    {
        for (const auto& entry : std::filesystem::directory_iterator(folder + "S")) {
            return korvel_test::whole_aiff_frames(entry.path().string());
        }
        return -1;
    }

    std::string folder;
    unsigned int id = 0;
    korvel_defsfont_t* bank = nullptr;
    korvel_inst_t* inst = nullptr;
    korvel_sample_t* sample = nullptr;
    korvel_defpreset_t* preset = nullptr;
};

template <typename Zone> std::string modulators(const Zone* zone)
{
    std::ostringstream s;
    for (const korvel_mod_t* m = zone->mod; m != nullptr; m = m->next) {
        s << m->id << ':' << int(m->src1) << ',' << int(m->flags1) << ',' << int(m->dest) << ',' << m->amount << ';';
    }
    return s.str();
}

TEST_F(XmlEditFaults, FragmentsThatOnceCorruptedTheBankOrReadPastItsData)
{
    struct Case {
        const char* fault;
        std::function<void(XmlEditFaults&)> act;
        std::function<void(XmlEditFaults&)> check;
    };
    const std::vector<Case> cases = {
        {"a zone name given to a zone of the bank's arena is freed like any other",
         [](XmlEditFaults& t) {
             const std::string fragment = "<instrument uid='" + std::to_string(t.inst->uid) +
                                          "'><izones><izone id='1' name='x'/></izones></instrument>";
             EXPECT_EQ(quietly([&] { return korvelsynth_set_instrument(t.id, t.inst->uid, fragment.c_str()); }), 0);
             EXPECT_EQ(quietly([&] { return korvelsynth_set_instrument(t.id, t.inst->uid, fragment.c_str()); }), 0);
         },
         [](XmlEditFaults& t) { EXPECT_STREQ(t.inst->zone->name, "x"); }},
        {"the global zone's generators stay in the global zone",
         [](XmlEditFaults& t) {
             const std::string before = t.instrument_xml();
             EXPECT_EQ(quietly([&] { return korvelsynth_set_instrument(t.id, t.inst->uid, before.c_str()); }), 0);
             EXPECT_EQ(t.instrument_xml(), before);
         },
         [](XmlEditFaults& t) {
             EXPECT_FALSE(t.inst->zone->gen[GEN_PAN].flags & GEN_SET) << "zone 1 gained the global pan";
             EXPECT_FALSE(t.inst->zone->gen[GEN_ATTENUATION].flags & GEN_SET);
             EXPECT_DOUBLE_EQ(t.inst->global_zone->gen[GEN_PAN].val, 100.0);
         }},
        {"each global modulator keeps its own values",
         [](XmlEditFaults& t) {
             const std::string before = t.preset_xml();
             EXPECT_EQ(quietly([&] { return korvelsynth_set_preset(t.id, t.preset->uid, before.c_str()); }), 0);
             EXPECT_EQ(t.preset_xml(), before);
             const std::string inst_before = t.instrument_xml();
             EXPECT_EQ(quietly([&] { return korvelsynth_set_instrument(t.id, t.inst->uid, inst_before.c_str()); }), 0);
         },
         [](XmlEditFaults& t) {
             EXPECT_EQ(modulators(t.inst->global_zone), "1:1,16,8,-1200;2:2,5,48,480;");
             EXPECT_EQ(modulators(t.inst->zone), "1:7,16,48,300;");
         }},
        {"an export after a play end past the data writes nothing beyond it",
         [](XmlEditFaults& t) {
             const std::string fragment = "<sample pend='99999999'/>";
             EXPECT_EQ(quietly([&] { return korvelsynth_set_sample(t.id, t.sample->uid, fragment.c_str()); }), 0);
             EXPECT_EQ(t.sample->valid, 0);
             EXPECT_EQ(quietly([&] { return KorvelExportSamples(t.id); }), 1);
             EXPECT_EQ(t.exported_points(), -1) << "a sample that is not valid is skipped";
             // Even a sample still marked valid never reads past the points of its block.
             t.sample->valid = 1;
             EXPECT_EQ(quietly([&] { return KorvelExportSamples(t.id); }), 1);
         },
         [](XmlEditFaults& t) { EXPECT_EQ(t.exported_points(), t.sample->data_points - t.sample->pstart); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        TearDown();
        SetUp();
        c.act(*this);
        c.check(*this);
    }
}

} // namespace
