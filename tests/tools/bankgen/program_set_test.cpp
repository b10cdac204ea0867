// The sounds of the generated program set as the synthesizer reads them from both file formats: loops of whole
// periods, exact tuning, and the drum kit's keys and hi-hat choke.

#include "tests/tools/bankgen/generated_bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <ostream>
#include <string>
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

bool isSet(const korvel_gen_t& gen)
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
        EXPECT_GT(checked.size(), 600u);
    }
}

// Key 69 of every pitched program sounds at 440 Hz: the loop's repetition, the root key and every tuning the preset
// and instrument zones add up to exactly A.
TEST(GeneratedProgramSet, KeyA4OfEveryPitchedProgramIs440Hz)
{
    for (const char* fileName : {"soundfont6.sf2", "gs_instruments.dls"}) {
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
            ASSERT_EQ(zones.size(), 1u);
            const korvel_inst_zone_t* zone = zones[0];
            const korvel_sample_t* sample = zone->sample;
            if (std::string(sample->name) == "Noise") {
                continue;
            }
            ++pitched;
            double root = isSet(zone->gen[GEN_OVERRIDEROOTKEY]) && zone->gen[GEN_OVERRIDEROOTKEY].val >= 0
                              ? zone->gen[GEN_OVERRIDEROOTKEY].val
                              : sample->pitch;
            double scaleCents = isSet(zone->gen[GEN_SCALETUNE]) ? zone->gen[GEN_SCALETUNE].val : 100.0;
            double tuneCents = 100.0 * (zone->gen[GEN_COARSETUNE].val + preset->zone->gen[GEN_COARSETUNE].val) +
                               zone->gen[GEN_FINETUNE].val + preset->zone->gen[GEN_FINETUNE].val + sample->adjust;
            double hz = static_cast<double>(sample->rate) / repetitionPeriod(sample) *
                        std::exp2(((69.0 - root) * scaleCents + tuneCents) / 1200.0);
            EXPECT_NEAR(hz, 440.0, 0.01);
        }
        EXPECT_GE(pitched, 120);
    }
}

// What one zone of a loaded instrument makes a voice do, in the synthesizer's own units.
struct ZoneSound {
    int keyLo;
    int keyHi;
    std::string sample;
    double rootKey;
    std::vector<double> gens;

    bool operator==(const ZoneSound&) const = default;
};

void PrintTo(const ZoneSound& z, std::ostream* os)
{
    *os << z.keyLo << ".." << z.keyHi << " " << z.sample << " root " << z.rootKey << " gens";
    for (double g : z.gens) {
        *os << " " << g;
    }
}

std::vector<ZoneSound> zoneSounds(korvel_inst_t* instrument)
{
    static constexpr int kGens[] = {GEN_VOLENVATTACK, GEN_VOLENVDECAY,     GEN_VOLENVSUSTAIN, GEN_VOLENVRELEASE,
                                    GEN_KEYTOVOLENVDECAY, GEN_ATTENUATION, GEN_PAN,           GEN_EXCLUSIVECLASS,
                                    GEN_SAMPLEMODE,   GEN_MODLFODELAY,     GEN_MODLFOFREQ,    GEN_MODLFOTOPITCH,
                                    GEN_COARSETUNE,   GEN_FINETUNE,        GEN_SCALETUNE};
    std::vector<ZoneSound> zones;
    for (korvel_inst_zone_t* zone = instrument != nullptr ? instrument->zone : nullptr; zone != nullptr;
         zone = zone->next) {
        const korvel_gen_t& root = zone->gen[GEN_OVERRIDEROOTKEY];
        ZoneSound sound{zone->keylo, zone->keyhi, zone->sample->name,
                        isSet(root) && root.val >= 0 ? root.val : zone->sample->pitch, {}};
        for (int gen : kGens) {
            // Fixed-point articulation values come back within a hundredth of their unit.
            sound.gens.push_back(std::round(zone->gen[gen].val * 100.0) / 100.0);
        }
        zones.push_back(std::move(sound));
    }
    std::sort(zones.begin(), zones.end(), [](const ZoneSound& a, const ZoneSound& b) { return a.keyLo < b.keyLo; });
    return zones;
}

TEST(GeneratedProgramSet, TheDlsAndSoundFont2FormsGiveEveryProgramTheSameZones)
{
    LoadedBank soundFont(*bankgen_test::bankFile("soundfont6.sf2"));
    LoadedBank dls(*bankgen_test::bankFile("gs_instruments.dls"));
    ASSERT_EQ(soundFont.result, 0);
    ASSERT_EQ(dls.result, 0);
    for (unsigned program = 0; program <= 128; ++program) {
        unsigned bank = program < 128 ? 0 : 128;
        unsigned number = program < 128 ? program : 0;
        SCOPED_TRACE("bank " + std::to_string(bank) + " program " + std::to_string(number));
        std::vector<ZoneSound> expected = zoneSounds(bankgen_test::instrumentOf(soundFont.preset(bank, number)));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(zoneSounds(bankgen_test::instrumentOf(dls.preset(bank, number))), expected);
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
