#include <gtest/gtest.h>

#include "shared/midievents/NoteNames.h"

namespace {

TEST(NoteNamesTest, KeyNumberIsTheFirstExactMatch) {
  const NoteNames names;
  const std::pair<const char*, int> cases[] = {
      {"C-2", 0}, {"C#-1", 13}, {"C3", 60}, {"G8", 127}, {"", -1}, {"c3", -1}, {"C3 ", -1}, {"Db3", -1},
  };
  for (const auto& [name, key] : cases) EXPECT_EQ(names.getKeyNumber(name), key) << name;
}

TEST(NoteNamesTest, BlackKeysAreTheSharpNamesInsideTheKeyRange) {
  const NoteNames names;
  const std::pair<int, bool> cases[] = {{61, true}, {60, false}, {1, true}, {127, false}, {126, true},
                                        {128, false}, {-1, false}};
  for (const auto& [key, black] : cases) EXPECT_EQ(names.isBlackKey(key), black) << key;
}

TEST(NoteNamesTest, ReplacedValuesChangeTheLookUps) {
  NoteNames names;
  names.values = {"Do", "Do#"};
  EXPECT_EQ(names.getKeyNumber("Do#"), 1);
  EXPECT_EQ(names.getKeyNumber("C3"), -1);
  EXPECT_TRUE(names.isBlackKey(1));
  EXPECT_FALSE(names.isBlackKey(61));
}

TEST(NoteNamesTest, SharedInstanceIsOneObject) {
  EXPECT_EQ(&noteNames(), &noteNames());
  EXPECT_EQ(noteNames().getKeyNumber("C3"), 60);
}

}  // namespace
