#include "sampler/src/fx/korvel_chorus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "tests/sampler/support/korvel_log_capture.h"

namespace {

using korvel_test::LogCapture;
using Block = std::array<float, KORVEL_BUFSIZE>;

struct ChorusDeleter {
  void operator()(korvel_chorus_t* chorus) const { delete_korvel_chorus(chorus); }
};
using Chorus = std::unique_ptr<korvel_chorus_t, ChorusDeleter>;

Chorus makeChorus(double sampleRate) {
  Chorus chorus(new_korvel_chorus(sampleRate));
  EXPECT_NE(chorus, nullptr);
  return chorus;
}

// One tap of the interpolator, from its definition: a sinc windowed by a raised cosine five samples wide.
double windowedSinc(double t) {
  if (std::fabs(t) < 1e-6) return 1.0;
  double sine = static_cast<float>(std::sin(std::numbers::pi * t));
  return sine / (std::numbers::pi * t) * (1.0 + std::cos(2.0 * std::numbers::pi * t / 5.0)) / 2.0;
}

// Every default lies within the limits of the update, so creation and reset warn of nothing.
TEST(Chorus, CreationPutsTheDefaultsInEffectWithoutAWarning) {
  LogCapture log;
  Chorus chorus = makeChorus(48000);
  korvel_chorus_reset(chorus.get());
  EXPECT_EQ(log.texts(KORVEL_WARN), std::vector<std::string>{});
  EXPECT_EQ(korvel_chorus_get_nr(chorus.get()), 3);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_level(chorus.get()), 2.0);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_speed_Hz(chorus.get()), 0.29);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_depth_ms(chorus.get()), 8.0);
  EXPECT_EQ(korvel_chorus_get_type(chorus.get()), KORVEL_CHORUS_MOD_SINE);
}

TEST(Chorus, StagedValuesTakeEffectOnlyAtUpdate) {
  Chorus chorus = makeChorus(44100);
  korvel_chorus_set_nr(chorus.get(), 7);
  korvel_chorus_set_level(chorus.get(), 0.5);
  korvel_chorus_set_speed_Hz(chorus.get(), 1.5);
  korvel_chorus_set_depth_ms(chorus.get(), 3.0);
  korvel_chorus_set_type(chorus.get(), KORVEL_CHORUS_MOD_TRIANGLE);
  EXPECT_EQ(korvel_chorus_get_nr(chorus.get()), 3);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_level(chorus.get()), 2.0);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_speed_Hz(chorus.get()), 0.29);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_depth_ms(chorus.get()), 8.0);
  EXPECT_EQ(korvel_chorus_get_type(chorus.get()), KORVEL_CHORUS_MOD_SINE);

  EXPECT_EQ(korvel_chorus_update(chorus.get()), 0);
  EXPECT_EQ(korvel_chorus_get_nr(chorus.get()), 7);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_level(chorus.get()), 0.5);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_speed_Hz(chorus.get()), 1.5);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_depth_ms(chorus.get()), 3.0);
  EXPECT_EQ(korvel_chorus_get_type(chorus.get()), KORVEL_CHORUS_MOD_TRIANGLE);

  korvel_chorus_reset(chorus.get());
  EXPECT_EQ(korvel_chorus_get_nr(chorus.get()), 3);
  EXPECT_DOUBLE_EQ(korvel_chorus_get_speed_Hz(chorus.get()), 0.29);
}

