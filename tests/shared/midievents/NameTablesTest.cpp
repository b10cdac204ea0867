#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "shared/midievents/MIDINameTables.h"
#include "shared/midievents/NoteNames.h"

namespace {

std::vector<std::string> goldenNames(const std::string& file) {
  std::ifstream in(std::string(MIDIEVENTS_TEST_DATA) + "/" + file);
  EXPECT_TRUE(in) << file;
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);) names.push_back(line);
  return names;
}

template <std::size_t N>
std::vector<std::string> asStrings(const std::array<std::string_view, N>& table) {
  return {table.begin(), table.end()};
}

TEST(NameTablesTest, EveryTableMatchesItsGoldenList) {
  struct Case {
    const char* file;
    std::vector<std::string> table;
  };
  const Case cases[] = {
      {"status_names.txt", asStrings(MIDIStatusNames)},   {"meta_names.txt", asStrings(MIDIMetaNames)},
      {"controller_names.txt", asStrings(MIDIControllerNames)}, {"key_names.txt", asStrings(MIDIKeyNames)},
      {"patch_names.txt", asStrings(MIDIPatchNames)},     {"drum_names.txt", asStrings(MIDIDrumNames)},
  };
  for (const Case& c : cases) {
    std::vector<std::string> golden = goldenNames(c.file);
    ASSERT_EQ(c.table.size(), golden.size()) << c.file;
    for (std::size_t i = 0; i < golden.size(); ++i) EXPECT_EQ(c.table[i], golden[i]) << c.file << " row " << i;
  }
}

TEST(NameTablesTest, NoteNamesStartWithTheKeyNames) {
  EXPECT_EQ(NoteNames().values, asStrings(MIDIKeyNames));
}

}  // namespace
