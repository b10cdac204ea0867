// The generated bank files as the synthesizer loads them: every file the sound sets name, its melodic programs and
// kits, and a preset for every row of the program table its sound set shows.

#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "tests/tools/bankgen/generated_bank.h"
#include "tools/bankgen/BankFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using bankgen_test::LoadedBank;

constexpr unsigned kKitBank = 128;

// The synthesizer's bank table by number (1 and 2 crossed); numbers without a file of their own load the DLS bank.
std::string fileForBankNumber(int number)
{
    switch (number) {
    case 1:
        return "soundfont2.sf2";
    case 2:
        return "soundfont1.sf2";
    case 6:
    case 7:
    case 9:
        return "soundfont" + std::to_string(number) + ".sf2";
    default:
        return "gs_instruments.dls";
    }
}

const LoadedBank& loadedBank(std::map<std::string, std::unique_ptr<LoadedBank>>& banks, const std::string& name)
{
    std::unique_ptr<LoadedBank>& bank = banks[name];
    if (!bank) {
        const bankgen::BankFile* file = bankgen_test::bankFile(name);
        EXPECT_NE(file, nullptr) << "the generator writes no " << name;
        if (file != nullptr) {
            bank = std::make_unique<LoadedBank>(*file);
        }
    }
    return *bank;
}

TEST(GeneratedBanks, EveryFileLoadsWithTheMelodicProgramsAndTheStandardKit)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        const bankgen::ProgramSet& set = bankgen_test::programSet(file);
        LoadedBank loaded(file);
        ASSERT_EQ(loaded.result, 0);
        for (unsigned program = 0; program < 128; ++program) {
            korvel_defpreset_t* preset = loaded.preset(0, program);
            ASSERT_NE(preset, nullptr) << "program " << program;
            EXPECT_EQ(bankgen_test::sampleNames(preset),
                      bankgen_test::sampleNames(set, set.melodic[program]))
                << "program " << program;
        }
        korvel_defpreset_t* kit = loaded.preset(kKitBank, 0);
        ASSERT_NE(kit, nullptr);
        EXPECT_EQ(bankgen_test::sampleNames(kit),
                  bankgen_test::sampleNames(set, set.kits.front().instrument));
    }
}

// Every catalogue row of each sound set selects a preset of the set's bank: the one at its own bank and program,
// or by the usual fallback bank 0 with the same program (melodic) or kit 0 (kits). Melodic rows play their program,
// variation rows their own voicing of it, kit rows the kit of their program. Each bank is laid out for its table,
// so no row needs the fallback.
TEST(GeneratedBanks, EveryCatalogueRowOfASoundSetFindsItsPreset)
{
    std::map<std::string, std::unique_ptr<LoadedBank>> banks;
    for (const char* code : {"00", "01", "02", "06", "07", "09", "05"}) {
        SoundSetChoice choice = soundSetForCode(code);
        std::string fileName = fileForBankNumber(choice.bankNumber);
        SCOPED_TRACE(std::string("sound set ") + code + ", " + fileName);
        const LoadedBank& loaded = loadedBank(banks, fileName);
        ASSERT_EQ(loaded.result, 0);
        const bankgen::ProgramSet& set = bankgen_test::programSet(*bankgen_test::bankFile(fileName));
        Soundfontprograms catalogue;
        loadProgramTable(catalogue, choice.table);
        int fallbacks = 0;
        for (const SoundfontProgram& row : catalogue.programs) {
            SCOPED_TRACE(std::to_string(row.number) + " at " + std::to_string(row.bankMsb) + "/" +
                         std::to_string(row.bankLsb) + " " + row.name);
            bool kit = row.bankLsb >= 126;
            korvel_defpreset_t* preset = loaded.preset(kit ? kKitBank : 128u * row.bankMsb + row.bankLsb, row.number);
            if (preset == nullptr) {
                ++fallbacks;
                preset = kit ? loaded.preset(kKitBank, 0) : loaded.preset(0, row.number);
            }
            ASSERT_NE(preset, nullptr);
            EXPECT_EQ(bankgen_test::sampleNames(preset),
                      bankgen_test::sampleNames(set, set.instrumentFor(kit ? kKitBank : 128u * row.bankMsb + row.bankLsb,
                                                                        row.number)));
        }
        EXPECT_EQ(fallbacks, 0);
    }
}

TEST(GeneratedBanks, AreTheSameBytesOnEveryRun)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        EXPECT_EQ(bankgen::bankFileBytes(bankgen_test::programSet(file), file),
                  bankgen::bankFileBytes(bankgen::buildProgramSet(file), file))
            << file.fileName;
    }
}

// The sets are voiced apart down to their samples: no two files share their bytes, and no two sets the points of a
// program's middle sample.
TEST(GeneratedBanks, NoTwoSetsShareTheirFileOrTheirSamples)
{
    std::vector<std::vector<std::uint8_t>> files;
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        files.push_back(bankgen::bankFileBytes(bankgen_test::programSet(file), file));
    }
    for (std::size_t a = 0; a < bankgen::kBankFiles.size(); ++a) {
        for (std::size_t b = a + 1; b < bankgen::kBankFiles.size(); ++b) {
            const bankgen::BankFile& first = bankgen::kBankFiles[a];
            const bankgen::BankFile& second = bankgen::kBankFiles[b];
            SCOPED_TRACE(std::string(first.fileName) + " and " + std::string(second.fileName));
            EXPECT_NE(files[a], files[b]);
            const bankgen::ProgramSet& x = bankgen_test::programSet(first);
            const bankgen::ProgramSet& y = bankgen_test::programSet(second);
            for (unsigned program : {0u, 24u, 48u, 73u}) {
                EXPECT_NE(x.samples[x.melodic[program].regions[1].sample].points,
                          y.samples[y.melodic[program].regions[1].sample].points)
                    << "program " << program;
            }
        }
    }
}

// A variation tone plays the samples of its program, voiced its own way: its zones are not the program's.
TEST(GeneratedBanks, EveryVariationToneDiffersFromItsProgram)
{
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        const bankgen::ProgramSet& set = bankgen_test::programSet(file);
        std::size_t expected = 0;
        for (const bankgen::PresetSlot& slot : bankgen::presetLayout(file.table)) {
            expected += !slot.drums && slot.bank != 0 ? 1 : 0;
        }
        EXPECT_EQ(set.variations.size(), expected);
        for (const bankgen::PlacedVariation& variation : set.variations) {
            SCOPED_TRACE(variation.instrument.name);
            const bankgen::GeneratedInstrument& base = set.melodic[variation.program];
            EXPECT_EQ(bankgen_test::sampleNames(set, variation.instrument).front(),
                      bankgen_test::sampleNames(set, base).front());
            bool differs = variation.instrument.regions.size() != base.regions.size();
            for (std::size_t i = 0; !differs && i < base.regions.size(); ++i) {
                const bankgen::Region& v = variation.instrument.regions[i];
                const bankgen::Region& b = base.regions[i];
                differs = v.fineTune != b.fineTune || v.filter.cutoffCents != b.filter.cutoffCents ||
                          v.filter.envelopeToCutoffCents != b.filter.envelopeToCutoffCents ||
                          v.envelope.attackTimecents != b.envelope.attackTimecents ||
                          v.envelope.decayTimecents != b.envelope.decayTimecents ||
                          v.envelope.sustainCentibels != b.envelope.sustainCentibels;
            }
            EXPECT_TRUE(differs);
        }
    }
}

} // namespace
