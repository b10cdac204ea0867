// Rule building, chord recognition and snapping notes onto a chord's tones.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/Log.h"
#include "shared/phrases/ChordRules.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::vector<std::string> shortNames(const std::vector<std::shared_ptr<ChordRule>>& rules) {
  std::vector<std::string> names;
  for (const auto& rule : rules) names.push_back(rule->shortName);
  return names;
}

const ChordRule& ruleNamed(const ChordRules& set, const std::string& shortName) {
  for (const auto& rule : set.rules) {
    if (rule->shortName == shortName) return *rule;
  }
  ADD_FAILURE() << "no rule " << shortName;
  return *set.rules.front();
}

TEST(ChordRules, BuildsFourteenKindsOnTwelveRoots) {
  ChordRules set;
  ASSERT_EQ(set.rules.size(), 168u);
  for (int n = 0; n < 168; ++n) EXPECT_EQ(set.rules[n]->index, n);
  EXPECT_EQ(set.rules[0]->shortName, "C8");
  EXPECT_EQ(set.rules[0]->longName, "C key");
  EXPECT_THAT(set.rules[0]->rule, ElementsAre(0));
  EXPECT_EQ(set.rules[26]->shortName, "DM");
  EXPECT_EQ(set.rules[26]->longName, "D Major");
  EXPECT_THAT(set.rules[26]->rule, ElementsAre(2, 6, 9));
  EXPECT_EQ(set.rules[155]->shortName, "Bm7");
  EXPECT_THAT(set.rules[155]->rule, ElementsAre(11, 2, 6, 9));
  EXPECT_EQ(set.rules[167]->shortName, "Bo7");
  EXPECT_EQ(set.rules[167]->longName, "B Diminished 7th");
  EXPECT_THAT(set.rules[167]->rule, ElementsAre(11, 2, 5, 8));

  set.makeRules();
  ASSERT_EQ(set.rules.size(), 336u);
  EXPECT_EQ(set.rules[168]->index, 0);
}

struct MatchCase {
  std::vector<int> notes;
  std::vector<std::string> matches;
  int exact;
};

TEST(ChordRules, FindMatchesOnNoteSets) {
  const std::vector<std::string> allKindsOnC{"C8",    "C5",    "CM", "Cm", "Co", "C+", "Csus2",
                                             "Csus4", "C-5",   "C6", "Cm6", "C7", "Cm7", "Co7"};
  const MatchCase cases[] = {
      {{60, 64, 67}, {"CM", "C6", "C7"}, 0},
      {{60, 64}, {"CM", "C+", "C-5", "C6", "C7"}, -1},
      {{60, 67}, {"C5", "Gsus4"}, 0},
      {{60, 64, 68}, {"C+", "E+", "G#+"}, 2},
      {{60, 63, 66, 69}, {"Co7", "D#o7", "F#o7", "Ao7"}, 3},
      {{60, 62, 67}, {"Csus2", "Gsus4"}, 1},
      {{60, 64, 67, 69}, {"C6", "Am7"}, 1},
      {{60}, allKindsOnC, 0},
      {{48, 60, 72}, allKindsOnC, 0},
      {{60, 61, 62}, {}, -1},
      {{}, {}, -1},
  };
  ChordRules set;
  for (const auto& c : cases) {
    const auto found = set.findMatches(c.notes);
    EXPECT_THAT(shortNames(found), ElementsAreArray(c.matches)) << ::testing::PrintToString(c.notes);
    EXPECT_EQ(set.getMatchingIndex(), c.exact) << ::testing::PrintToString(c.notes);
    const auto exact = set.getExactMatch(found);
    if (c.exact < 0) {
      EXPECT_EQ(exact, nullptr);
    } else {
      EXPECT_EQ(exact, found[c.exact]);
      EXPECT_EQ(exact, set.rules[exact->index]) << "results are the set's own rules";
    }
  }
}

TEST(ChordRules, ExactMatchOutsideTheGivenListIsNone) {
  ChordRules set;
  const auto found = set.findMatches({60, 64, 68});
  ASSERT_EQ(set.getMatchingIndex(), 2);
  EXPECT_EQ(set.getExactMatch({found[0], found[1]}), nullptr);
}

TEST(ChordRules, ReduceToOctaveFoldsBy127AndCountsPitchClasses) {
  ChordRules set;
  EXPECT_THAT(set.reduceToOctave({60, 64, 67, 72, 79}), ElementsAre(0, 4, 7));
  EXPECT_THAT(set.getOctavePattern(), ElementsAre(2, 0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0));
  EXPECT_THAT(set.reduceToOctave({128}), ElementsAre(1));
  EXPECT_THAT(set.reduceToOctave({-1}), ElementsAre(6));
  EXPECT_THAT(set.reduceToOctave({140, 254, -127}), ElementsAre(0, 1, 7));
  // Far out of range: the same folding, done at once.
  EXPECT_THAT(set.reduceToOctave({2147483647, -2147483647 - 1}), ElementsAre(7, 11));

  set.reduceToOctave({62});
  foundation::LogCapture log;
  EXPECT_THAT(set.reduceToOctave({}), IsEmpty());
  EXPECT_THAT(log.lines(), ElementsAre("Warning: The notes array is empty."));
  EXPECT_EQ(set.getOctavePattern()[2], 1) << "an empty list keeps the previous pattern";
}

struct TransposeCase {
  std::string rule;
  std::vector<int> notes;
  std::vector<int> keys;
};

TEST(ChordRules, TransposeMovesNotesUpOntoChordTones) {
  const TransposeCase cases[] = {
      {"CM", {60, 62, 65}, {60, 64, 67}},
      {"CM", {60, 60}, {60, 64}},
      {"CM", {60, 61, 62, 63}, {60, 64, 67, 72}},
      {"CM", {127}, {}},
      {"Am7", {59, 60, 61}, {60, 64, 69}},
      {"CM", {2, 5, 9}, {4, 7, 12}},
      {"CM", {}, {}},
      // Notes outside the key range claim nothing.
      {"CM", {-5, 60, 128}, {60}},
  };
  ChordRules set;
  for (const auto& c : cases) {
    EXPECT_THAT(set.transpose(ruleNamed(set, c.rule), c.notes), ElementsAreArray(c.keys))
        << c.rule << " " << ::testing::PrintToString(c.notes);
  }
}

TEST(ChordRules, TransposeMarksKeys) {
  ChordRules set;
  set.transpose(ruleNamed(set, "CM"), {60, 62});
  const auto& keys = set.getCurrentKeys();
  EXPECT_EQ(keys[0], 1);
  EXPECT_EQ(keys[4], 1);
  EXPECT_EQ(keys[7], 0) << "two notes mark only the first two tones";
  EXPECT_EQ(keys[60], 2);
  EXPECT_EQ(keys[64], 2);
  EXPECT_EQ(keys[72], 1);
}

TEST(ChordRules, TransposeOntoAnEmptyRuleClaimsNothing) {
  ChordRules set;
  EXPECT_THAT(set.transpose(ChordRule{}, {60, 64}), IsEmpty());
}

TEST(ChordRules, DumpoutListsEveryRule) {
  ChordRules set;
  foundation::LogCapture log;
  set.dumpout();
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 169u);
  EXPECT_EQ(lines[0], "The count of chord rules is: 168");
  EXPECT_EQ(lines[1], "0: C8, C key");
  EXPECT_EQ(lines[27], "26: DM, D Major");
  EXPECT_EQ(lines[168], "167: Bo7, B Diminished 7th");
}

}  // namespace
