#include "sampler/src/sys/korvel_strtok.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sampler/support/korvel_log_capture.h"

namespace {

using korvel_test::LogCapture;

TEST(Strtok, SplitsInPlaceWithoutEmptyTokens) {
  struct Case {
    std::string text;
    const char* delimiters;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {"synth.gain", ".", {"synth", "gain"}},
      {"a..b", ".", {"a", "b"}},
      {".lead.trail.", ".", {"lead", "trail"}},
      {"...", ".", {}},
      {"", ".", {}},
      {"noteon 1  60\t100\n", " \t\n", {"noteon", "1", "60", "100"}},
      {"single", ".", {"single"}},
  };
  for (const Case& c : cases) {
    std::vector<char> text(c.text.begin(), c.text.end());
    text.push_back('\0');
    korvel_strtok_t* tokenizer = new_korvel_strtok(text.data(), c.delimiters);
    ASSERT_NE(tokenizer, nullptr);
    std::vector<std::string> tokens;
    while (char* token = korvel_strtok_next_token(tokenizer)) {
      EXPECT_GE(token, text.data());
      EXPECT_LT(token, text.data() + text.size());
      tokens.push_back(token);
    }
    EXPECT_EQ(tokens, c.tokens) << c.text;
    EXPECT_EQ(korvel_strtok_has_more(tokenizer), 0) << c.text;
    EXPECT_EQ(korvel_strtok_next_token(tokenizer), nullptr) << c.text;
    EXPECT_EQ(delete_korvel_strtok(tokenizer), 0);
  }
}

TEST(Strtok, HasMoreLooksPastDelimiters) {
  char text[] = "a. .b. ";
  korvel_strtok_t* tokenizer = new_korvel_strtok(text, ". ");
  EXPECT_EQ(korvel_strtok_has_more(tokenizer), -1);
  EXPECT_STREQ(korvel_strtok_next_token(tokenizer), "a");
  EXPECT_EQ(korvel_strtok_has_more(tokenizer), -1);
  EXPECT_STREQ(korvel_strtok_next_token(tokenizer), "b");
  EXPECT_EQ(korvel_strtok_has_more(tokenizer), 0);
  // The text is cut where tokens ended, not elsewhere.
  EXPECT_EQ(std::string(text, sizeof text - 1), std::string("a\0 .b\0 ", 7));

  char other[] = "x:y";
  EXPECT_EQ(korvel_strtok_set(tokenizer, other, ":"), 0);
  EXPECT_STREQ(korvel_strtok_next_token(tokenizer), "x");
  EXPECT_STREQ(korvel_strtok_next_token(tokenizer), "y");
  delete_korvel_strtok(tokenizer);
}

TEST(Strtok, MissingTextOrDelimitersAreNullPointers) {
  LogCapture capture;
  char text[] = "a.b";
  korvel_strtok_t* tokenizer = new_korvel_strtok(nullptr, ".");
  ASSERT_NE(tokenizer, nullptr);
  EXPECT_EQ(tokenizer->len, 0);
  EXPECT_EQ(korvel_strtok_next_token(tokenizer), nullptr);
  EXPECT_EQ(korvel_strtok_has_more(tokenizer), 0);
  korvel_strtok_set(tokenizer, text, nullptr);
  EXPECT_EQ(korvel_strtok_next_token(tokenizer), nullptr);
  EXPECT_EQ(delete_korvel_strtok(tokenizer), 0);
  EXPECT_EQ(delete_korvel_strtok(nullptr), 0);
  EXPECT_EQ(capture.texts(KORVEL_ERR), (std::vector<std::string>(3, "Null pointer")));
}

TEST(Strtok, CharIndex) {
  EXPECT_EQ(korvel_strtok_char_index('.', "ab.c."), 2);
  EXPECT_EQ(korvel_strtok_char_index('a', "ab"), 0);
  EXPECT_EQ(korvel_strtok_char_index('z', "ab"), -1);
  EXPECT_EQ(korvel_strtok_char_index('\0', "ab"), -1);
  LogCapture capture;
  EXPECT_EQ(korvel_strtok_char_index('a', nullptr), -1);
  EXPECT_EQ(capture.texts(KORVEL_ERR), std::vector<std::string>{"Null pointer"});
}

}  // namespace
