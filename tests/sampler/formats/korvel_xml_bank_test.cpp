// XML sound banks: a SoundFont 2 bank exported to XML with raw sample files reads back whole; editing fragments
// change what they name; hostile documents are refused cleanly.
#include "sampler/src/sys/korvel_uid.h"
#include "sampler/src/formats/korvel_xml_reader.h"
#include "sampler/src/formats/korvel_xml_writer.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

void write_text(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

template <typename F> auto quietly(F f)
{
    ::testing::internal::CaptureStdout();
    auto result = f();
    ::testing::internal::GetCapturedStdout();
    return result;
}

template <typename F> std::string printed(F f)
{
    ::testing::internal::CaptureStdout();
    f();
    return ::testing::internal::GetCapturedStdout();
}

unsigned int next_instance_id()
{
    static unsigned int id = 6100;
    return ++id;
}

// An instance whose resources folder is the test's scratch folder, with the general bank loaded.
class XmlBank : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = sf2::scratch_path("");
        std::filesystem::create_directories(folder + "Sounds");
        const std::string sf2_path = folder + "bank.sf2";
        ASSERT_TRUE(sf2::general_bank().write(sf2_path));
        id = next_instance_id();
        ::testing::internal::CaptureStderr();
        ASSERT_EQ(quietly([&] { return KorvelInitialize(folder.c_str(), sf2_path.c_str(), id); }), 0);
        ::testing::internal::GetCapturedStderr();
    }

    void TearDown() override { quietly([&] { return KorvelFinalize(id); }); }

    korvel_defsfont_t* bank()
    {
        korvel_sfont_t* sfont = korvel_synth_get_sfont(KorvelGetSynth(id), 0);
        return sfont != nullptr ? static_cast<korvel_defsfont_t*>(sfont->data) : nullptr;
    }

    korvel_defsfont_t* load(const std::string& path)
    {
        korvel_defsfont_t* fresh = new_korvel_defsfont();
        last_output = printed([&] { EXPECT_EQ(korvel_defsfont_load_xml(fresh, path.c_str()), 0); });
        return fresh;
    }

    korvel_defsfont_t* load_text(const std::string& xml)
    {
        const std::string path = folder + "doc.xml";
        write_text(path, xml);
        return load(path);
    }

    std::string folder;
    unsigned int id = 0;
    std::string last_output;
};

template <typename Zone> std::vector<std::pair<int, double>> set_generators(const Zone* zone)
{
    std::vector<std::pair<int, double>> gens;
    for (int n = 0; n < GEN_LAST; n++) {
        if (zone->gen[n].flags & GEN_SET) {
            gens.emplace_back(n, zone->gen[n].val);
        }
    }
    return gens;
}

template <typename Zone> std::string modulators(const Zone* zone)
{
    std::ostringstream s;
    for (const korvel_mod_t* m = zone->mod; m != nullptr; m = m->next) {
        s << m->id << ':' << int(m->src1) << ',' << int(m->flags1) << ',' << int(m->src2) << ',' << int(m->flags2)
          << ',' << int(m->dest) << ',' << m->amount << ';';
    }
    return s.str();
}

// Everything a zone carries, with its link as the linked object's identifier. The reader names every global
// zone "Global Zone", so their names are left out.
template <typename Zone, typename Link> std::string describe(const Zone* zone, Link link, bool global = false)
{
    if (zone == nullptr) {
        return "none";
    }
    std::ostringstream s;
    s << zone->id << ' ' << (zone->name != nullptr && !global ? zone->name : "") << ' ' << zone->keylo << '-' << zone->keyhi
      << ' ' << zone->vello << '-' << zone->velhi << ' ' << zone->mute << " link " << link(zone) << " gens";
    for (auto [n, v] : set_generators(zone)) {
        s << ' ' << n << '=' << v;
    }
    s << " mods " << modulators(zone);
    return s.str();
}

