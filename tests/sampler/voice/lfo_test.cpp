#include "sampler/src/voice/korvel_lfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Lfo, StaysAtZeroUntilItsDelayThenRunsATriangle) {
  korvel_lfo_t* lfo = new_korvel_lfo2(nullptr);
  ASSERT_NE(lfo, nullptr);
  lfo->delay = 512;
  lfo->increment = 0.4f;
  std::vector<float> values;
  for (unsigned int ticks = 0; ticks < 12 * 256; ticks += 256) {
    lfo2_preprocess(lfo, ticks);
    values.push_back(lfo->value);
  }
  // Two blocks at 0, then rising, reflecting at 1 and at -1.
  const std::vector<float> expected{0.0f, 0.0f, 0.4f, 0.8f, 0.8f, 0.4f, 0.0f, -0.4f, -0.8f, -0.8f, -0.4f, 0.0f};
  ASSERT_EQ(values.size(), expected.size());
  for (size_t i = 0; i < values.size(); ++i) EXPECT_NEAR(values[i], expected[i], 1e-6) << "block " << i;

  std::vector<float> buf(3, 0.0f);
  lfo2_process(lfo, buf.data(), 3);
  EXPECT_EQ(buf, std::vector<float>(3, lfo->value));
  EXPECT_EQ(delete_korvel_lfo2(lfo), 0);
}

TEST(Lfo, CompletesAPeriodInFourUnitsOfTravel) {
  // 1024 x 5 Hz / 48000 per block: one period is 48000 / 5 frames, that is 37.5 blocks, so 380 blocks rise through zero ten times.
  korvel_lfo_t* lfo = new_korvel_lfo1(nullptr);
  lfo->increment = 1024.0f * 5.0f / 48000.0f;
  int crossings = 0;
  float previous = 0.0f;
  for (int block = 0; block < 380; ++block) {
    lfo1_preprocess(lfo, 0);
    if (previous < 0.0f && lfo->value >= 0.0f) ++crossings;
    previous = lfo->value;
  }
  EXPECT_EQ(crossings, 10);
  delete_korvel_lfo1(lfo);
  EXPECT_EQ(delete_korvel_lfo1(nullptr), 0);
}

TEST(Lfo, TheThirdLfoRunsTheSameTriangle) {
  korvel_lfo3_t* third = new_korvel_lfo3(nullptr);
  korvel_lfo1_t* first = new_korvel_lfo1(nullptr);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->value, 0.0f);
  third->increment = first->increment = 0.3f;
  third->delay = first->delay = 256;
  for (unsigned int ticks = 0; ticks < 20 * 256; ticks += 256) {
    lfo3_preprocess(third, ticks);
    lfo1_preprocess(first, ticks);
    EXPECT_EQ(third->value, first->value) << "frame " << ticks;
  }
  std::vector<float> buf(2, 5.0f);
  lfo3_process(third, buf.data(), 2);
  EXPECT_EQ(buf, std::vector<float>(2, third->value));
  EXPECT_EQ(delete_korvel_lfo3(third), 0);
  delete_korvel_lfo1(first);
}

}  // namespace
