// Totals of the three built-in tables, taken from their descriptions and not from the row lists, so that a slip in
// transcribing rows shows here even when the golden lists share it.

#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"

#include "tests/Orvo_Tunedeck_Extension/catalogue/SoundfontProgramPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Histogram = std::map<int, int>;

std::vector<SoundfontProgram> tableRows(void (Soundfontprograms::*make)())
{
    Soundfontprograms catalogue;
    (catalogue.*make)();
    return catalogue.programs;
}

std::vector<SoundfontProgram> generalMidiRows() { return tableRows(&Soundfontprograms::makeGM); }
std::vector<SoundfontProgram> gsRows() { return tableRows(&Soundfontprograms::makeGS); }
std::vector<SoundfontProgram> xgRows() { return tableRows(&Soundfontprograms::makeXG); }

Histogram lsbHistogram(const std::vector<SoundfontProgram>& rows)
{
    Histogram histogram;
    for (const auto& row : rows) {
        ++histogram[row.bankLsb];
    }
    return histogram;
}

int countIf(const std::vector<SoundfontProgram>& rows, const std::function<bool(const SoundfontProgram&)>& predicate)
{
    return int(std::count_if(rows.begin(), rows.end(), predicate));
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

const std::vector<int> kKitNumbers{0, 8, 16, 24, 25, 32, 40, 48, 56};

struct TotalsCase {
    const char* label;
    std::function<std::vector<SoundfontProgram>()> rows;
    std::size_t rowCount;
    Histogram lsbHistogram;
    int rhythmChannelRows;
};

void PrintTo(const TotalsCase& c, std::ostream* out) { *out << c.label; }

class ProgramTableTotals : public testing::TestWithParam<TotalsCase> {};

TEST_P(ProgramTableTotals, CountsHistogramUniquenessAndPreloadChannels)
{
    const TotalsCase& expected = GetParam();
    const auto rows = expected.rows();

    EXPECT_EQ(rows.size(), expected.rowCount);
    EXPECT_EQ(lsbHistogram(rows), expected.lsbHistogram);

    std::set<std::tuple<int, int, int>> triples;
    for (const auto& row : rows) {
        EXPECT_LE(row.number, 127);
        EXPECT_TRUE(triples.emplace(row.number, row.bankMsb, row.bankLsb).second)
            << "duplicate " << int(row.number) << " " << int(row.bankMsb) << "/" << int(row.bankLsb);
    }

    EXPECT_EQ(countIf(rows, [](const auto& row) { return preloadChannelForBankLsb(row.bankLsb) == 9; }),
              expected.rhythmChannelRows);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ProgramTableTotals,
    testing::Values(TotalsCase{"GeneralMidi", generalMidiRows, 137, {{0, 128}, {128, 9}}, 9},
                    TotalsCase{"Gs",
                               gsRows,
                               235,
                               {{0, 128}, {2, 16}, {4, 8}, {6, 6}, {8, 4}, {10, 4}, {12, 1}, {14, 1}, {16, 37},
                                {18, 3}, {32, 12}, {48, 2}, {64, 4}, {127, 9}},
                               9},
                    TotalsCase{"Xg",
                               xgRows,
                               482,
                               {{0, 128},  {1, 26},  {2, 8},   {3, 9},   {4, 4},   {5, 4},   {6, 5},   {7, 1},
                                {8, 43},   {9, 3},   {12, 2},  {14, 1},  {16, 13}, {18, 8},  {19, 4},  {20, 2},
                                {24, 3},   {27, 1},  {28, 2},  {32, 18}, {33, 3},  {34, 2},  {35, 11}, {37, 3},
                                {40, 20},  {41, 11}, {42, 2},  {43, 4},  {45, 4},  {64, 16}, {65, 14}, {66, 8},
                                {67, 2},   {68, 1},  {70, 2},  {71, 2},  {72, 1},  {96, 11}, {97, 8},  {98, 4},
                                {99, 1},   {100, 1}, {124, 5}, {125, 42}, {126, 2}, {127, 8}, {128, 9}},
                               19}),
    [](const testing::TestParamInfo<TotalsCase>& info) { return info.param.label; });

TEST(GeneralMidiTableTotals, MelodicProgramsInOrderThenKitsAtBank128)
{
    const auto rows = generalMidiRows();
    ASSERT_EQ(rows.size(), 137u);
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(std::tuple(int(rows[i].number), int(rows[i].bankMsb), int(rows[i].bankLsb)), std::tuple(i, 0, 0));
    }
    for (std::size_t k = 0; k < kKitNumbers.size(); ++k) {
        const auto& kit = rows[128 + k];
        EXPECT_EQ(std::tuple(int(kit.number), int(kit.bankMsb), int(kit.bankLsb)), std::tuple(kKitNumbers[k], 0, 128));
    }
    EXPECT_EQ(rows.front().name, "Piano 1");
    EXPECT_EQ(rows.back().name, "SFX");
    EXPECT_EQ(rows[25].name, "Steel Guitar");
    EXPECT_EQ(rows[128 + 4].name, "TR 808");
}

TEST(GeneralMidiTableTotals, NamesUnpaddedAndOnlyPrograms29To31Reach16Characters)
{
    std::vector<int> longNames;
    for (const auto& row : generalMidiRows()) {
        EXPECT_LE(row.name.size(), 16u) << row.name;
        EXPECT_FALSE(row.name.empty());
        EXPECT_NE(row.name.back(), ' ') << row.name;
        if (row.name.size() == 16) {
            longNames.push_back(row.number);
        }
    }
    EXPECT_EQ(longNames, (std::vector<int>{29, 30, 31}));
}

