#include "sampler/src/formats/korvel_dls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <functional>
#include <string>
#include <vector>

#include "sampler/src/formats/korvel_dls_art.h"
#include "sampler/src/bank/korvel_sf2_import.h"
#include "tools/soundbank/dls_writer.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tools/soundbank/sf2_writer.h"

namespace {

using namespace korvel_dls;
using korvel_test::LogCapture;

constexpr int kGuard = 46;

// Waves: 0 "Sine" (4 periods of 64, looped over the last three, root 60, -5 cents) and 1, unnamed, a 100-point
// click at 44.1 kHz without a sample record.
// Instruments: 0:0 "Sine Lead" with an instrument articulation; 8:5 "Split" with a region that has its own sample
// record (root 72, loop until release) and a Level 2 region with its own articulation; an unnamed drum kit with a
// key group.
dls::Bank fixtureBank() {
  dls::Bank bank;
  bank.waves.push_back({"Sine", sf2::sine_wave(64, 4), 48000, dls::SampleRecord{60, -5, 0, dls::Loop{0, 64, 192}}});
  bank.waves.push_back({"", sf2::click(100), 44100, std::nullopt});

  dls::Instrument lead{"Sine Lead", 0, false, 0, {dls::Region{}}, dls::Articulation{}};
  lead.articulation->connections = {
      dls::connection(kSrcNone, kDstEg1Attack, -1200), dls::connection(kSrcNone, kDstEg1Decay, 2400),
      dls::connection(kSrcNone, kDstEg1Sustain, 500),  dls::connection(kSrcNone, kDstEg1Release, -600),
      dls::connection(kSrcNone, kDstLfoFrequency, -600), dls::connection(kSrcNone, kDstLfoDelay, -3000),
      dls::connection(kSrcLfo, kDstPitch, 50),         dls::connection(kSrcNone, kDstPan, -250),
      dls::connection(kSrcNone, kDstReverb, 200),      dls::connection(kSrcNone, kDstEg2Sustain, 250),
  };
  bank.instruments.push_back(lead);

  dls::Region low;
  low.key_hi = 59;
  low.pool_index = 1;
  low.sample = dls::SampleRecord{72, -10, -60 * 65536, dls::Loop{1, 10, 50}};
  dls::Region high;
  high.key_lo = 60;
  high.vel_lo = 1;
  high.vel_hi = 100;
  high.level2 = true;
  high.articulation = dls::Articulation{true,
                                        {dls::connection(kSrcVibrato, kDstPitch, 30),
                                         dls::connection(kSrcNone, kDstFilterCutoff, 9000),
                                         dls::connection(kSrcNone, kDstFilterQ, 60),
                                         dls::connection(kSrcNone, kDstEg1Decay, 1000),
                                         dls::connection(kSrcKeyNumber, kDstEg1Decay, 1280),
                                         dls::connection(kSrcLfo, kDstGain, -30)}};
  bank.instruments.push_back(
      {"Split", 8 << 8, false, 5, {low, high}, dls::Articulation{false, {dls::connection(kSrcNone, kDstEg1Attack, 100)}}});

  dls::Region drum;
  drum.key_lo = drum.key_hi = 36;
  drum.key_group = 1;
  drum.pool_index = 1;
  bank.instruments.push_back({"", 0, true, 0, {drum}, std::nullopt});
  return bank;
}

// Loads bytes through a scratch file into a fresh bank, keeping the result and the error lines.
struct Loaded {
  explicit Loaded(const std::vector<uint8_t>& bytes, const std::string& name = "bank.dls") {
    std::string path = sf2::scratch_path(name);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
    }
    bank = new_korvel_defsfont();
    result = korvel_dls_load(bank, path.c_str());
    errors = log.texts(KORVEL_ERR);
  }
  ~Loaded() { delete_korvel_defsfont(bank); }

  std::string firstError() const { return errors.empty() ? std::string() : errors.front(); }

  LogCapture log;
  korvel_defsfont_t* bank = nullptr;
  int result = 0;
  std::vector<std::string> errors;
};

korvel_sample_t* sampleAt(korvel_defsfont_t* bank, int index) {
  korvel_list_t* cell = bank->sample;
  for (int i = 0; i < index && cell; ++i) cell = cell->next;
  return cell ? static_cast<korvel_sample_t*>(cell->data) : nullptr;
}

