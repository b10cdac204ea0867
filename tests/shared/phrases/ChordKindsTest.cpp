// The chord vocabulary against its written form, and the lookups around it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shared/phrases/EnumMIDIChords.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct WrittenKind {
  int row;
  std::string shortName;
  std::string longName;
  std::vector<int> intervals;
};

std::vector<WrittenKind> writtenKinds() {
  std::ifstream in(std::string(PHRASES_TEST_DATA) + "/chord_kinds.txt");
  EXPECT_TRUE(in);
  std::vector<WrittenKind> kinds;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    WrittenKind kind;
    std::string row;
    std::string intervals;
    std::getline(fields, row, '|');
    std::getline(fields, kind.shortName, '|');
    std::getline(fields, kind.longName, '|');
    std::getline(fields, intervals);
    kind.row = std::stoi(row);
    std::istringstream values(intervals);
    for (std::string value; std::getline(values, value, ',');) kind.intervals.push_back(std::stoi(value));
    kinds.push_back(kind);
  }
  return kinds;
}

TEST(ChordKinds, EveryRowMatchesTheWrittenVocabulary) {
  const auto kinds = writtenKinds();
  ASSERT_EQ(kinds.size(), 103u);
  for (const auto& kind : kinds) {
    EXPECT_EQ(EnumMIDIChords::getShortName(kind.row), kind.shortName) << kind.row;
    EXPECT_EQ(EnumMIDIChords::getLongName(kind.row), kind.longName) << kind.row;
    EXPECT_EQ(EnumMIDIChords::getRule(kind.row), kind.intervals) << kind.row;
  }
}

TEST(ChordKinds, RowsOutsideTheTableAreEmpty) {
  for (int row : {-1, 103, 1000}) {
    EXPECT_EQ(EnumMIDIChords::getShortName(row), "");
    EXPECT_EQ(EnumMIDIChords::getLongName(row), "");
    EXPECT_THAT(EnumMIDIChords::getRule(row), IsEmpty());
  }
}

TEST(ChordKinds, KindsPerRootAndRawValues) {
  EXPECT_EQ(EnumMIDIChords::NUMBEROFCHORDSINKEY, 14);
  EXPECT_EQ(EnumMIDIChords::fromRawValue(14), EnumMIDIChords(EnumMIDIChords::NUMBEROFCHORDSINKEY));
  EXPECT_FALSE(EnumMIDIChords::fromRawValue(15).has_value());
  EXPECT_FALSE(EnumMIDIChords::fromRawValue(-1).has_value());
}

TEST(ChordKinds, LimitToOctaveDropsNegativesAndFoldsOnce) {
  EXPECT_THAT(EnumMIDIChords::limitToOctave({0, 4, 7, 14}), ElementsAre(0, 4, 7, 2));
  EXPECT_THAT(EnumMIDIChords::limitToOctave({-1, 16}), ElementsAre(4));
  EXPECT_THAT(EnumMIDIChords::limitToOctave({25, 12, 11}), ElementsAre(13, 0, 11));
}

}  // namespace
