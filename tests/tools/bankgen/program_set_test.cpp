// The sounds of the generated program set as the synthesizer reads them from both file formats: loops of whole
// periods, exact tuning, the vibrato and modulation LFOs, and the drum kit's keys and hi-hat choke.

#include "sampler/src/voice/korvel_profile.h"
#include "tests/tools/bankgen/generated_bank.h"
#include "tools/bankgen/MelodicVoices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using bankgen_test::LoadedBank;

double keyToHz(double key)
{
    return 440.0 * std::exp2((key - 69.0) / 12.0);
}

// The shortest span after which the loop's points repeat (within one step of rounding).
unsigned repetitionPeriod(const korvel_sample_t* sample)
{
    const short* loop = sample->data + sample->lstart;
    unsigned length = sample->lend - sample->lstart;
    for (unsigned period = 1; period < length; ++period) {
        if (length % period != 0) {
            continue;
        }
        bool repeats = true;
        for (unsigned i = 0; i + period < length && repeats; ++i) {
            repeats = std::abs(loop[i] - loop[i + period]) <= 1;
        }
        if (repeats) {
            return period;
        }
    }
    return length;
}

bool isSet(const korvel_zone_gen_t& gen)
{
    return gen.flags != 0;
}

TEST(GeneratedProgramSet, EveryLoopHoldsWholePeriodsOfItsRootKey)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        LoadedBank loaded(file);
        ASSERT_EQ(loaded.result, 0);
        std::set<const korvel_sample_t*> checked;
        for (korvel_defpreset_t* preset : loaded.presets()) {
            korvel_inst_t* instrument = bankgen_test::instrumentOf(preset);
            ASSERT_NE(instrument, nullptr);
            for (korvel_inst_zone_t* zone = instrument->zone; zone != nullptr; zone = zone->next) {
                const korvel_sample_t* sample = zone->sample;
                if (zone->gen[GEN_SAMPLEMODE].val != 1 || !checked.insert(sample).second) {
                    continue;
                }
                SCOPED_TRACE(sample->name);
                double periods = (sample->lend - sample->lstart) * keyToHz(sample->pitch) / sample->rate;
                EXPECT_GE(periods, 1.0);
                EXPECT_NEAR(periods, std::round(periods), 1e-9);
                EXPECT_EQ(sample->adjust, 0);
            }
        }
        // Four or five octave regions for each pitched program.
        EXPECT_GT(checked.size(), 4u * 120u);
    }
}

// Key 69 of every pitched program sounds at 440 Hz: the loop's repetition, the root key and every tuning the preset
// and instrument zones add up to exactly A. A quieter second layer may stand a few cents (and octaves) apart.
TEST(GeneratedProgramSet, KeyA4OfEveryPitchedProgramIs440Hz)
{
    for (const char* fileName : {"soundfont6.sf2", "gs_instruments.dls", "soundfont1.sf2", "soundfont2.sf2"}) {
        SCOPED_TRACE(fileName);
        const bankgen::BankFile* file = bankgen_test::bankFile(fileName);
        ASSERT_NE(file, nullptr);
        LoadedBank loaded(*file);
        ASSERT_EQ(loaded.result, 0);
        int pitched = 0;
        for (unsigned program = 0; program < 128; ++program) {
            SCOPED_TRACE("program " + std::to_string(program));
            korvel_defpreset_t* preset = loaded.preset(0, program);
            ASSERT_NE(preset, nullptr);
            std::vector<korvel_inst_zone_t*> zones = bankgen_test::zonesForKey(bankgen_test::instrumentOf(preset), 69);
            ASSERT_FALSE(zones.empty());
            if (std::string(zones[0]->sample->name) == "Noise") {
                continue;
            }
            ++pitched;
            double loudest = zones[0]->gen[GEN_ATTENUATION].val;
            for (const korvel_inst_zone_t* zone : zones) {
                loudest = std::min(loudest, zone->gen[GEN_ATTENUATION].val);
            }
            for (const korvel_inst_zone_t* zone : zones) {
                const korvel_sample_t* sample = zone->sample;
                double root = isSet(zone->gen[GEN_OVERRIDEROOTKEY]) && zone->gen[GEN_OVERRIDEROOTKEY].val >= 0
                                  ? zone->gen[GEN_OVERRIDEROOTKEY].val
                                  : sample->pitch;
                double scaleCents = isSet(zone->gen[GEN_SCALETUNE]) ? zone->gen[GEN_SCALETUNE].val : 100.0;
                double tuneCents = 100.0 * (zone->gen[GEN_COARSETUNE].val + preset->zone->gen[GEN_COARSETUNE].val) +
                                   zone->gen[GEN_FINETUNE].val + preset->zone->gen[GEN_FINETUNE].val + sample->adjust;
                double hz = static_cast<double>(sample->rate) / repetitionPeriod(sample) *
                            std::exp2(((69.0 - root) * scaleCents + tuneCents) / 1200.0);
                if (zone->gen[GEN_ATTENUATION].val == loudest) {
                    EXPECT_NEAR(hz, 440.0, 0.01) << sample->name;
                } else {
                    double cents = 1200.0 * std::log2(hz / 440.0);
                    EXPECT_LE(std::abs(cents - 1200.0 * std::round(cents / 1200.0)), 10.0) << sample->name;
                }
            }
        }
        EXPECT_GE(pitched, 120);
    }
}