korvel_inst_zone_t* zoneAt(korvel_inst_t* inst, int index) {
  korvel_inst_zone_t* zone = inst->zone;
  for (int i = 0; i < index && zone; ++i) zone = zone->next;
  return zone;
}

// The generators a zone has set, as number -> value.
std::map<int, double> setGenerators(const korvel_zone_gen_t* gen) {
  std::map<int, double> set;
  for (int g = 0; g < GEN_LAST; ++g)
    if (gen[g].flags == GEN_SET) set[g] = gen[g].val;
  return set;
}

TEST(DlsReader, BuildsPresetsInstrumentsAndSamples) {
  Loaded loaded(fixtureBank().bytes());
  ASSERT_EQ(loaded.result, 0) << loaded.firstError();
  korvel_defsfont_t* bank = loaded.bank;
  EXPECT_STREQ(korvel_defsfont_get_name(bank), sf2::scratch_path("bank.dls").c_str());

  struct PresetRow {
    unsigned int bank, num;
    std::string name;
  };
  std::vector<PresetRow> presets;
  for (korvel_defpreset_t* p = bank->preset; p; p = p->next) presets.push_back({p->bank, p->num, p->name});
  ASSERT_EQ(presets.size(), 3u);
  EXPECT_EQ(presets[0].name, "Sine Lead");
  EXPECT_EQ(presets[1].bank, 8u);
  EXPECT_EQ(presets[1].num, 5u);
  EXPECT_EQ(presets[1].name, "Split");
  EXPECT_EQ(presets[2].bank, 128u);
  EXPECT_EQ(presets[2].name, "Preset Bank 128, Preset 0");

  korvel_sample_t* sine = sampleAt(bank, 0);
  korvel_sample_t* hit = sampleAt(bank, 1);
  ASSERT_NE(sine, nullptr);
  ASSERT_NE(hit, nullptr);
  EXPECT_STREQ(sine->name, "Sine");
  EXPECT_STREQ(hit->name, "Wave 1");
  EXPECT_EQ(sine->data, bank->sampledata);
  EXPECT_EQ(hit->data, bank->sampledata);
  EXPECT_EQ(bank->samplesize, (256u + kGuard + 100u + kGuard) * 2);
  EXPECT_EQ(std::vector<unsigned int>({sine->pstart, sine->pend, sine->size, sine->lstart, sine->lend}),
            std::vector<unsigned int>({0, 255, 255, 64, 256}));
  EXPECT_EQ(std::vector<unsigned int>({hit->pstart, hit->pend, hit->size, hit->lstart, hit->lend}),
            std::vector<unsigned int>({302, 401, 99, 302, 401}));
  EXPECT_EQ(sine->rate, 48000u);
  EXPECT_EQ(hit->rate, 44100u);
  EXPECT_EQ(sine->pitch, 60);
  EXPECT_EQ(sine->adjust, -5);
  EXPECT_EQ(sine->valid, 1);
  std::vector<int16_t> sinePoints = sf2::sine_wave(64, 4), hitPoints = sf2::click(100);
  EXPECT_TRUE(std::equal(sinePoints.begin(), sinePoints.end(), bank->sampledata));
  EXPECT_TRUE(std::equal(hitPoints.begin(), hitPoints.end(), bank->sampledata + 302));
  for (int i = 0; i < kGuard; ++i) {
    EXPECT_EQ(bank->sampledata[256 + i], 0);
    EXPECT_EQ(bank->sampledata[402 + i], 0);
  }
}

