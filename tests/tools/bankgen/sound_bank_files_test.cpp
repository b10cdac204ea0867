// The generated bank files as the synthesizer loads them: every file the sound sets name, its melodic programs and
// kits, and a preset for every row of the program table its sound set shows.

#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "tests/tools/bankgen/generated_bank.h"
#include "tools/bankgen/BankFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

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
    const bankgen::ProgramSet& set = bankgen_test::programSet();
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        SCOPED_TRACE(std::string(file.fileName));
        LoadedBank loaded(file);
        ASSERT_EQ(loaded.result, 0);
        for (unsigned program = 0; program < 128; ++program) {
            korvel_defpreset_t* preset = loaded.preset(0, program);
            ASSERT_NE(preset, nullptr) << "program " << program;
            EXPECT_EQ(bankgen_test::sampleNames(bankgen_test::instrumentOf(preset)),
                      bankgen_test::sampleNames(set.melodic[program]))
                << "program " << program;
        }
        korvel_defpreset_t* kit = loaded.preset(kKitBank, 0);
        ASSERT_NE(kit, nullptr);
        EXPECT_EQ(bankgen_test::sampleNames(bankgen_test::instrumentOf(kit)), bankgen_test::sampleNames(set.drums));
    }
}

// Every catalogue row of each sound set selects a preset of the set's bank: the one at its own bank and program,
// or by the usual fallback bank 0 with the same program (melodic) or kit 0 (kits). Melodic rows play the sound of
// their program number, kit rows the drum kit. Each bank is laid out for its table, so no row needs the fallback.
TEST(GeneratedBanks, EveryCatalogueRowOfASoundSetFindsItsPreset)
{
    const bankgen::ProgramSet& set = bankgen_test::programSet();
    std::map<std::string, std::unique_ptr<LoadedBank>> banks;
    for (const char* code : {"00", "01", "02", "06", "07", "09", "05"}) {
        SoundSetChoice choice = soundSetForCode(code);
        std::string fileName = fileForBankNumber(choice.bankNumber);
        SCOPED_TRACE(std::string("sound set ") + code + ", " + fileName);
        const LoadedBank& loaded = loadedBank(banks, fileName);
        ASSERT_EQ(loaded.result, 0);
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
            EXPECT_EQ(bankgen_test::sampleNames(bankgen_test::instrumentOf(preset)),
                      bankgen_test::sampleNames(kit ? set.drums : set.melodic[row.number]));
        }
        EXPECT_EQ(fallbacks, 0);
    }
}

TEST(GeneratedBanks, AreTheSameBytesOnEveryRun)
{
    bankgen::ProgramSet again = bankgen::buildProgramSet();
    for (const bankgen::BankFile& file : bankgen::kBankFiles) {
        EXPECT_EQ(bankgen::bankFileBytes(bankgen_test::programSet(), file), bankgen::bankFileBytes(again, file))
            << file.fileName;
    }
}

} // namespace