TEST(Chorus, UpdateLimitsEachValueWithItsWarning) {
  struct Case {
    const char* name;
    void (*stage)(korvel_chorus_t*);
    const char* warning;
    void (*check)(korvel_chorus_t*);
  };
  const Case cases[] = {
      {"voices below 0", [](korvel_chorus_t* c) { korvel_chorus_set_nr(c, -1); },
       "chorus: number blocks must be >=0! Setting value to 0.",
       [](korvel_chorus_t* c) { EXPECT_EQ(korvel_chorus_get_nr(c), 0); }},
      {"voices 100", [](korvel_chorus_t* c) { korvel_chorus_set_nr(c, 100); },
       "chorus: number blocks larger than max. allowed! Setting value to 99.",
       [](korvel_chorus_t* c) { EXPECT_EQ(korvel_chorus_get_nr(c), 99); }},
      {"speed 0.1", [](korvel_chorus_t* c) { korvel_chorus_set_speed_Hz(c, 0.1); },
       "chorus: speed is too low (min 0.290000)! Setting value to min.",
       [](korvel_chorus_t* c) { EXPECT_DOUBLE_EQ(korvel_chorus_get_speed_Hz(c), 0.29); }},
      {"speed not a number",
       [](korvel_chorus_t* c) { korvel_chorus_set_speed_Hz(c, std::numeric_limits<double>::quiet_NaN()); },
       "chorus: speed is too low (min 0.290000)! Setting value to min.",
       [](korvel_chorus_t* c) { EXPECT_DOUBLE_EQ(korvel_chorus_get_speed_Hz(c), 0.29); }},
      {"speed 6", [](korvel_chorus_t* c) { korvel_chorus_set_speed_Hz(c, 6.0); },
       "chorus: speed must be below 5.000000 Hz! Setting value to max.",
       [](korvel_chorus_t* c) { EXPECT_DOUBLE_EQ(korvel_chorus_get_speed_Hz(c), 5.0); }},
      {"depth -1", [](korvel_chorus_t* c) { korvel_chorus_set_depth_ms(c, -1.0); },
       "chorus: depth must be positive! Setting value to 0.",
       [](korvel_chorus_t* c) { EXPECT_DOUBLE_EQ(korvel_chorus_get_depth_ms(c), 0.0); }},
      // 50 ms at 48 kHz is 2400 samples: the line holds 2048; the value in effect stays as given.
      {"depth 50 ms", [](korvel_chorus_t* c) { korvel_chorus_set_depth_ms(c, 50.0); },
       "chorus: Too high depth. Setting it to max (2048).",
       [](korvel_chorus_t* c) { EXPECT_DOUBLE_EQ(korvel_chorus_get_depth_ms(c), 50.0); }},
      {"depth huge", [](korvel_chorus_t* c) { korvel_chorus_set_depth_ms(c, 1e300); },
       "chorus: Too high depth. Setting it to max (2048).", [](korvel_chorus_t*) {}},
      {"level -1", [](korvel_chorus_t* c) { korvel_chorus_set_level(c, -1.0); },
       "chorus: level must be positive! Setting value to 0.",
       [](korvel_chorus_t* c) { EXPECT_DOUBLE_EQ(korvel_chorus_get_level(c), 0.0); }},
      {"level 20", [](korvel_chorus_t* c) { korvel_chorus_set_level(c, 20.0); },
       "chorus: level must be < 10. A reasonable level is << 1! Setting it to 0.1.",
       [](korvel_chorus_t* c) { EXPECT_DOUBLE_EQ(korvel_chorus_get_level(c), 0.1); }},
      {"type 7", [](korvel_chorus_t* c) { korvel_chorus_set_type(c, 7); },
       "chorus: Unknown modulation type. Using sinewave.", [](korvel_chorus_t*) {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Chorus chorus = makeChorus(48000);
    korvel_chorus_set_speed_Hz(chorus.get(), 1.0);
    korvel_chorus_update(chorus.get());
    LogCapture log;
    c.stage(chorus.get());
    korvel_chorus_update(chorus.get());
    EXPECT_EQ(log.texts(KORVEL_WARN), std::vector<std::string>{c.warning});
    c.check(chorus.get());
    Block in{}, left{}, right{};
    in[0] = 1.0f;
    for (int b = 0; b < 20; ++b) korvel_chorus_processreplace(chorus.get(), in.data(), left.data(), right.data());
    for (float s : left) EXPECT_TRUE(std::isfinite(s));
  }
}

// With depth 0 every voice reads half a sample behind the write position: the impulse response is the
// interpolator's taps at t = -2.5 ... 1.5, times level, once per voice.
TEST(Chorus, ImpulseResponseAtDepthZeroIsTheInterpolator) {
  for (int voices : {0, 1, 2, 5}) {
    Chorus chorus = makeChorus(48000);
    korvel_chorus_set_nr(chorus.get(), voices);
    korvel_chorus_set_depth_ms(chorus.get(), 0.0);
    korvel_chorus_set_level(chorus.get(), 0.5);
    korvel_chorus_update(chorus.get());
    Block in{}, left{}, right{};
    in[3] = 1.0f;
    korvel_chorus_processreplace(chorus.get(), in.data(), left.data(), right.data());
    for (int k = 0; k < KORVEL_BUFSIZE; ++k) {
      double expected = 0.0;
      if (k >= 3 && k < 8) expected = voices * 0.5 * windowedSinc(k - 3 - 2.5);
      EXPECT_NEAR(left[k], expected, 1e-6) << voices << " voices, frame " << k;
      EXPECT_EQ(left[k], right[k]);
    }
  }
}

TEST(Chorus, ModulationMovesTheDelayWithinTheDepth) {
  // A click every 512 frames through one triangle-modulated voice of 4 ms (192 samples) at 5 Hz: each click comes
  // out between 0 and 192 (+ the interpolator's 2) samples later, and not always at the same delay.
  Chorus chorus = makeChorus(48000);
  korvel_chorus_set_nr(chorus.get(), 1);
  korvel_chorus_set_depth_ms(chorus.get(), 4.0);
  korvel_chorus_set_speed_Hz(chorus.get(), 5.0);
  korvel_chorus_set_type(chorus.get(), KORVEL_CHORUS_MOD_TRIANGLE);
  korvel_chorus_set_level(chorus.get(), 1.0);
  korvel_chorus_update(chorus.get());
  std::vector<float> out;
  for (int b = 0; b < 40; ++b) {
    Block in{}, left{}, right{};
    if (b % 2 == 0) in[0] = 1.0f;
    korvel_chorus_processreplace(chorus.get(), in.data(), left.data(), right.data());
    out.insert(out.end(), left.begin(), left.end());
  }
  int smallest = 1 << 30, largest = -1;
  for (size_t click = 0; click + 512 <= out.size(); click += 512) {
    size_t peak = click;
    for (size_t i = click; i < click + 512; ++i)
      if (std::fabs(out[i]) > std::fabs(out[peak])) peak = i;
    int delay = static_cast<int>(peak - click);
    smallest = std::min(smallest, delay);
    largest = std::max(largest, delay);
  }
  EXPECT_GE(smallest, 0);
  EXPECT_LE(largest, 192 + 3);
  EXPECT_GT(largest - smallest, 100);
}

TEST(Chorus, TablesFollowTheirFormulas) {
  constexpr int32_t offset = 3 * 2048 * 128;
  std::vector<int32_t> table(100);
  korvel_chorus_sine(table.data(), 100, 10);
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(table[i], static_cast<int32_t>((std::sin(2 * std::numbers::pi * i / 100) + 1) * 10 * 0.5 * 128) - offset);
  EXPECT_EQ(table[25], 1280 - offset);

  // Lengths of the slowest and fastest speeds at common rates, and ones that are no multiple of anything.
  struct Case {
    int len;
    int depth;
  };
  for (const Case c : {Case{165517, 384}, Case{152068, 2048}, Case{9600, 1}, Case{662068, 1536}, Case{4410, 0},
                       Case{1001, 7}, Case{257, 2047}}) {
    std::vector<int32_t> fast(static_cast<size_t>(c.len));
    korvel_chorus_sine(fast.data(), c.len, c.depth);
    int differing = 0;
    for (int i = 0; i < c.len; ++i) {
      const double value = std::sin(static_cast<double>(i) / c.len * 2.0 * std::numbers::pi);
      differing += fast[static_cast<size_t>(i)] != static_cast<int32_t>((value + 1.0) * c.depth * 0.5 * 128) - offset;
    }
    EXPECT_EQ(differing, 0) << c.len << " entries, depth " << c.depth;
  }

  korvel_chorus_triangle(table.data(), 100, 10);
  EXPECT_EQ(table[0], -offset);
  EXPECT_EQ(table[25], 640 - offset);
  EXPECT_EQ(table[49], 1254 - offset);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(table[i], table[99 - i]) << i;
}

// The unit from its definition, over whole tables made by the public builders: a delay line of 2048 samples, each
// voice reading it at the table's delay for its phase through the five-tap interpolator.
class ReferenceChorus {
 public:
  void configure(double rate, int voices, double level, double speedHz, double depthMs, int type) {
    const int period = static_cast<int>(rate / speedHz);
    const int depth = static_cast<int>(depthMs / 1000.0 * rate);
    table_.assign(static_cast<size_t>(period), 0);
    if (type == KORVEL_CHORUS_MOD_TRIANGLE)
      korvel_chorus_triangle(table_.data(), period, depth);
    else
      korvel_chorus_sine(table_.data(), period, depth);
    phase_.clear();
    for (int v = 0; v < voices; ++v) phase_.push_back(static_cast<int>(static_cast<double>(v) * period / voices));
    level_ = static_cast<float>(level);
    counter_ = 0;
  }

  void process(const float* in, float* out, int n) {
    for (int k = 0; k < n; ++k) {
      line_[static_cast<size_t>(counter_)] = in[k];
      float sum = 0.0f;
      for (int& phase : phase_) {
        const int64_t position = int64_t{counter_} * 128 - table_[static_cast<size_t>(phase)];
        const int64_t sample = position / 128;
        const int fraction = static_cast<int>(position & 127);
        for (int tap = 0; tap < 5; ++tap)
          sum += line_[static_cast<size_t>((sample - tap) & 2047)] *
                 static_cast<float>(windowedSinc(static_cast<double>(fraction) / 128 + tap - 2.5));
        if (++phase == static_cast<int>(table_.size())) phase = 0;
      }
      out[k] = sum * level_;
      counter_ = (counter_ + 1) & 2047;
    }
  }

 private:
  std::vector<int32_t> table_;
  std::vector<int> phase_;
  std::array<float, 2048> line_{};
  float level_ = 0.0f;
  int counter_ = 0;
};

// Blocks of uneven sizes, long enough for the faster settings to run through their whole table and around again;
// halfway the settings change and the unit goes on with the same line. Depths up to the whole line.
TEST(Chorus, FollowsTheTablesOfTheBuildersThroughChangesOfSettings) {
  struct Settings {
    int voices;
    double speedHz;
    double depthMs;
    int type;
  };
  struct Case {
    double rate;
    Settings first, second;
  };
  const Case cases[] = {
      {48000, {7, 5.0, 8.0, KORVEL_CHORUS_MOD_SINE}, {7, 5.0, 8.0, KORVEL_CHORUS_MOD_TRIANGLE}},
      {44100, {3, 4.3, 2.5, KORVEL_CHORUS_MOD_TRIANGLE}, {5, 1.3, 13.0, KORVEL_CHORUS_MOD_SINE}},
      {48000, {3, 0.29, 8.0, KORVEL_CHORUS_MOD_SINE}, {2, 3.7, 40.0, KORVEL_CHORUS_MOD_SINE}},
      // Depths whose taps reach back nearly the whole line: the frames a call writes ahead would be read.
      {48000, {3, 5.0, 39.6, KORVEL_CHORUS_MOD_SINE}, {4, 2.0, 42.66, KORVEL_CHORUS_MOD_TRIANGLE}},
  };
  constexpr int kSizes[] = {256, 100, 37, 256, 1, 200};
  for (const Case& c : cases) {
    Chorus chorus = makeChorus(c.rate);
    ReferenceChorus reference;
    std::srand(11);
    double worst = 0.0;
    for (const Settings& settings : {c.first, c.second}) {
      korvel_chorus_set_nr(chorus.get(), settings.voices);
      korvel_chorus_set_level(chorus.get(), 0.5);
      korvel_chorus_set_speed_Hz(chorus.get(), settings.speedHz);
      korvel_chorus_set_depth_ms(chorus.get(), settings.depthMs);
      korvel_chorus_set_type(chorus.get(), settings.type);
      korvel_chorus_update(chorus.get());
      reference.configure(c.rate, settings.voices, 0.5, settings.speedHz, settings.depthMs, settings.type);
      for (int call = 0; call < 90; ++call) {
        const int n = kSizes[call % std::size(kSizes)];
        Block in{}, left{}, right{}, expected{};
        for (int k = 0; k < n; ++k) in[k] = static_cast<float>(std::rand()) / RAND_MAX - 0.5f;
        korvel_chorus_processreplace_frames(chorus.get(), in.data(), left.data(), right.data(), n);
        reference.process(in.data(), expected.data(), n);
        for (int k = 0; k < n; ++k) worst = std::max(worst, std::fabs(double(left[k]) - expected[k]));
      }
    }
    EXPECT_LT(worst, 1e-6) << c.rate << " Hz, " << c.first.speedHz << " then " << c.second.speedHz << " Hz";
  }
}

TEST(Chorus, SlowestSpeedStaysInsideTheTableAtAnyRate) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 8001.0}) {
    Chorus chorus = makeChorus(rate);
    korvel_chorus_set_nr(chorus.get(), 99);
    korvel_chorus_set_speed_Hz(chorus.get(), 0.29);
    korvel_chorus_update(chorus.get());
    Block in{}, left{}, right{};
    in[0] = 0.1f;
    long frames = static_cast<long>(rate / 0.29) + 2 * KORVEL_BUFSIZE;
    for (long done = 0; done < frames; done += KORVEL_BUFSIZE)
      korvel_chorus_processmix(chorus.get(), in.data(), left.data(), right.data());
    EXPECT_TRUE(std::isfinite(left[0])) << rate;
  }
}