TEST(DlsReader, TranslatesRegionsAndArticulation) {
  Loaded loaded(fixtureBank().bytes());
  ASSERT_EQ(loaded.result, 0) << loaded.firstError();
  korvel_defsfont_t* bank = loaded.bank;
  korvel_sample_t* sine = sampleAt(bank, 0);
  korvel_sample_t* hit = sampleAt(bank, 1);

  korvel_inst_t* lead = static_cast<korvel_inst_t*>(bank->inst->data);
  ASSERT_EQ(bank->preset->zone->inst, lead);
  EXPECT_EQ(lead->global_zone, nullptr);
  korvel_inst_zone_t* leadZone = lead->zone;
  ASSERT_NE(leadZone, nullptr);
  EXPECT_STREQ(leadZone->name, "Sine Lead/1");
  EXPECT_EQ(leadZone->id, 1);
  EXPECT_EQ(leadZone->sample, sine);
  EXPECT_EQ(std::vector<int>({leadZone->keylo, leadZone->keyhi, leadZone->vello, leadZone->velhi}),
            std::vector<int>({0, 127, 0, 127}));
  EXPECT_EQ(setGenerators(leadZone->gen), (std::map<int, double>{{GEN_VOLENVATTACK, -1200},
                                                                {GEN_VOLENVDECAY, 2400},
                                                                {GEN_VOLENVSUSTAIN, 500},
                                                                {GEN_VOLENVRELEASE, -600},
                                                                {GEN_MODLFOFREQ, -600},
                                                                {GEN_MODLFODELAY, -3000},
                                                                {GEN_MODLFOTOPITCH, 50},
                                                                {GEN_PAN, -250},
                                                                {GEN_REVERBSEND, 200},
                                                                {GEN_MODENVSUSTAIN, 750},
                                                                {GEN_SAMPLEMODE, 1}}));

  korvel_inst_t* split = static_cast<korvel_inst_t*>(bank->inst->next->data);
  // Zones run opposite to the file, as the SoundFont 2 import lays them out, and are numbered in list order.
  korvel_inst_zone_t* high = zoneAt(split, 0);
  korvel_inst_zone_t* low = zoneAt(split, 1);
  ASSERT_NE(low, nullptr);
  EXPECT_STREQ(high->name, "Split/2");
  EXPECT_EQ(high->id, 1);
  EXPECT_STREQ(low->name, "Split/1");
  EXPECT_EQ(low->id, 2);

  EXPECT_EQ(low->sample, hit);
  EXPECT_EQ(low->keyhi, 59);
  // The instrument's articulation, and the region's sample record over the wave's (which has none): loop 10..60
  // against the sample's own 0..99, as fine offsets.
  EXPECT_EQ(setGenerators(low->gen), (std::map<int, double>{{GEN_VOLENVATTACK, 100},
                                                           {GEN_OVERRIDEROOTKEY, 72},
                                                           {GEN_FINETUNE, -10},
                                                           {GEN_ATTENUATION, 60},
                                                           {GEN_SAMPLEMODE, 3},
                                                           {GEN_STARTLOOPADDROFS, 10},
                                                           {GEN_ENDLOOPADDROFS, 60 - 99}}));

  EXPECT_EQ(high->sample, sine);
  EXPECT_EQ(std::vector<int>({high->keylo, high->keyhi, high->vello, high->velhi}), std::vector<int>({60, 127, 1, 100}));
  // The region's own articulation replaces the instrument's; decay over 128 keys becomes -10 per key around key 60.
  EXPECT_EQ(setGenerators(high->gen), (std::map<int, double>{{GEN_VIBLFOTOPITCH, 30},
                                                            {GEN_FILTERFC, 9000},
                                                            {GEN_FILTERQ, 60},
                                                            {GEN_VOLENVDECAY, 1000 + 600},
                                                            {GEN_KEYTOVOLENVDECAY, -10},
                                                            {GEN_MODLFOTOVOL, 30},
                                                            {GEN_SAMPLEMODE, 1}}));

  korvel_inst_t* kit = static_cast<korvel_inst_t*>(bank->inst->next->next->data);
  EXPECT_STREQ(kit->name, "Untitled");
  EXPECT_EQ(setGenerators(kit->zone->gen), (std::map<int, double>{{GEN_EXCLUSIVECLASS, 1}}));
  EXPECT_EQ(kit->zone->keylo, 36);
  EXPECT_EQ(kit->zone->keyhi, 36);
}

