// Every row of the three built-in tables against golden lists transcribed separately from the tables' source text.

#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"

#include "tests/Orvo_Tunedeck_Extension/catalogue/SoundfontProgramPrinter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A golden line is number,bankMsb,bankLsb,"name"; the quotes keep the trailing spaces of the GS names.
std::optional<SoundfontProgram> parseGoldenLine(const std::string& line)
{
    std::istringstream in(line);
    unsigned number = 0;
    unsigned msb = 0;
    unsigned lsb = 0;
    char c1 = 0;
    char c2 = 0;
    char c3 = 0;
    if (!(in >> number >> c1 >> msb >> c2 >> lsb >> c3) || c1 != ',' || c2 != ',' || c3 != ',' || number > 255 ||
        msb > 255 || lsb > 255) {
        return std::nullopt;
    }
    std::string quoted;
    std::getline(in, quoted);
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        return std::nullopt;
    }
    return SoundfontProgram{std::uint8_t(number), std::uint8_t(msb), std::uint8_t(lsb),
                            quoted.substr(1, quoted.size() - 2)};
}

std::vector<SoundfontProgram> readGolden(const std::string& fileName)
{
    const std::string path = std::string(CATALOGUE_TEST_DATA_DIR) + "/" + fileName;
    std::ifstream file(path);
    EXPECT_TRUE(file.is_open()) << path;
    std::vector<SoundfontProgram> rows;
    std::string line;
    std::getline(file, line);
    EXPECT_EQ(line, "number,bankMsb,bankLsb,name") << path;
    for (int lineNumber = 2; std::getline(file, line); ++lineNumber) {
        const auto row = parseGoldenLine(line);
        if (!row) {
            ADD_FAILURE() << path << ":" << lineNumber << ": malformed line '" << line << "'";
            continue;
        }
        rows.push_back(*row);
    }
    return rows;
}

struct GoldenCase {
    const char* label;
    const char* fileName;
    std::function<void(Soundfontprograms&)> make;
};

void PrintTo(const GoldenCase& c, std::ostream* out) { *out << c.label; }

class ProgramTableGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(ProgramTableGolden, EveryRowMatches)
{
    const std::vector<SoundfontProgram> golden = readGolden(GetParam().fileName);
    ASSERT_FALSE(golden.empty());

    Soundfontprograms catalogue;
    GetParam().make(catalogue);

    ASSERT_EQ(catalogue.programs.size(), golden.size());
    for (std::size_t i = 0; i < golden.size(); ++i) {
        EXPECT_EQ(catalogue.programs[i], golden[i])
            << "row index " << i << ": table " << testing::PrintToString(catalogue.programs[i]) << ", golden " << testing::PrintToString(golden[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, ProgramTableGolden,
                         testing::Values(GoldenCase{"GeneralMidi", "gm_programs.csv", &Soundfontprograms::makeGM},
                                         GoldenCase{"Gs", "gs_programs.csv", &Soundfontprograms::makeGS},
                                         GoldenCase{"Xg", "xg_programs.csv", &Soundfontprograms::makeXG}),
                         [](const testing::TestParamInfo<GoldenCase>& info) { return info.param.label; });

}  // namespace