// The chorus is linear, so a unit kept awake by a faint click every 1,024 frames, minus the same unit fed the clicks
// alone, gives the answer of a unit that never sleeps. A unit that sleeps through the long silence before a burst
// must match it: its phases and write position have to move on while it sleeps.
TEST(Chorus, SleepingThroughSilenceKeepsTheModulationInStep) {
  for (int type : {KORVEL_CHORUS_MOD_SINE, KORVEL_CHORUS_MOD_TRIANGLE}) {
    auto make = [type] {
      Chorus chorus = makeChorus(44100);
      korvel_chorus_set_nr(chorus.get(), 4);
      korvel_chorus_set_speed_Hz(chorus.get(), 0.7);
      korvel_chorus_set_type(chorus.get(), type);
      korvel_chorus_update(chorus.get());
      return chorus;
    };
    Chorus sleeper = make(), awake = make(), clicks = make();
    std::srand(5);
    constexpr int kSilentBlocks = 40;
    double worst = 0.0;
    int sleptBlocks = 0;
    for (int b = 0; b < kSilentBlocks + 14; ++b) {
      Block burst{}, clicked{}, clickOnly{};
      if (b >= kSilentBlocks && b < kSilentBlocks + 8)
        for (float& s : burst) s = static_cast<float>(std::rand()) / RAND_MAX - 0.5f;
      clicked = burst;
      if (b % (1024 / KORVEL_BUFSIZE) == 0) {
        clicked[0] += 1e-3f;
        clickOnly[0] = 1e-3f;
      }
      Block left{}, right{}, awakeLeft{}, awakeRight{}, clickLeft{}, clickRight{};
      korvel_chorus_processmix(sleeper.get(), burst.data(), left.data(), right.data());
      korvel_chorus_processreplace(awake.get(), clicked.data(), awakeLeft.data(), awakeRight.data());
      korvel_chorus_processreplace(clicks.get(), clickOnly.data(), clickLeft.data(), clickRight.data());
      ASSERT_EQ(korvel_chorus_sleeping(awake.get()), 0);
      sleptBlocks += korvel_chorus_sleeping(sleeper.get());
      for (int k = 0; k < KORVEL_BUFSIZE; ++k) {
        worst = std::max(worst, std::fabs(double(left[k]) - (awakeLeft[k] - clickLeft[k])));
        EXPECT_EQ(left[k], right[k]);
      }
    }
    EXPECT_GE(sleptBlocks, kSilentBlocks) << type;
    EXPECT_EQ(korvel_chorus_sleeping(sleeper.get()), 0) << type;
    EXPECT_LT(worst, 1e-5) << type;
  }
}

}  // namespace