// Zones of an owner sorted by number: the reader puts each zone it reads at the head of the list.
template <typename Zone, typename Link> std::vector<std::string> describe_zones(const Zone* first, Link link)
{
    std::vector<std::string> all;
    for (const Zone* z = first; z != nullptr; z = z->next) {
        all.push_back(describe(z, link));
    }
    std::sort(all.begin(), all.end());
    return all;
}

std::vector<std::string> describe_bank(korvel_defsfont_t* sfont)
{
    std::vector<std::string> out;
    auto inst_link = [](const korvel_preset_zone_t* z) { return z->inst != nullptr ? int(z->inst->uid) : -1; };
    auto sample_link = [](const korvel_inst_zone_t* z) { return z->sample != nullptr ? int(z->sample->uid) : -1; };
    for (korvel_defpreset_t* p = sfont->preset; p != nullptr; p = p->next) {
        out.push_back("preset " + std::to_string(p->uid) + ' ' + p->name + ' ' + std::to_string(p->bank) + ':' +
                      std::to_string(p->num) + " global " + describe(p->global_zone, inst_link, true));
        for (const std::string& z : describe_zones(p->zone, inst_link)) {
            out.push_back("  " + z);
        }
    }
    for (korvel_list_t* l = sfont->inst; l != nullptr; l = l->next) {
        auto* inst = static_cast<korvel_inst_t*>(l->data);
        out.push_back("instrument " + std::to_string(inst->uid) + ' ' + inst->name + " global " +
                      describe(inst->global_zone, sample_link, true));
        for (const std::string& z : describe_zones(inst->zone, sample_link)) {
            out.push_back("  " + z);
        }
    }
    return out;
}

TEST_F(XmlBank, SoundFontBankExportedWithRawSamplesReadsBackWhole)
{
    // Each sample's points go to a raw file that the sample then names, positions made relative to it.
    std::map<unsigned int, std::vector<short>> points;
    std::map<unsigned int, std::vector<unsigned int>> loops;
    for (korvel_list_t* l = bank()->sample; l != nullptr; l = l->next) {
        auto* s = static_cast<korvel_sample_t*>(l->data);
        std::vector<short> data(s->data + s->pstart, s->data + s->pend + 1);
        const std::string sub = "/Sounds/" + std::to_string(s->uid) + ".raw";
        std::ofstream(folder + sub, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size() * 2));
        const std::string fragment = "<sample uid='" + std::to_string(s->uid) + "' subpath='" + sub +
                                     "' pstart='0' pend='" + std::to_string(data.size()) + "' lstart='" +
                                     std::to_string(s->lstart - s->pstart) + "' lend='" +
                                     std::to_string(s->lend - s->pstart) + "'/>";
        loops[s->uid] = {s->lstart - s->pstart, s->lend - s->pstart};
        points[s->uid] = std::move(data);
        ASSERT_EQ(quietly([&] { return korvelsynth_set_sample(id, s->uid, fragment.c_str()); }), 0);
    }
    ASSERT_EQ(points.size(), 5u);
    const std::string xml = folder + "bank.xml";
    ASSERT_EQ(quietly([&] { return KorvelExportXML(id, xml.c_str()); }), 0);
    EXPECT_EQ(std::system(("python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])' '" + xml + "'")
                              .c_str()),
              0);

    korvel_defsfont_t* copy = load(xml);
    EXPECT_EQ(last_output.find("FEHLER"), std::string::npos) << last_output;
    EXPECT_EQ(describe_bank(copy), describe_bank(bank()));
    for (korvel_list_t* l = copy->sample; l != nullptr; l = l->next) {
        auto* s = static_cast<korvel_sample_t*>(l->data);
        SCOPED_TRACE(s->name);
        korvel_sample_t* original = korvel_defsfont_get_sample_by_id(bank(), s->uid);
        ASSERT_NE(original, nullptr);
        EXPECT_STREQ(s->name, original->name);
        EXPECT_EQ(s->rate, original->rate);
        EXPECT_EQ(s->pitch, original->pitch);
        EXPECT_EQ(s->adjust, original->adjust);
        EXPECT_EQ(s->valid, 1);
        EXPECT_EQ(std::vector<short>(s->data, s->data + s->size), points[s->uid]);
        EXPECT_EQ(s->pend, s->size);
        EXPECT_EQ((std::vector<unsigned int>{s->lstart, s->lend}), loops[s->uid]);
    }
    EXPECT_EQ(delete_korvel_defsfont(copy), 0);
}