TEST(GsTableTotals, CapitalThenAscendingVariationsPerProgramThenKits)
{
    const auto rows = gsRows();
    ASSERT_EQ(rows.size(), 235u);
    std::map<int, int> variationsPerProgram;
    int expectedNumber = -1;
    int previousLsb = 0;
    for (std::size_t i = 0; i < 226; ++i) {
        const auto& row = rows[i];
        EXPECT_EQ(row.bankMsb, 0);
        if (row.bankLsb == 0) {
            ++expectedNumber;
            EXPECT_EQ(row.number, expectedNumber) << "capital at index " << i;
        } else {
            EXPECT_EQ(row.number, expectedNumber) << "variation at index " << i;
            EXPECT_GT(row.bankLsb, previousLsb) << "variation at index " << i;
            ++variationsPerProgram[row.number];
        }
        previousLsb = row.bankLsb;
    }
    EXPECT_EQ(expectedNumber, 127);
    EXPECT_EQ(variationsPerProgram.size(), 50u);
    const auto most = std::max_element(variationsPerProgram.begin(), variationsPerProgram.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_EQ(most->first, 125);
    EXPECT_EQ(most->second, 9);
    EXPECT_EQ(std::count_if(variationsPerProgram.begin(), variationsPerProgram.end(),
                            [](const auto& entry) { return entry.second == 9; }),
              1);

    for (std::size_t k = 0; k < kKitNumbers.size(); ++k) {
        const auto& kit = rows[226 + k];
        EXPECT_EQ(std::tuple(int(kit.number), int(kit.bankMsb), int(kit.bankLsb)),
                  std::tuple(kKitNumbers[k], 127, 127));
    }
    EXPECT_EQ(rows.front(), (SoundfontProgram{0, 0, 0, "Piano 1     "}));
    EXPECT_EQ(rows[225], (SoundfontProgram{127, 0, 6, "Explosion   "}));
    EXPECT_EQ(rows.back(), (SoundfontProgram{56, 127, 127, "SFX         "}));
}

TEST(GsTableTotals, EveryNameIsPaddedTo12Characters)
{
    for (const auto& row : gsRows()) {
        EXPECT_EQ(row.name.size(), 12u) << "'" << row.name << "'";
        EXPECT_NE(row.name.front(), ' ') << "'" << row.name << "'";
    }
    const auto rows = gsRows();
    const auto wind = std::find_if(rows.begin(), rows.end(),
                                   [](const auto& row) { return row.number == 122 && row.bankLsb == 6; });
    ASSERT_NE(wind, rows.end());
    EXPECT_EQ(wind->name, "Wind" + std::string(8, ' '));
}

TEST(XgTableTotals, OrderedByBankLsbThenProgramAllAtMsb0)
{
    const auto rows = xgRows();
    ASSERT_EQ(rows.size(), 482u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].bankMsb, 0);
        if (i > 0) {
            EXPECT_LT(std::tuple(rows[i - 1].bankLsb, rows[i - 1].number), std::tuple(rows[i].bankLsb, rows[i].number))
                << "index " << i;
        }
    }
    for (int i = 0; i < 128; ++i) {
        EXPECT_EQ(std::tuple(int(rows[i].number), int(rows[i].bankLsb)), std::tuple(i, 0));
    }
    EXPECT_EQ(rows.front(), (SoundfontProgram{0, 0, 0, "GrandPno"}));
    EXPECT_EQ(rows.back(), (SoundfontProgram{56, 0, 128, "GS SFX Kit"}));

    std::set<int> program0Lsbs;
    for (const auto& row : rows) {
        if (row.number == 0) {
            program0Lsbs.insert(row.bankLsb);
        }
    }
    EXPECT_EQ(program0Lsbs, (std::set<int>{0, 1, 8, 16, 40, 41, 125, 126, 127, 128}));
}

TEST(XgTableTotals, NamePrefixesAndLengths)
{
    const auto rows = xgRows();
    const std::set<int> starLsbs{1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 24, 32};

    EXPECT_EQ(countIf(rows, [](const auto& row) { return startsWith(row.name, "*"); }), 98);
    EXPECT_EQ(countIf(rows, [&](const auto& row) { return startsWith(row.name, "*") && starLsbs.count(row.bankLsb); }),
              98);
    EXPECT_EQ(countIf(rows, [](const auto& row) { return startsWith(row.name, "?"); }), 5);
    EXPECT_EQ(countIf(rows, [](const auto& row) { return startsWith(row.name, "?") && row.bankLsb == 124; }), 5);
    EXPECT_EQ(countIf(rows, [](const auto& row) { return startsWith(row.name, "Sfx_") && row.bankLsb == 125; }), 42);
    EXPECT_EQ(countIf(rows, [](const auto& row) { return row.bankLsb == 125; }), 42);
    EXPECT_EQ(countIf(rows, [](const auto& row) { return startsWith(row.name, "Sfx_") && row.bankLsb == 0; }), 6);
    EXPECT_EQ(countIf(rows, [](const auto& row) { return startsWith(row.name, "Sfx_"); }), 48);

    std::vector<std::string> longest;
    for (const auto& row : rows) {
        EXPECT_LE(row.name.size(), 16u) << row.name;
        EXPECT_FALSE(row.name.empty());
        EXPECT_NE(row.name.back(), ' ') << row.name;
        if (row.name.size() == 16) {
            longest.push_back(row.name);
        }
    }
    EXPECT_EQ(longest, (std::vector<std::string>{"*Flute Key Click"}));
}

}  // namespace