TEST(DlsReader, BankSelectBecomesTheChannelsBankNumber) {
  struct Case {
    uint32_t bankSelect;
    bool drums;
    unsigned int bank;
  };
  for (const Case& c : {Case{0, false, 0}, Case{8 << 8, false, 8}, Case{3, false, 3}, Case{(1 << 8) | 2, false, 130},
                        Case{0, true, 128}, Case{5 << 8, true, 128}}) {
    dls::Bank bank;
    bank.waves.push_back({"w", sf2::sine_wave(16, 2), 48000, std::nullopt});
    bank.instruments.push_back({"i", c.bankSelect, c.drums, 7, {dls::Region{}}, std::nullopt});
    Loaded loaded(bank.bytes());
    ASSERT_EQ(loaded.result, 0) << loaded.firstError();
    EXPECT_EQ(loaded.bank->preset->bank, c.bank) << std::hex << c.bankSelect;
    EXPECT_EQ(loaded.bank->preset->num, 7u);
  }
}

// The same program written as SoundFont 2 and as DLS fills the model alike: sample points, positions, pitch and
// rate, zone ranges and every generator.
TEST(DlsReader, FillsTheModelAsTheSoundFontReaderDoes) {
  Loaded dlsLoad(fixtureBank().bytes());
  ASSERT_EQ(dlsLoad.result, 0) << dlsLoad.firstError();

  sf2::Bank sf;
  sf2::Sample sample = sf2::looped_sample("Sine", sf2::sine_wave(64, 4), 64, 60);
  sample.data.resize(sample.loop_end);  // the DLS wave has no points past its loop
  sample.correction = -5;
  sf.samples.push_back(sample);
  sf2::Zone zone;
  zone.key_range(0, 127).vel_range(0, 127);
  for (auto [g, v] : std::initializer_list<std::pair<uint16_t, int16_t>>{
           {GEN_VOLENVATTACK, -1200}, {GEN_VOLENVDECAY, 2400}, {GEN_VOLENVSUSTAIN, 500}, {GEN_VOLENVRELEASE, -600},
           {GEN_MODLFOFREQ, -600}, {GEN_MODLFODELAY, -3000}, {GEN_MODLFOTOPITCH, 50}, {GEN_PAN, -250},
           {GEN_REVERBSEND, 200}, {GEN_MODENVSUSTAIN, 750}, {GEN_SAMPLEMODE, 1}})
    zone.gen(g, v);
  zone.link = 0;
  sf.instruments.push_back({"Sine Lead", {zone}});
  sf2::Zone presetZone;
  presetZone.link = 0;
  sf.presets.push_back({"Sine Lead", 0, 0, {presetZone}});
  std::string sfPath = sf2::scratch_path("same.sf2");
  ASSERT_TRUE(sf.write(sfPath));
  korvel_defsfont_t* sfBank = new_korvel_defsfont();
  ASSERT_EQ(korvel_defsfont_load(sfBank, sfPath.c_str()), 0);

  korvel_sample_t* a = sampleAt(dlsLoad.bank, 0);
  korvel_sample_t* b = sampleAt(sfBank, 0);
  auto relative = [](korvel_sample_t* s) {
    return std::vector<long>({long(s->pend - s->pstart), long(s->lstart - s->pstart), long(s->lend - s->pstart),
                              long(s->size), long(s->rate), s->pitch, s->adjust, s->valid});
  };
  EXPECT_EQ(relative(a), relative(b));
  // A DLS gain is meant in full; SoundFont 2 attenuation is left to the player's share.
  EXPECT_EQ(a->attenuation_in_full, 1);
  EXPECT_EQ(b->attenuation_in_full, 0);
  EXPECT_TRUE(std::equal(a->data + a->pstart, a->data + a->pend + 1, b->data + b->pstart));

  korvel_inst_zone_t* za = static_cast<korvel_inst_t*>(dlsLoad.bank->inst->data)->zone;
  korvel_inst_zone_t* zb = static_cast<korvel_inst_t*>(sfBank->inst->data)->zone;
  EXPECT_EQ(std::vector<int>({za->keylo, za->keyhi, za->vello, za->velhi}),
            std::vector<int>({zb->keylo, zb->keyhi, zb->vello, zb->velhi}));
  for (int g = 0; g < GEN_LAST; ++g) {
    EXPECT_EQ(za->gen[g].flags, zb->gen[g].flags) << gen_verbose(g);
    EXPECT_EQ(za->gen[g].val, zb->gen[g].val) << gen_verbose(g);
  }
  EXPECT_EQ(dlsLoad.bank->preset->bank, sfBank->preset->bank);
  EXPECT_EQ(dlsLoad.bank->preset->num, sfBank->preset->num);
  delete_korvel_defsfont(sfBank);
}