// What one zone of a loaded instrument makes a voice do, in the synthesizer's own units.
struct ZoneSound {
    int keyLo;
    int keyHi;
    int velLo;
    int velHi;
    std::string sample;
    double rootKey;
    std::vector<double> gens;

    bool operator==(const ZoneSound&) const = default;
};

void PrintTo(const ZoneSound& z, std::ostream* os)
{
    *os << z.keyLo << ".." << z.keyHi << " v" << z.velLo << ".." << z.velHi << " " << z.sample << " root " << z.rootKey << " gens";
    for (double g : z.gens) {
        *os << " " << g;
    }
}

// The zones of a preset: every instrument zone under each preset zone, the preset zone's generators added.
std::vector<ZoneSound> zoneSounds(const korvel_defpreset_t* preset)
{
    static constexpr int kGens[] = {
        GEN_VOLENVATTACK,  GEN_VOLENVDECAY,   GEN_VOLENVSUSTAIN,    GEN_VOLENVRELEASE, GEN_KEYTOVOLENVDECAY,
        GEN_PAN,           GEN_EXCLUSIVECLASS, GEN_SAMPLEMODE,       GEN_MODLFODELAY,
        GEN_MODLFOFREQ,    GEN_MODLFOTOPITCH, GEN_SCALETUNE,        GEN_FILTERFC,      GEN_FILTERQ,
        GEN_MODENVATTACK,  GEN_MODENVDECAY,   GEN_MODENVSUSTAIN,    GEN_MODENVRELEASE, GEN_MODENVTOFILTERFC,
        GEN_MODLFOTOFILTERFC, GEN_VIBLFODELAY, GEN_VIBLFOFREQ,      GEN_VIBLFOTOPITCH};
    std::vector<ZoneSound> zones;
    for (korvel_preset_zone_t* p = preset != nullptr ? preset->zone : nullptr; p != nullptr; p = p->next) {
        auto value = [&](const korvel_inst_zone_t* zone, int gen) {
            return zone->gen[gen].val + (isSet(p->gen[gen]) ? p->gen[gen].val : 0.0);
        };
        for (korvel_inst_zone_t* zone = p->inst != nullptr ? p->inst->zone : nullptr; zone != nullptr;
             zone = zone->next) {
            const korvel_zone_gen_t& root = zone->gen[GEN_OVERRIDEROOTKEY];
            ZoneSound sound{zone->keylo, zone->keyhi, zone->vello, std::min(zone->velhi, 127), zone->sample->name,
                            isSet(root) && root.val >= 0 ? root.val : zone->sample->pitch, {}};
            // One format tunes a region in semitones and cents, the other in cents alone.
            sound.gens.push_back(100.0 * value(zone, GEN_COARSETUNE) + value(zone, GEN_FINETUNE));
            for (int gen : kGens) {
                // Fixed-point articulation values come back within a hundredth of their unit.
                sound.gens.push_back(std::round(value(zone, gen) * 100.0) / 100.0);
            }
            // The attenuation as the product plays it: SoundFont 2 states it for players that take a share of it,
            // DLS in full. Both forms mean the same level to the nearest centibel.
            double share = zone->sample->attenuation_in_full != 0 ? 1.0 : korvel_product_profile.attenuation_share;
            sound.gens.push_back(std::round(value(zone, GEN_ATTENUATION) * share));
            zones.push_back(std::move(sound));
        }
    }
    std::sort(zones.begin(), zones.end(), [](const ZoneSound& a, const ZoneSound& b) {
        return std::tie(a.keyLo, a.velLo, a.gens) < std::tie(b.keyLo, b.velLo, b.gens);
    });
    return zones;
}