TEST_F(XmlBank, GlobalZonesAndAwkwardNamesSurviveTheRoundTrip)
{
    korvel_defpreset_t* piano = korvel_defsfont_get_preset(bank(), 0, 0);
    ASSERT_NE(piano->global_zone, nullptr);
    korvel_defpreset_set_name(piano, "Rock'n Roll & <Blues> \"live\" \xE9t\xE9");
    const std::string xml = folder + "names.xml";
    ASSERT_EQ(quietly([&] { return KorvelExportXML(id, xml.c_str()); }), 0);
    korvel_defsfont_t* copy = load(xml);
    korvel_defpreset_t* read = korvel_defsfont_get_preset(copy, 0, 0);
    EXPECT_STREQ(read->name, "Rock'n Roll & <Blues> \"live\" \xC3\xA9t\xC3\xA9");
    ASSERT_NE(read->global_zone, nullptr);
    EXPECT_EQ(set_generators(read->global_zone), set_generators(piano->global_zone));
    EXPECT_FALSE(set_generators(read->global_zone).empty());
    EXPECT_EQ(delete_korvel_defsfont(copy), 0);
}

TEST_F(XmlBank, WrittenTextsFollowTheDocumentForm)
{
    const std::string header = korvel_defsfont_get_header_xml(bank());
    EXPECT_EQ(header.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                           "<!-- A Generic Sampler/Soundfont Format Description in XML -->\n\n<soundbank>\n",
                           0),
              0u);
    EXPECT_NE(header.find("\t\t<msource id='16' name='(16) Pitch Wheel Sensitivity'/>\n"), std::string::npos);
    EXPECT_NE(header.find("\t\t<msource id='126' name='unused'/>\n\t</msources>\n\n"), std::string::npos);

    // An instrument without a global zone, one zone without generators.
    korvel_defsfont_t* empty = new_korvel_defsfont();
    korvel_inst_t* inst = korvel_defsfont_get_instrument_by_id(empty, korvel_defsfont_create_instrument(empty));
    korvel_inst_set_name(inst, "Bare");
    korvel_inst_zone_t* zone = new_korvel_inst_zone("z");
    zone->id = 1;
    korvel_inst_add_zone(inst, zone);
    const std::string uid = std::to_string(inst->uid);
    EXPECT_EQ(std::string(korvel_defsfont_get_instrument_xml(inst)),
              "\t\t<instrument uid='" + uid + "' name='Bare' alternate='0' shift='0'>\n"
              "\t\t\t<iglobal/>\n"
              "\t\t\t<izone id='1' name='z' keylo='0' keyhi='128' vello='0' velhi='128' mute='0'>\n"
              "\t\t\t\t<igenerators>\n\t\t\t\t</igenerators>\n"
              "\t\t\t\t<imodulators>\n\t\t\t\t</imodulators>\n"
              "\t\t\t</izone>\n"
              "\t\t</instrument>\n");
    EXPECT_EQ(std::string(korvel_defsfont_get_instruments(empty)),
              "\t\t<instrument uid='" + uid + "' name='Bare' alternate='0' shift='0'/>\n");
    EXPECT_EQ(korvel_defsfont_get_presets(empty), nullptr);
    EXPECT_EQ(korvel_defsfont_get_samples(empty), nullptr);
    EXPECT_EQ(delete_korvel_defsfont(empty), 0);

    EXPECT_EQ(find("abcabc", "bc", 2), 4);
    EXPECT_EQ(find("abcabc", "bc", -3), 1);
    EXPECT_EQ(find("abc", "", 0), -1);
    char* text = strdup("a-b-c");
    EXPECT_EQ(replace(&text, "-", "+", 0, 1), 1);
    EXPECT_STREQ(text, "a+b+c");
    EXPECT_EQ(replace(&text, "+", "+", 0, 1), 0);
    std::free(text);
}