TEST(DlsReader, TellsDlsFilesByContent) {
  std::string dlsPath = sf2::scratch_path("bank.dls");
  std::string sfPath = sf2::scratch_path("bank.sf2");
  std::string shortPath = sf2::scratch_path("short.dls");
  ASSERT_TRUE(fixtureBank().write(dlsPath));
  ASSERT_TRUE(sf2::general_bank().write(sfPath));
  std::vector<uint8_t> head = fixtureBank().bytes();
  head.resize(11);
  FILE* file = std::fopen(shortPath.c_str(), "wb");
  std::fwrite(head.data(), 1, head.size(), file);
  std::fclose(file);
  EXPECT_EQ(korvel_is_dls(dlsPath.c_str()), 1);
  EXPECT_EQ(korvel_is_dls(sfPath.c_str()), 0);
  EXPECT_EQ(korvel_is_dls(shortPath.c_str()), 0);
  EXPECT_EQ(korvel_is_dls(sf2::scratch_path("missing.dls").c_str()), 0);

  LogCapture log;
  korvel_defsfont_t* bank = new_korvel_defsfont();
  EXPECT_EQ(korvel_dls_load(bank, sf2::scratch_path("missing.dls").c_str()), -1);
  EXPECT_EQ(korvel_dls_load(bank, sfPath.c_str()), -1);
  EXPECT_EQ(log.texts(KORVEL_ERR),
            (std::vector<std::string>{"DLS: unable to open file \"" + sf2::scratch_path("missing.dls") + "\"",
                                      "DLS: not a DLS file (RIFF form \"sfbk\")"}));
  EXPECT_EQ(bank->sample, nullptr);
  EXPECT_EQ(bank->preset, nullptr);
  delete_korvel_defsfont(bank);
}

TEST(DlsReader, LeavesABankThatAlreadyHoldsAFile) {
  std::string path = sf2::scratch_path("bank.dls");
  ASSERT_TRUE(fixtureBank().write(path));
  korvel_defsfont_t* bank = new_korvel_defsfont();
  ASSERT_EQ(korvel_dls_load(bank, path.c_str()), 0);
  short* data = bank->sampledata;
  korvel_defpreset_t* first = bank->preset;
  LogCapture log;
  EXPECT_EQ(korvel_dls_load(bank, path.c_str()), -1);
  EXPECT_EQ(log.texts(KORVEL_ERR), std::vector<std::string>{"DLS: the bank already holds a file"});
  EXPECT_EQ(bank->sampledata, data);
  EXPECT_EQ(bank->preset, first);
  EXPECT_EQ(korvel_list_size(bank->sample), 2);
  delete_korvel_defsfont(bank);
}

// Every proper prefix of a good file is refused; so is every prefix whose RIFF size is patched to fit, unless the
// cut falls where the file could legitimately end (after the wave pool, before the closing information list).
TEST(DlsReader, RefusesEveryTruncation) {
  const std::vector<uint8_t> whole = fixtureBank().bytes();
  const size_t lastRequired = sf2::find_chunk(whole, "wvpl") + 8 + sf2::read_u32(whole, sf2::find_chunk(whole, "wvpl") + 4);
  for (size_t length = 0; length < whole.size(); ++length) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
    {
      Loaded loaded(cut);
      ASSERT_EQ(loaded.result, -1) << length;
      ASSERT_FALSE(loaded.errors.empty()) << length;
      EXPECT_EQ(loaded.bank->preset, nullptr) << length;
    }
    if (length >= 12) {
      sf2::put_u32(cut, 4, static_cast<uint32_t>(length - 8));
      Loaded loaded(cut);
      if (length == lastRequired) {
        EXPECT_EQ(loaded.result, 0) << loaded.firstError();
      } else {
        ASSERT_EQ(loaded.result, -1) << "patched " << length;
        ASSERT_FALSE(loaded.errors.empty()) << "patched " << length;
        EXPECT_EQ(loaded.bank->preset, nullptr) << "patched " << length;
      }
    }
  }
}

