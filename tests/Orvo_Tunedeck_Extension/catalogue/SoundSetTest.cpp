#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Found by argument-dependent lookup, so it lives beside the type, in the global namespace.
void PrintTo(const SoundSetChoice& choice, std::ostream* out)
{
    *out << "bank " << choice.bankNumber << ", table " << int(choice.table);
}

namespace {

struct CodeCase {
    const char* label;
    std::string code;
    SoundSetChoice expected;
    std::size_t rowCount;
};

void PrintTo(const CodeCase& c, std::ostream* out) { *out << c.label; }

class SoundSetCode : public testing::TestWithParam<CodeCase> {};

TEST_P(SoundSetCode, SelectsBankAndTable)
{
    const CodeCase& c = GetParam();
    const SoundSetChoice choice = soundSetForCode(c.code);
    EXPECT_EQ(choice, c.expected) << "code '" << c.code << "'";

    Soundfontprograms catalogue;
    catalogue.makeXG();
    loadProgramTable(catalogue, choice.table);
    EXPECT_EQ(catalogue.programs.size(), c.rowCount) << "code '" << c.code << "'";
}

INSTANTIATE_TEST_SUITE_P(Codes, SoundSetCode,
                         testing::Values(CodeCase{"Gs00", "00", {0, ProgramTable::gs}, 235},
                                         CodeCase{"GeneralMidi01", "01", {1, ProgramTable::generalMidi}, 137},
                                         CodeCase{"Xg02", "02", {2, ProgramTable::xg}, 482},
                                         CodeCase{"GeneralMidi06", "06", {6, ProgramTable::generalMidi}, 137},
                                         CodeCase{"Gs07", "07", {7, ProgramTable::gs}, 235},
                                         CodeCase{"GeneralMidi09", "09", {9, ProgramTable::generalMidi}, 137},
                                         CodeCase{"Unlisted05", "05", {0, ProgramTable::generalMidi}, 137},
                                         CodeCase{"Empty", "", {0, ProgramTable::generalMidi}, 137},
                                         CodeCase{"OneCharacter", "0", {0, ProgramTable::generalMidi}, 137},
                                         CodeCase{"ThreeCharacters", "002", {0, ProgramTable::generalMidi}, 137},
                                         CodeCase{"TrailingSpace", "02 ", {0, ProgramTable::generalMidi}, 137},
                                         CodeCase{"BareDigit", "2", {0, ProgramTable::generalMidi}, 137}),
                         [](const testing::TestParamInfo<CodeCase>& info) { return info.param.label; });

TEST(SoundSetPreload, RhythmChannelFromBankLsb126)
{
    EXPECT_EQ(preloadChannelForBankLsb(0), 0);
    EXPECT_EQ(preloadChannelForBankLsb(125), 0);
    EXPECT_EQ(preloadChannelForBankLsb(126), 9);
    EXPECT_EQ(preloadChannelForBankLsb(127), 9);
    EXPECT_EQ(preloadChannelForBankLsb(128), 9);
    EXPECT_EQ(preloadChannelForBankLsb(255), 9);
}

}  // namespace