TEST_F(XmlBank, EditingFragmentsChangeWhatTheyName)
{
    korvel_defpreset_t* lead = korvel_defsfont_get_preset(bank(), 0, 1);
    const unsigned int lead_uid = lead->uid;
    std::vector<unsigned int> chain;
    for (korvel_defpreset_t* p = bank()->preset; p != nullptr; p = p->next) {
        chain.push_back(p->uid);
    }
    korvel_inst_t* kit = korvel_defsfont_get_preset(bank(), 128, 0)->zone->inst;
    const int zone_id = lead->zone->id;
    const std::string fragment = "<preset uid='" + std::to_string(lead_uid) +
                                 "' name='A name that is thirty chars..' bank='128'>"
                                 "<pzone id='" + std::to_string(zone_id) + "' keylo='12'>"
                                 "<pgenerator id='48' amount='96.5'/>"
                                 "<linstrument uid='" + std::to_string(kit->uid) + "'/></pzone></preset>";
    EXPECT_EQ(quietly([&] { return korvelsynth_set_preset(id, lead_uid, fragment.c_str()); }), 0);
    EXPECT_STREQ(lead->name, "A name that is thirt");
    EXPECT_EQ(lead->bank, 128u);
    std::vector<unsigned int> after;
    for (korvel_defpreset_t* p = bank()->preset; p != nullptr; p = p->next) {
        after.push_back(p->uid);
    }
    EXPECT_EQ(after, chain); // the preset keeps its place
    EXPECT_EQ(korvel_defsfont_get_preset(bank(), 128, 1), lead); // and program changes find it where it went
    EXPECT_EQ(lead->zone->keylo, 12);
    EXPECT_EQ(lead->zone->gen[48].flags, GEN_SET);
    EXPECT_DOUBLE_EQ(lead->zone->gen[48].val, 96.5);
    EXPECT_EQ(lead->zone->inst, kit);

    korvel_sample_t* sine = korvel_defsfont_get_sample(bank(), "Sine");
    const std::string rename = "<sample name='Thirty characters of sample..' rate='22050' tsource='3'/>";
    EXPECT_EQ(quietly([&] { return korvelsynth_set_sample(id, sine->uid, rename.c_str()); }), 0);
    EXPECT_STREQ(sine->name, "Thirty characters of");
    EXPECT_EQ(sine->rate, 22050u);
    EXPECT_EQ(sine->tsource, KORVEL_SAMPLE_ORIGIN); // its points stay the bank's
    EXPECT_EQ(sine->valid, 1);
    EXPECT_EQ(quietly([&] { return korvelsynth_set_sample(id, sine->uid, "<sample pend='99999999'/>"); }), 0);
    EXPECT_EQ(sine->valid, 0); // a play end past the bank's data would make a voice read beyond it

    // Missing objects and broken fragments change nothing.
    EXPECT_EQ(quietly([&] { return korvelsynth_set_preset(id, 999999, "<preset/>"); }), -1);
    EXPECT_EQ(quietly([&] { return korvelsynth_set_instrument(id, kit->uid, "<instrument name='x'"); }), -1);
    EXPECT_STRNE(kit->name, "x");
    EXPECT_NE(printed([&] { korvelsynth_set_sample(id, sine->uid, "<sample subpath='/../../etc/passwd'/>"); })
                  .find("leaves the resources folder"),
              std::string::npos);
    EXPECT_EQ(sine->subpath, nullptr);
}