TEST(DlsReader, RefusesCorruptedChunks) {
  using Bytes = std::vector<uint8_t>;
  auto at = [](const Bytes& b, const char* id) {
    size_t pos = sf2::find_chunk(b, id);
    EXPECT_NE(pos, std::string::npos) << id;
    return pos;
  };
  auto rename = [at](const char* from, const char* to) {
    return [=](Bytes& b) {
      size_t pos = at(b, from);
      size_t code = std::memcmp(&b[pos], "LIST", 4) == 0 ? pos + 8 : pos;
      std::memcpy(&b[code], to, 4);
    };
  };
  auto setU32 = [at](const char* id, size_t offset, uint32_t value) {
    return [=](Bytes& b) { sf2::put_u32(b, at(b, id) + offset, value); };
  };
  auto setU16 = [at](const char* id, size_t offset, uint16_t value) {
    return [=](Bytes& b) { sf2::put_u16(b, at(b, id) + offset, value); };
  };
  struct Case {
    const char* name;
    std::function<void(Bytes&)> corrupt;
    const char* error;
  };
  // Offsets count from the chunk's identifier: its content starts at 8 (a list's at 12).
  const Case cases[] = {
      {"not RIFF", [](Bytes& b) { std::memcpy(&b[0], "RIFX", 4); }, "DLS: not a RIFF file"},
      {"RIFF size past the end", [](Bytes& b) { sf2::put_u32(b, 4, static_cast<uint32_t>(b.size())); },
       "DLS: RIFF size"},
      {"collection header renamed", rename("colh", "colx"), "DLS: no collection header"},
      {"collection count", setU32("colh", 8, 4), "DLS: collection header announces 4 instruments, 3 found"},
      {"collection header empty", setU32("colh", 4, 0), "runs past the end"},
      {"instrument list renamed", rename("lins", "linx"), "DLS: no instrument list"},
      {"instrument list of size 0", setU32("lins", 4, 0), "DLS: file: list chunk of 0 bytes has no room for its type"},
      {"instrument list past the end", setU32("lins", 4, 0x7ffffff0), "runs past the end"},
      {"instrument header renamed", rename("insh", "insx"), "DLS: instrument 0: no instrument header"},
      {"region count", setU32("insh", 8, 2), "DLS: instrument 0: header announces 2 regions, 1 found"},
      {"program out of range", setU32("insh", 16, 128), "DLS: instrument 0: program 128 is not a MIDI program"},
      {"bank bits", setU32("insh", 12, 0x00010000), "DLS: instrument 0: bank 0x00010000 is not a MIDI bank select"},
      {"region list of size 0", setU32("lrgn", 4, 0), "list chunk of 0 bytes has no room for its type"},
      {"region header renamed", rename("rgnh", "rgnx"), "DLS: instrument 0 region 0: region without a region header"},
      {"region header short", setU32("rgnh", 4, 10), "DLS: instrument 0 region 0: region header of 10 bytes is too short"},
      {"key range", setU16("rgnh", 10, 200), "key range 0 to 200 is not a MIDI key range"},
      {"key range reversed", [at](Bytes& b) { sf2::put_u16(b, at(b, "rgnh") + 8, 100), sf2::put_u16(b, at(b, "rgnh") + 10, 99); },
       "key range 100 to 99 is not a MIDI key range"},
      {"velocity range", setU16("rgnh", 14, 300), "velocity range 0 to 300 is not a MIDI velocity range"},
      {"wave link renamed", rename("wlnk", "wlnx"), "region without a wave link"},
      {"bad pool index", setU32("wlnk", 16, 2), "DLS: instrument 0 region 0: pool index 2 beyond the 2 entries"},
      {"huge pool index", setU32("wlnk", 16, 0xffffffff), "pool index 4294967295 beyond"},
      {"articulation count", setU32("art1", 12, 0x40000000), "1073741824 connection blocks do not fit"},
      {"articulation header size", setU32("art1", 8, 4), "connection blocks do not fit"},
      {"pool table renamed", rename("ptbl", "ptbx"), "DLS: no pool table"},
      {"pool table count", setU32("ptbl", 12, 0x40000001), "1073741825 pool table entries do not fit"},
      {"pool table offset", setU32("ptbl", 16, 2), "DLS: pool table entry 0 points to offset 2, where no wave starts"},
      {"wave pool renamed", rename("wvpl", "wvpx"), "DLS: no wave pool"},
      {"wave pool of size 0", setU32("wvpl", 4, 0), "list chunk of 0 bytes has no room for its type"},
      {"wave renamed", rename("wave", "wavx"), "DLS: pool table entry 0 points to offset 0, where no wave starts"},
      {"format renamed", rename("fmt ", "fmtx"), "DLS: wave 0: no format chunk"},
      {"float samples", setU16("fmt ", 8, 3), "DLS: wave 0: only mono 16-bit PCM is supported, not format 3"},
      {"8-bit samples", setU16("fmt ", 22, 8), "not format 1 with 1 channels of 8 bits"},
      {"stereo", setU16("fmt ", 10, 2), "not format 1 with 2 channels of 16 bits"},
      {"sample rate 0", setU32("fmt ", 12, 0), "DLS: wave 0: sample rate 0"},
      {"data renamed", rename("data", "datx"), "DLS: wave 0: no data chunk"},
      {"data past the end", setU32("data", 4, 100000), "DLS: wave 0: chunk \"data\" of 100000 bytes runs past the end"},
      {"sample record size", setU32("wsmp", 8, 100), "sample record size 100 does not fit"},
      {"loop count", setU32("wsmp", 24, 3), "3 loop records do not fit"},
      {"loop past the wave", setU32("wsmp", 40, 300), "DLS: instrument 1 region 0: loop of 300 frames at 10 lies outside"},
      {"empty loop", setU32("wsmp", 40, 0), "DLS: instrument 1 region 0: loop of 0 frames at 10 lies outside"},
      {"unity note", setU16("wsmp", 12, 200), "unity note 200 is not a MIDI key"},
  };
  const Bytes good = fixtureBank().bytes();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes bytes = good;
    c.corrupt(bytes);
    Loaded loaded(bytes);
    EXPECT_EQ(loaded.result, -1);
    ASSERT_EQ(loaded.errors.size(), 1u);
    EXPECT_NE(loaded.errors[0].find(c.error), std::string::npos) << loaded.errors[0];
    EXPECT_EQ(loaded.bank->sample, nullptr);
    EXPECT_EQ(loaded.bank->preset, nullptr);
  }
}