// The GS set written in both formats: every preset (programs, variation tones, kits) gets the same zones.
TEST(GeneratedProgramSet, TheDlsAndSoundFont2FormsGiveEveryPresetTheSameZones)
{
    const bankgen::BankFile& dlsFile = *bankgen_test::bankFile("gs_instruments.dls");
    bankgen::BankFile soundFontFile = dlsFile;
    soundFontFile.fileName = "gs_instruments.sf2";
    soundFontFile.format = bankgen::BankFormat::soundFont2;
    LoadedBank dls(dlsFile);
    LoadedBank soundFont(soundFontFile);
    ASSERT_EQ(soundFont.result, 0);
    ASSERT_EQ(dls.result, 0);
    int compared = 0;
    for (const bankgen::PresetSlot& slot : bankgen::presetLayout(dlsFile.table)) {
        SCOPED_TRACE("bank " + std::to_string(slot.bank) + " program " + std::to_string(slot.program));
        std::vector<ZoneSound> expected = zoneSounds(soundFont.preset(slot.bank, slot.program));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(zoneSounds(dls.preset(slot.bank, slot.program)), expected);
        ++compared;
    }
    EXPECT_GT(compared, 200);
}

// A pitch vibrato rides the vibrato LFO in both formats, at the recipe's depth scaled by the set's voicing; the
// modulation LFO never moves the pitch and sweeps only the filters of the recipes that ask for it.
TEST(GeneratedProgramSet, VibratoIsOnTheVibratoLfoAndTheModulationLfoOnlySweepsFilters)
{
    struct Case {
        std::uint8_t program;
        bool vibrato;
        bool filterSweep;
    };
    static constexpr Case kCases[] = {{0, false, false}, {22, true, false}, {40, true, false}, {88, false, true}};
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        LoadedBank loaded(file);
        ASSERT_EQ(loaded.result, 0);
        for (const Case& c : kCases) {
            SCOPED_TRACE("program " + std::to_string(c.program));
            const bankgen::VoiceRecipe& recipe = bankgen::recipeForProgram(c.program);
            korvel_inst_t* instrument = bankgen_test::instrumentOf(loaded.preset(0, c.program));
            ASSERT_NE(instrument, nullptr);
            for (korvel_inst_zone_t* zone = instrument->zone; zone != nullptr; zone = zone->next) {
                const korvel_zone_gen_t* gen = zone->gen;
                EXPECT_EQ(gen[GEN_MODLFOTOPITCH].val, 0.0);
                double depth = c.vibrato ? std::round(recipe.vibratoCents * file.voicing.vibratoScale) : 0.0;
                EXPECT_EQ(gen[GEN_VIBLFOTOPITCH].val, depth);
                if (c.vibrato) {
                    EXPECT_GT(gen[GEN_VIBLFOTOPITCH].val, 0.0);
                    EXPECT_NEAR(gen[GEN_VIBLFOFREQ].val, bankgen::hertzToAbsoluteCents(5.5), 0.01);
                    EXPECT_NEAR(gen[GEN_VIBLFODELAY].val, bankgen::secondsToTimecents(0.35), 0.01);
                }
                EXPECT_EQ(gen[GEN_MODLFOTOFILTERFC].val, c.filterSweep ? std::round(recipe.filter.lfoCents) : 0.0);
                if (c.filterSweep) {
                    EXPECT_NE(gen[GEN_MODLFOTOFILTERFC].val, 0.0);
                    EXPECT_NEAR(gen[GEN_MODLFOFREQ].val, bankgen::hertzToAbsoluteCents(0.7), 0.01);
                    EXPECT_NEAR(gen[GEN_MODLFODELAY].val, bankgen::secondsToTimecents(0.35), 0.01);
                }
            }
        }
    }
}

TEST(GeneratedProgramSet, TheKitCoversTheGeneralMidiKeysAndItsHiHatsChokeEachOther)
{
    for (const char* fileName : {"soundfont6.sf2", "gs_instruments.dls"}) {
        SCOPED_TRACE(fileName);
        const bankgen::BankFile* file = bankgen_test::bankFile(fileName);
        ASSERT_NE(file, nullptr);
        LoadedBank loaded(*file);
        ASSERT_EQ(loaded.result, 0);
        korvel_inst_t* kit = bankgen_test::instrumentOf(loaded.preset(128, 0));
        ASSERT_NE(kit, nullptr);
        auto classOf = [&](int key) {
            std::vector<korvel_inst_zone_t*> zones = bankgen_test::zonesForKey(kit, key);
            EXPECT_EQ(zones.size(), 1u) << "key " << key;
            return zones.empty() ? -1.0 : zones[0]->gen[GEN_EXCLUSIVECLASS].val;
        };
        double hiHats = classOf(42);
        EXPECT_NE(hiHats, 0.0);
        EXPECT_EQ(classOf(44), hiHats);
        EXPECT_EQ(classOf(46), hiHats);
        for (int key = 35; key <= 81; ++key) {
            if (key != 42 && key != 44 && key != 46) {
                EXPECT_NE(classOf(key), hiHats) << "key " << key;
            }
        }
    }
}

} // namespace