TEST_F(XmlBank, ObjectsCreatedFromXmlJoinANewBank)
{
    ASSERT_GT(quietly([&] { return korvelsynth_create_soundbank_xml(id, "<soundbank><meta/></soundbank>"); }), 0);
    EXPECT_EQ(bank()->preset, nullptr);
    const int inst = quietly([&] { return korvelsynth_create_instrument_xml(id, "<instrument name='Made' shift='-30'/>"); });
    ASSERT_GT(inst, 0);
    const int preset = quietly([&] { return korvelsynth_create_preset_xml(id, "<preset name='Fresh' number='7'/>"); });
    ASSERT_GT(preset, 0);
    EXPECT_EQ(korvelsynth_get_preset_with_id(id, static_cast<unsigned int>(preset))->num, 7u);
    EXPECT_EQ(korvelsynth_get_instrument_with_id(id, static_cast<unsigned int>(inst))->shift, -12);
    const std::string list = korvelsynth_get_preset_list(id);
    EXPECT_EQ(list, "\t\t<preset uid='" + std::to_string(preset) + "' name='Fresh'/>\n");
    EXPECT_EQ(korvelsynth_get_last_buffersize(id), static_cast<int>(list.size()) + 1);
    EXPECT_NE(std::string(korvelsynth_get_instrument_with_id_xml(id, static_cast<unsigned int>(inst))).find("name='Made'"),
              std::string::npos);
    EXPECT_EQ(korvelsynth_get_sample_list(id), nullptr);
    EXPECT_EQ(korvelsynth_get_preset_on_channel_xml(id), nullptr);
    EXPECT_EQ(quietly([&] { return KorvelExportSamples(id); }), 0);
    EXPECT_EQ(quietly([&] { return KorvelExportSamples(id + 100000); }), 0) << "a missing instance";
    EXPECT_EQ(quietly([&] { return KorvelExportXML(id + 100000, "/nonexistent"); }), -1);
}