// Random byte changes anywhere in a good file: each load either succeeds or fails with an error, and never reads
// outside the file (the sanitizers watch).
TEST(DlsReader, SurvivesRandomDamage) {
  const std::vector<uint8_t> good = fixtureBank().bytes();
  uint32_t seed = 2024;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 600; ++round) {
    std::vector<uint8_t> bytes = good;
    for (int flips = 1 + next() % 4; flips > 0; --flips) bytes[next() % bytes.size()] = static_cast<uint8_t>(next() >> 24);
    Loaded loaded(bytes);
    ASSERT_TRUE(loaded.result == 0 || loaded.result == -1) << round;
    if (loaded.result == -1) {
      ASSERT_EQ(loaded.errors.size(), 1u) << round;
      EXPECT_EQ(loaded.bank->preset, nullptr) << round;
    }
  }
}

// Loops are checked against the wave they play, whether the wave's own record or a region's gives them.
TEST(DlsReader, RefusesLoopsOutsideTheirWave) {
  dls::Bank regionLoop = fixtureBank();
  regionLoop.instruments[1].regions[0].sample->loop = dls::Loop{0, 90, 20};
  dls::Bank waveLoop = fixtureBank();
  waveLoop.waves[0].sample->loop = dls::Loop{0, 250, 10};
  for (auto [bank, error] : {std::pair{regionLoop, "DLS: instrument 1 region 0: loop of 20 frames at 90 lies outside the "
                                                  "wave's 100 frames"},
                             std::pair{waveLoop, "DLS: wave 0: loop of 10 frames at 250 lies outside the wave's 256 frames"}}) {
    Loaded loaded(bank.bytes());
    EXPECT_EQ(loaded.result, -1);
    EXPECT_EQ(loaded.errors, std::vector<std::string>{error});
  }
}

}  // namespace
