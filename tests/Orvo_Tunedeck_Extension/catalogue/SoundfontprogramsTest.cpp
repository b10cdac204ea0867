#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"

#include "tests/Orvo_Tunedeck_Extension/catalogue/SoundfontProgramPrinter.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>

namespace {

TEST(SoundfontprogramsTables, NewCatalogueHoldsGsAndEachMakeReplacesAllRows)
{
    Soundfontprograms catalogue;
    EXPECT_EQ(catalogue.programs.size(), 235u);
    EXPECT_EQ(catalogue.programs.front().name, "Piano 1     ");

    catalogue.makeGS();
    EXPECT_EQ(catalogue.programs.size(), 235u);

    catalogue.makeXG();
    EXPECT_EQ(catalogue.programs.size(), 482u);
    catalogue.makeGM();
    EXPECT_EQ(catalogue.programs.size(), 137u);
    EXPECT_EQ(catalogue.programs.back(), (SoundfontProgram{56, 0, 128, "SFX"}));

    catalogue.programs.clear();
    catalogue.makeXG();
    EXPECT_EQ(catalogue.programs.size(), 482u);
}

struct CaptionCase {
    const char* label;
    std::function<void(Soundfontprograms&)> make;
    std::uint8_t channel;
    std::uint8_t number;
    std::uint8_t msb;
    std::uint8_t lsb;
    std::string expected;
};

void PrintTo(const CaptionCase& c, std::ostream* out) { *out << c.label; }

class Caption : public testing::TestWithParam<CaptionCase> {};

TEST_P(Caption, Formats)
{
    const CaptionCase& c = GetParam();
    Soundfontprograms catalogue;
    c.make(catalogue);
    EXPECT_EQ(catalogue.formatInstrumentName(c.channel, c.number, c.msb, c.lsb), c.expected);
}

const auto gm = &Soundfontprograms::makeGM;
const auto gs = &Soundfontprograms::makeGS;
const auto xg = &Soundfontprograms::makeXG;
const auto empty = [](Soundfontprograms& catalogue) { catalogue.programs.clear(); };

INSTANTIATE_TEST_SUITE_P(
    Catalogue, Caption,
    testing::Values(
        CaptionCase{"GsExactMatch", gs, 0, 0, 0, 0, "CH 01 : 000/000 - 000 : Piano 1"},
        CaptionCase{"GsRhythmChannelKit", gs, 9, 25, 127, 127, "CH 10 : 127/127 - 025 : TR-808"},
        CaptionCase{"GsVariation", gs, 2, 4, 0, 32, "CH 03 : 000/032 - 004 : E.Piano 1v"},
        CaptionCase{"GsLastChannel", gs, 15, 0, 0, 0, "CH 16 : 000/000 - 000 : Piano 1"},
        CaptionCase{"GsPaddedNameTrimmed", gs, 0, 122, 0, 6, "CH 01 : 000/006 - 122 : Wind"},
        CaptionCase{"GsUnknownBankFallsBackToFirstRowOfProgram", gs, 0, 4, 5, 5, "000/000 - 004 : E.Piano 1"},
        CaptionCase{"GmRhythmChannelFallsBackToMelodicProgram", gm, 9, 0, 127, 127, "000/000 - 000 : Piano 1"},
        CaptionCase{"GmProgram25AtBank0", gm, 0, 25, 0, 0, "CH 01 : 000/000 - 025 : Steel Guitar"},
        CaptionCase{"GmProgram25FallbackIsTheGuitar", gm, 9, 25, 127, 127, "000/000 - 025 : Steel Guitar"},
        CaptionCase{"GmKitAtLsb128", gm, 9, 25, 0, 128, "CH 10 : 000/128 - 025 : TR 808"},
        CaptionCase{"XgVariation", xg, 0, 0, 0, 41, "CH 01 : 000/041 - 000 : Dream"},
        CaptionCase{"XgRhythmChannelFallsBack", xg, 9, 0, 127, 127, "000/000 - 000 : GrandPno"},
        CaptionCase{"XgStarKeptInName", xg, 4, 38, 0, 1, "CH 05 : 000/001 - 038 : *Synth Bass 101"},
        CaptionCase{"ChannelIndex255", gs, 255, 0, 0, 0, "CH 256 : 000/000 - 000 : Piano 1"},
        CaptionCase{"UnknownProgram", empty, 0, 0, 0, 0, ""}),
    [](const testing::TestParamInfo<CaptionCase>& info) { return info.param.label; });

struct ListLineCase {
    const char* label;
    std::function<void(Soundfontprograms&)> make;
    std::ptrdiff_t index;
    std::string expected;
};

void PrintTo(const ListLineCase& c, std::ostream* out) { *out << c.label; }

class ListLine : public testing::TestWithParam<ListLineCase> {};

TEST_P(ListLine, Formats)
{
    const ListLineCase& c = GetParam();
    Soundfontprograms catalogue;
    c.make(catalogue);
    EXPECT_EQ(catalogue.formatInstrumentName(c.index), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, ListLine,
    testing::Values(ListLineCase{"GsFirst", gs, 0, "MSB:000 / LSB:000 - P:000 : Piano 1"},
                    ListLineCase{"GsLast", gs, 234, "MSB:127 / LSB:127 - P:056 : SFX"},
                    ListLineCase{"GsExplosion", gs, 225, "MSB:000 / LSB:006 - P:127 : Explosion"},
                    ListLineCase{"GsPastEnd", gs, 235, "235"},
                    ListLineCase{"GsNegative", gs, -1, "-1"},
                    ListLineCase{"XgStarName", xg, 138, "MSB:000 / LSB:001 - P:038 : *Synth Bass 101"},
                    ListLineCase{"XgBank128", xg, 473, "MSB:000 / LSB:128 - P:000 : Standard_GS"},
                    ListLineCase{"GmKit", gm, 136, "MSB:000 / LSB:128 - P:056 : SFX"},
                    ListLineCase{"EmptyCatalogue", empty, 0, "0"}),
    [](const testing::TestParamInfo<ListLineCase>& info) { return info.param.label; });

TEST(SoundfontprogramsFormatting, TrimsOnlyLeadingAndTrailingSpaces)
{
    Soundfontprograms catalogue;
    catalogue.programs = {{7, 255, 9, "  \tOld  Tape\t  "}, {8, 0, 0, "     "}};

    EXPECT_EQ(catalogue.formatInstrumentName(0), "MSB:255 / LSB:009 - P:007 : \tOld  Tape\t");
    EXPECT_EQ(catalogue.formatInstrumentName(6, 7, 255, 9), "CH 07 : 255/009 - 007 : \tOld  Tape\t");
    EXPECT_EQ(catalogue.formatInstrumentName(1), "MSB:000 / LSB:000 - P:008 : ");
    EXPECT_EQ(catalogue.formatInstrumentName(0, 8, 1, 1), "000/000 - 008 : ");
}

}  // namespace