TEST_F(XmlBank, HostileDocumentsAreRefusedCleanly)
{
    const std::string raw(40, '\x01');
    write_text(folder + "Sounds/ok.raw", raw);
    write_text(folder + "secret.raw", raw);
    struct Case {
        const char* what;
        std::string xml;
        size_t samples;
        int valid; // of the first sample, -1 when there is none
        const char* output;
    };
    const std::string head = "<?xml version='1.0'?><soundbank><samples>";
    const std::vector<Case> cases = {
        {"truncated", head + "<sample uid='1' subpath='/Sounds/ok.raw'/><sample uid='2' name='cut", 1, 1, "FEHLER: XML Parser"},
        {"wrong nesting", head + "<sample uid='1'></samples></soundbank>", 1, 0, "FEHLER: XML Parser"},
        {"bad numbers", head + "<sample uid='x' subpath='/Sounds/ok.raw' rate='abc' pend='-5' lend='99999999999'/>"
                               "</samples></soundbank>", 1, 0, ""},
        {"missing sample file", head + "<sample uid='1' subpath='/Sounds/none.raw'/></samples></soundbank>", 1, 0,
         "While loading sample file"},
        {"path traversal", head + "<sample uid='1' subpath='/Sounds/../secret.raw'/></samples></soundbank>", 1, 0,
         "leaves the resources folder"},
        {"folder as sample file", head + "<sample uid='1' tsource='3' subpath='/Sounds/'/></samples></soundbank>", 1, 0,
         "cannot be found"},
        {"huge counts", head + "</samples><instruments><instrument uid='4294967296000'><izone id='99999999999'>"
                               "<igenerator id='4294967296' amount='1e308'/><imodulator id='-99999999999' src1='4096'/>"
                               "</izone></instrument></instruments></soundbank>", 0, -1, ""},
        {"entity expansion", "<?xml version='1.0'?><!DOCTYPE s [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;"
                             "&a;&a;&a;&a;&a;'><!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;&c;&c;"
                             "&c;&c;&c;&c;&c;'>]><soundbank><samples><sample name='&d;&d;&d;&d;'/></samples></soundbank>",
         1, 0, ""},
        {"empty", "", 0, -1, "File empty"},
        {"not xml", std::string("\0\xff\xfe<", 4), 0, -1, "FEHLER: XML Parser"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        korvel_defsfont_t* read = load_text(c.xml);
        size_t count = 0;
        for (korvel_list_t* l = read->sample; l != nullptr; l = l->next) {
            count++;
        }
        EXPECT_EQ(count, c.samples);
        if (c.valid >= 0 && read->sample != nullptr) {
            auto* s = static_cast<korvel_sample_t*>(read->sample->data);
            EXPECT_EQ(s->valid, c.valid);
            EXPECT_TRUE(s->data == nullptr || s->pend <= s->size);
        }
        EXPECT_NE(last_output.find(c.output), std::string::npos) << last_output;
        EXPECT_EQ(delete_korvel_defsfont(read), 0);
    }
}

TEST_F(XmlBank, ReaderRulesForContextAndLimits)
{
    write_text(folder + "Sounds/a.raw", std::string(20, '\0'));
    const std::string doc =
        "<soundbank><presets><preset uid='9001' name='P' bank='0' number='3'><pzones><pzone id='1'>"
        "<linstrument uid='9001'/></pzone></pzones></preset></presets>"
        "<instruments><instrument uid='9001' name='I' alternate='20' shift='-30'>"
        "<iglobal name='g' keylo='5'><gigenerators><igenerator id='300' amount='7'/></gigenerators></iglobal>"
        "<izones><izone id='1' name='z'><igenerators><igenerator id='17' amount='-50'/></igenerators>"
        "<imodulators><imodulator id='1' src1='2' dest='48' amount='10'/><imodulator id='2' src1='3' dest='8' "
        "amount='-5'/></imodulators><lsample uid='9001'/></izone></izones></instrument></instruments>"
        "<samples><sample uid='9001' name='S' pend='3' subpath='/Sounds/a.raw' lstart='2' lend='8'/></samples>"
        "</soundbank>";
    korvel_defsfont_t* read = load_text(doc);
    korvel_inst_t* inst = korvel_defsfont_get_instrument_by_id(read, 9001);
    ASSERT_NE(inst, nullptr);
    EXPECT_EQ(inst->alternate, 12);
    EXPECT_EQ(inst->shift, -12);
    ASSERT_NE(inst->global_zone, nullptr);
    EXPECT_EQ(inst->global_zone->keylo, 5);
    EXPECT_STREQ(inst->global_zone->name, "Global Zone");
    EXPECT_EQ(set_generators(inst->global_zone), (std::vector<std::pair<int, double>>{{105, 7.0}}));
    ASSERT_NE(inst->zone, nullptr);
    EXPECT_EQ(set_generators(inst->zone), (std::vector<std::pair<int, double>>{{17, -50.0}}));
    EXPECT_EQ(modulators(inst->zone), "1:2,0,0,0,48,10;2:3,0,0,0,8,-5;");
    korvel_sample_t* sample = korvel_defsfont_get_sample_by_id(read, 9001);
    EXPECT_EQ(inst->zone->sample, sample);
    EXPECT_EQ(sample->size, 10u);
    EXPECT_EQ(sample->pend, 10u); // the play end given before the file was known was cut to size 0, then the file set it
    EXPECT_EQ(sample->valid, 1);
    korvel_defpreset_t* preset = korvel_defsfont_get_preset(read, 0, 3);
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->zone->inst, inst);
    EXPECT_EQ(delete_korvel_defsfont(read), 0);
}

} // namespace
