#include "sampler/src/sys/korvel_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <variant>
#include <vector>

#include "tests/sampler/support/korvel_log_capture.h"

namespace {

using korvel_test::LogCapture;

class Settings : public testing::Test {
 protected:
  void SetUp() override {
    settings_ = new_korvel_settings();
    ASSERT_NE(settings_, nullptr);
  }
  void TearDown() override { delete_korvel_settings(settings_); }

  std::vector<std::pair<std::string, int>> listing() {
    std::vector<std::pair<std::string, int>> out;
    korvel_settings_foreach(settings_, &out, [](void* data, const char* name, int type) {
      static_cast<std::vector<std::pair<std::string, int>>*>(data)->emplace_back(name, type);
    });
    return out;
  }

  std::vector<std::string> options(const char* name) {
    std::vector<std::string> out;
    korvel_settings_foreach_option(settings_, name, &out, [](void* data, const char*, const char* option) {
      static_cast<std::vector<std::string>*>(data)->push_back(option);
    });
    return out;
  }

  korvel_settings_t* settings_ = nullptr;
};

struct IntKey {
  int def, min, max;
};
struct NumKey {
  double def, min, max;
};
struct StrKey {
  const char* def;
  std::vector<std::string> options;
};
struct Key {
  const char* name;
  std::variant<IntKey, NumKey, StrKey> expected;
};

// Every key of a fresh registry, in its listing order, with type, default, range and options.
const std::vector<Key> kFreshRegistry = {
    {"audio.output-channels", IntKey{2, 2, 32}},
    {"audio.periods", IntKey{16, 2, 64}},
    {"audio.sample-format", StrKey{"32bits", {"32bits", "float"}}},
    {"audio.period-size", IntKey{64, 64, 8192}},
    {"audio.input-channels", IntKey{0, 0, 2}},
    {"audio.driver", StrKey{"iosaudio", {"iosaudio"}}},
    {"midi.driver", StrKey{"iosmidi", {"iosmidi"}}},
    {"synth.reverb.active", StrKey{"yes", {}}},
    {"synth.ladspa.active", StrKey{"no", {}}},
    {"synth.midi-channels", IntKey{16, 16, 16}},
    {"synth.polyphony", IntKey{1024, 16, 4096}},
    {"synth.sample-rate", NumKey{48000.0, 24000.0, 96000.0}},
    {"synth.verbose", StrKey{"no", {}}},
    {"synth.chorus.active", StrKey{"yes", {}}},
    {"synth.effects-channels", IntKey{6, 2, 6}},
    {"synth.gain", NumKey{0.5, 0.0, 10.0}},
    {"synth.audio-channels", IntKey{16, 1, 16}},
    {"synth.dump", StrKey{"no", {}}},
    {"synth.audio-groups", IntKey{16, 1, 16}},
    {"shell.prompt", StrKey{"", {}}},
    {"shell.port", IntKey{9800, 1, 65535}},
};

TEST_F(Settings, FreshRegistryListsItsKeysInOrderWithTheirDefaults) {
  std::vector<std::pair<std::string, int>> expected;
  for (const Key& key : kFreshRegistry) {
    int type = std::holds_alternative<IntKey>(key.expected)   ? KORVEL_INT_TYPE
               : std::holds_alternative<NumKey>(key.expected) ? KORVEL_NUM_TYPE
                                                          : KORVEL_STR_TYPE;
    expected.emplace_back(key.name, type);
  }
  EXPECT_EQ(listing(), expected);

  for (const Key& key : kFreshRegistry) {
    SCOPED_TRACE(key.name);
    EXPECT_EQ(korvel_settings_get_hints(settings_, key.name), 0);
    EXPECT_EQ(korvel_settings_is_realtime(settings_, key.name), 0);
    if (auto* k = std::get_if<IntKey>(&key.expected)) {
      int value = -1, min = -1, max = -1;
      EXPECT_EQ(korvel_settings_getint(settings_, key.name, &value), 1);
      EXPECT_EQ(korvel_settings_getint_range(settings_, key.name, &min, &max), 1);
      EXPECT_EQ(value, k->def);
      EXPECT_EQ(korvel_settings_getint_default(settings_, key.name), k->def);
      EXPECT_EQ(min, k->min);
      EXPECT_EQ(max, k->max);
    } else if (auto* k = std::get_if<NumKey>(&key.expected)) {
      double value = -1, min = -1, max = -1;
      EXPECT_EQ(korvel_settings_getnum(settings_, key.name, &value), 1);
      EXPECT_EQ(korvel_settings_getnum_range(settings_, key.name, &min, &max), 1);
      EXPECT_EQ(value, k->def);
      EXPECT_EQ(korvel_settings_getnum_default(settings_, key.name), k->def);
      EXPECT_EQ(min, k->min);
      EXPECT_EQ(max, k->max);
    } else {
      auto& s = std::get<StrKey>(key.expected);
      const char* value = nullptr;
      EXPECT_EQ(korvel_settings_getstr(settings_, key.name, &value), 1);
      ASSERT_NE(value, nullptr);
      EXPECT_STREQ(value, s.def);
      EXPECT_EQ(korvel_settings_str_equal(settings_, key.name, s.def), 1);
      EXPECT_STREQ(korvel_settings_getstr_default(settings_, key.name), s.def);
      EXPECT_EQ(options(key.name), s.options);
    }
  }
}

TEST_F(Settings, SetsAreClampedIntoTheRange) {
  struct IntCase {
    const char* name;
    int set, stored;
  };
  const IntCase ints[] = {
      {"synth.polyphony", 5000, 4096}, {"synth.polyphony", 3, 16},       {"synth.polyphony", 100, 100},
      {"synth.effects-channels", 7, 6}, {"synth.effects-channels", 1, 2}, {"synth.midi-channels", 20, 16},
      {"shell.port", 0, 1},             {"shell.port", 70000, 65535},     {"audio.input-channels", -1, 0},
  };
  for (const IntCase& c : ints) {
    int value = 0;
    EXPECT_EQ(korvel_settings_setint(settings_, c.name, c.set), 1);
    korvel_settings_getint(settings_, c.name, &value);
    EXPECT_EQ(value, c.stored) << c.name << " set to " << c.set;
  }
  struct NumCase {
    const char* name;
    double set, stored;
  };
  const NumCase nums[] = {{"synth.gain", 12.0, 10.0},
                          {"synth.gain", -0.5, 0.0},
                          {"synth.gain", 0.25, 0.25},
                          {"synth.sample-rate", 1000.0, 24000.0},
                          {"synth.sample-rate", 192000.0, 96000.0}};
  for (const NumCase& c : nums) {
    double value = 0;
    EXPECT_EQ(korvel_settings_setnum(settings_, c.name, c.set), 1);
    korvel_settings_getnum(settings_, c.name, &value);
    EXPECT_EQ(value, c.stored) << c.name << " set to " << c.set;
  }
}

TEST_F(Settings, UpdateCallbacksSeeTheStoredValue) {
  static std::vector<std::string> calls;
  calls.clear();
  auto onInt = [](void* data, const char* name, int value) {
    calls.push_back(std::string(static_cast<const char*>(data)) + name + "=" + std::to_string(value));
    return 0;
  };
  auto onNum = [](void*, const char* name, double value) {
    calls.push_back(std::string(name) + "=" + std::to_string(value));
    return 0;
  };
  auto onStr = [](void*, const char* name, const char* value) {
    calls.push_back(std::string(name) + "=" + (value ? value : "(none)"));
    return 0;
  };
  static char tag[] = "int:";
  EXPECT_EQ(korvel_settings_register_int(settings_, "synth.polyphony", 1024, 16, 4096, 0, onInt, tag), 1);
  EXPECT_EQ(korvel_settings_register_num(settings_, "synth.gain", 0.2f, 0.0, 10.0, 0, onNum, nullptr), 1);
  EXPECT_EQ(korvel_settings_register_str(settings_, "synth.verbose", "no", 0, onStr, nullptr), 1);
  korvel_settings_setint(settings_, "synth.polyphony", 5000);
  korvel_settings_setnum(settings_, "synth.gain", 11.0);
  korvel_settings_setstr(settings_, "synth.verbose", "yes");
  korvel_settings_setstr(settings_, "synth.verbose", nullptr);
  EXPECT_EQ(calls, (std::vector<std::string>{"int:synth.polyphony=4096", "synth.gain=10.000000", "synth.verbose=yes",
                                             "synth.verbose=(none)"}));
  EXPECT_EQ(korvel_settings_is_realtime(settings_, "synth.gain"), 1);
  EXPECT_EQ(korvel_settings_is_realtime(settings_, "synth.verbose"), 1);
  EXPECT_EQ(korvel_settings_is_realtime(settings_, "synth.polyphony"), 0);
}

TEST_F(Settings, ReRegistrationReplacesTheDescriptionAndKeepsTheValue) {
  EXPECT_EQ(korvel_settings_register_num(settings_, "synth.gain", 0.2f, 0.0, 10.0, 0, nullptr, nullptr), 1);
  double gain = 0;
  korvel_settings_getnum(settings_, "synth.gain", &gain);
  EXPECT_EQ(gain, 0.5);
  EXPECT_EQ(korvel_settings_getnum_default(settings_, "synth.gain"), 0.20000000298023224);

  EXPECT_EQ(korvel_settings_register_int(settings_, "synth.midi-channels", 16, 1, 256, 0, nullptr, nullptr), 1);
  korvel_settings_setint(settings_, "synth.midi-channels", 20);
  int channels = 0;
  korvel_settings_getint(settings_, "synth.midi-channels", &channels);
  EXPECT_EQ(channels, 20);

  korvel_settings_setstr(settings_, "synth.verbose", "yes");
  EXPECT_EQ(korvel_settings_register_str(settings_, "synth.verbose", "maybe", 0, nullptr, nullptr), 1);
  EXPECT_EQ(korvel_settings_str_equal(settings_, "synth.verbose", "yes"), 1);
  EXPECT_STREQ(korvel_settings_getstr_default(settings_, "synth.verbose"), "maybe");

  // Registration stores its default unclamped.
  EXPECT_EQ(korvel_settings_register_int(settings_, "test.wide", 50, 0, 10, 0, nullptr, nullptr), 1);
  int wide = 0;
  korvel_settings_getint(settings_, "test.wide", &wide);
  EXPECT_EQ(wide, 50);
}

TEST_F(Settings, TypeCodesAndNameSplitting) {
  struct Case {
    const char* name;
    int type;
  };
  const Case cases[] = {
      {"synth", KORVEL_SET_TYPE},           {"synth.reverb", KORVEL_SET_TYPE},
      {"synth.gain", KORVEL_NUM_TYPE},      {"synth.polyphony", KORVEL_INT_TYPE},
      {"synth.verbose", KORVEL_STR_TYPE},   {"synth.never-registered", KORVEL_NO_TYPE},
      {"synth..gain", KORVEL_NUM_TYPE},     {".synth.gain.", KORVEL_NUM_TYPE},
      {"synth.gain.more", KORVEL_NO_TYPE},  {"", KORVEL_NO_TYPE},
      {"...", KORVEL_NO_TYPE},              {nullptr, KORVEL_NO_TYPE},
  };
  for (const Case& c : cases) EXPECT_EQ(korvel_settings_get_type(settings_, c.name), c.type) << (c.name ? c.name : "none");
}

TEST_F(Settings, WrongTypesFailAndRegistrationMismatchesWarn) {
  LogCapture capture;
  EXPECT_EQ(korvel_settings_setstr(settings_, "synth.gain", "loud"), 0);
  EXPECT_EQ(korvel_settings_setint(settings_, "synth.gain", 3), 0);
  EXPECT_EQ(korvel_settings_setnum(settings_, "synth.polyphony", 3.0), 0);
  EXPECT_EQ(korvel_settings_setnum(settings_, "synth", 3.0), 0);
  double gain = 0;
  korvel_settings_getnum(settings_, "synth.gain", &gain);
  EXPECT_EQ(gain, 0.5);
  EXPECT_TRUE(capture.lines().empty());

  const char* text = "untouched";
  int number = -7;
  EXPECT_EQ(korvel_settings_getstr(settings_, "synth.gain", &text), 0);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(korvel_settings_getint(settings_, "synth.gain", &number), 0);
  EXPECT_EQ(korvel_settings_getnum_default(settings_, "synth.polyphony"), 0.0);
  EXPECT_EQ(korvel_settings_getint_default(settings_, "nothing"), 0);
  EXPECT_EQ(korvel_settings_getstr_default(settings_, "synth.gain"), nullptr);
  EXPECT_EQ(korvel_settings_str_equal(settings_, "synth.gain", "0.5"), 0);

  EXPECT_EQ(korvel_settings_register_str(settings_, "synth.polyphony", "x", 0, nullptr, nullptr), 1);
  EXPECT_EQ(korvel_settings_register_int(settings_, "synth.verbose", 1, 0, 1, 0, nullptr, nullptr), 0);
  EXPECT_EQ(korvel_settings_register_num(settings_, "synth", 1, 0, 1, 0, nullptr, nullptr), 0);
  EXPECT_EQ(capture.texts(KORVEL_WARN),
            (std::vector<std::string>{"Type mismatch on setting 'synth.polyphony'",
                                      "Type mismatch on setting 'synth.verbose'", "Type mismatch on setting 'synth'"}));
  EXPECT_EQ(korvel_settings_get_type(settings_, "synth.polyphony"), KORVEL_INT_TYPE);
}

TEST_F(Settings, SettingAMissingNameCreatesIt) {
  EXPECT_EQ(korvel_settings_setnum(settings_, "fresh.number", 2e10), 1);
  EXPECT_EQ(korvel_settings_get_type(settings_, "fresh"), KORVEL_SET_TYPE);
  double value = 0, min = 0, max = 0;
  korvel_settings_getnum(settings_, "fresh.number", &value);
  korvel_settings_getnum_range(settings_, "fresh.number", &min, &max);
  EXPECT_EQ(value, 2e10);
  EXPECT_EQ(min, -1e10);
  EXPECT_EQ(max, 1e10);
  EXPECT_EQ(korvel_settings_getnum_default(settings_, "fresh.number"), 0.0);
  korvel_settings_setnum(settings_, "fresh.number", 3e10);
  korvel_settings_getnum(settings_, "fresh.number", &value);
  EXPECT_EQ(value, 1e10);

  EXPECT_EQ(korvel_settings_setint(settings_, "fresh.integer", -5), 1);
  int imin = 0, imax = 0;
  korvel_settings_getint_range(settings_, "fresh.integer", &imin, &imax);
  EXPECT_EQ(imin, -2147483647 - 1);
  EXPECT_EQ(imax, 2147483647);
  EXPECT_EQ(korvel_settings_getint_default(settings_, "fresh.integer"), 0);

  EXPECT_EQ(korvel_settings_setstr(settings_, "fresh.text", "hello"), 1);
  EXPECT_EQ(korvel_settings_getstr_default(settings_, "fresh.text"), nullptr);
  EXPECT_EQ(korvel_settings_str_equal(settings_, "fresh.text", "hello"), 1);
  EXPECT_EQ(korvel_settings_setstr(settings_, "fresh.none", nullptr), 1);
  EXPECT_EQ(korvel_settings_get_type(settings_, "fresh.none"), KORVEL_STR_TYPE);
  EXPECT_EQ(korvel_settings_str_equal(settings_, "fresh.none", ""), 0);

  EXPECT_EQ(korvel_settings_setnum(settings_, "synth.gain", std::nan("")), 0);
  double gain = 0;
  korvel_settings_getnum(settings_, "synth.gain", &gain);
  EXPECT_EQ(gain, 0.5);
}

TEST_F(Settings, APathThroughAValueIsNotANode) {
  LogCapture capture;
  EXPECT_EQ(korvel_settings_setnum(settings_, "synth.gain.left", 1.0), 0);
  EXPECT_EQ(korvel_settings_register_str(settings_, "shell.port.name", "x", 0, nullptr, nullptr), 0);
  EXPECT_EQ(capture.texts(KORVEL_WARN),
            (std::vector<std::string>{"'gain' is not a node", "'port' is not a node"}));
  EXPECT_EQ(korvel_settings_get_type(settings_, "synth.gain"), KORVEL_NUM_TYPE);
}

TEST_F(Settings, NamesBeyondTheLimitsAreRefused) {
  std::string sixteen = "n", seventeen;
  for (int i = 1; i < 16; ++i) sixteen += ".n";
  seventeen = sixteen + ".n";
  EXPECT_EQ(korvel_settings_setint(settings_, sixteen.c_str(), 1), 1);
  EXPECT_EQ(korvel_settings_get_type(settings_, sixteen.c_str()), KORVEL_INT_TYPE);
  EXPECT_EQ(korvel_settings_setint(settings_, seventeen.c_str(), 1), 0);
  EXPECT_EQ(korvel_settings_get_type(settings_, seventeen.c_str()), KORVEL_NO_TYPE);

  std::string longest = "long." + std::string(1018, 'x');
  ASSERT_EQ(longest.size(), 1023u);
  EXPECT_EQ(korvel_settings_setstr(settings_, longest.c_str(), "fits"), 1);
  EXPECT_EQ(korvel_settings_get_type(settings_, longest.c_str()), KORVEL_STR_TYPE);
  std::string tooLong = longest + "x";
  EXPECT_EQ(korvel_settings_setstr(settings_, tooLong.c_str(), "too long"), 0);
  EXPECT_EQ(korvel_settings_get_type(settings_, tooLong.c_str()), KORVEL_NO_TYPE);
  EXPECT_EQ(korvel_settings_setint(settings_, "..", 1), 0);

  bool sawLongest = false;
  for (const auto& [name, type] : listing()) sawLongest |= name == longest;
  EXPECT_TRUE(sawLongest);
}

TEST_F(Settings, HintsAreKeptForNumbersAndStringsOnly) {
  korvel_settings_register_int(settings_, "test.int", 1, 0, 2, 5, nullptr, nullptr);
  korvel_settings_register_num(settings_, "test.num", 1, 0, 2, 3, nullptr, nullptr);
  korvel_settings_register_str(settings_, "test.str", "a", 2, nullptr, nullptr);
  EXPECT_EQ(korvel_settings_get_hints(settings_, "test.int"), 0);
  EXPECT_EQ(korvel_settings_get_hints(settings_, "test.num"), 3);
  EXPECT_EQ(korvel_settings_get_hints(settings_, "test.str"), 2);
  EXPECT_EQ(korvel_settings_get_hints(settings_, "test"), 0);
}

TEST_F(Settings, OptionsKeepTheirOrder) {
  EXPECT_EQ(korvel_settings_add_option(settings_, "audio.sample-format", "double"), 1);
  EXPECT_EQ(options("audio.sample-format"), (std::vector<std::string>{"32bits", "float", "double"}));
  EXPECT_EQ(korvel_settings_remove_option(settings_, "audio.sample-format", "float"), 1);
  EXPECT_EQ(korvel_settings_remove_option(settings_, "audio.sample-format", "float"), 0);
  EXPECT_EQ(options("audio.sample-format"), (std::vector<std::string>{"32bits", "double"}));
  // Options describe choices; a set does not consult them.
  EXPECT_EQ(korvel_settings_setstr(settings_, "audio.sample-format", "24bits"), 1);
  EXPECT_EQ(korvel_settings_add_option(settings_, "synth.gain", "x"), 0);
  EXPECT_EQ(korvel_settings_add_option(settings_, "missing", "x"), 0);
  EXPECT_TRUE(options("synth.gain").empty());
}

TEST_F(Settings, ListingWalksNodesDepthFirstWithFullNames) {
  // In the "synth.reverb" table "active" hashes to bucket 2 and "level" to bucket 5, so the new key is listed right
  // after "synth.reverb.active", before the rest of the "synth" table.
  EXPECT_EQ(korvel_settings_setint(settings_, "synth.reverb.level", 1), 1);
  std::vector<std::pair<std::string, int>> expected;
  for (const Key& key : kFreshRegistry) {
    expected.emplace_back(key.name, korvel_settings_get_type(settings_, key.name));
    if (std::string(key.name) == "synth.reverb.active") expected.emplace_back("synth.reverb.level", KORVEL_INT_TYPE);
  }
  EXPECT_EQ(listing(), expected);
}

}  // namespace
