#include "sampler/src/voice/korvel_envelope.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Step {
  int section;
  float value;
};

std::vector<Step> run(korvel_envelope_t* env, int steps) {
  std::vector<Step> out;
  for (int i = 0; i < steps; ++i) {
    envelope1_preprocess(env);
    out.push_back({env->section, env->value});
  }
  return out;
}

void expectSteps(const std::vector<Step>& actual, const std::vector<Step>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) {
    EXPECT_EQ(actual[i].section, expected[i].section) << "step " << i + 1;
    EXPECT_FLOAT_EQ(actual[i].value, expected[i].value) << "step " << i + 1;
  }
}

class Envelope : public testing::Test {
 protected:
  void SetUp() override {
    env_ = new_korvel_envelope1(nullptr);
    ASSERT_NE(env_, nullptr);
  }
  void TearDown() override { delete_korvel_envelope1(env_); }
  korvel_envelope_t* env_ = nullptr;
};

TEST_F(Envelope, CreationLeavesEndlessSustainAndFinishedSections) {
  const korvel_env_section_t& sustain = env_->data[KORVEL_ENV_SUSTAIN];
  const korvel_env_section_t& finished = env_->data[KORVEL_ENV_FINISHED];
  EXPECT_EQ(sustain.count, 4294967295u);
  EXPECT_EQ(sustain.coeff, 1.0f);
  EXPECT_EQ(sustain.min, -1.0f);
  EXPECT_EQ(sustain.max, 2.0f);
  EXPECT_EQ(finished.count, 4294967295u);
  EXPECT_EQ(finished.coeff, 0.0f);
  EXPECT_EQ(finished.max, 1.0f);
  EXPECT_EQ(env_->data[KORVEL_ENV_ATTACK].count, 0u);
  EXPECT_EQ(env_->section, KORVEL_ENV_DELAY);
  EXPECT_EQ(env_->value, 0.0f);
  EXPECT_EQ(delete_korvel_envelope2(nullptr), 0);
}

TEST_F(Envelope, WalksDelayAttackDecaySustainReleaseAndFinishes) {
  env_->data[KORVEL_ENV_DELAY] = {2, 0.0f, 0.0f, -1.0f, 1.0f};
  env_->data[KORVEL_ENV_ATTACK] = {4, 1.0f, 0.25f, -1.0f, 1.0f};
  env_->data[KORVEL_ENV_HOLD] = {0, 1.0f, 0.0f, -1.0f, 2.0f};
  env_->data[KORVEL_ENV_DECAY] = {4, 1.0f, -0.125f, 0.5f, 2.0f};
  env_->data[KORVEL_ENV_RELEASE] = {2, 1.0f, -0.5f, 0.0f, 1.0f};
  // Worked by hand: two delay blocks, a linear attack reaching 1 at its fourth block, no hold, a decay that stops
  // at the sustain level, then the sustain holding it.
  expectSteps(run(env_, 12), {{0, 0.0f},
                              {0, 0.0f},
                              {1, 0.25f},
                              {1, 0.5f},
                              {1, 0.75f},
                              {1, 1.0f},
                              {3, 0.875f},
                              {3, 0.75f},
                              {3, 0.625f},
                              {3, 0.5f},
                              {4, 0.5f},
                              {4, 0.5f}});
  env_->section = KORVEL_ENV_RELEASE;
  env_->ticks = 0;
  expectSteps(run(env_, 3), {{5, 0.0f}, {6, 0.0f}, {6, 0.0f}});
}

TEST_F(Envelope, LeavingTheLimitsMovesOnAtOnce) {
  env_->data[KORVEL_ENV_ATTACK] = {10, 1.0f, 0.3f, -1.0f, 1.0f};
  env_->data[KORVEL_ENV_HOLD] = {2, 1.0f, 0.0f, -1.0f, 2.0f};
  env_->data[KORVEL_ENV_DECAY] = {10, 1.0f, -0.5f, 0.2f, 2.0f};
  // The attack overshoots in its fourth block: clamped to 1, into the hold with one block counted.
  expectSteps(run(env_, 8), {{1, 0.3f},
                             {1, 0.6f},
                             {1, 0.9f},
                             {2, 1.0f},
                             {2, 1.0f},
                             {3, 0.5f},
                             {4, 0.2f},
                             {4, 0.2f}});
}

TEST_F(Envelope, ShortestAttackReachesFullLevelInOneBlock) {
  env_->data[KORVEL_ENV_ATTACK] = {1, 1.0f, 1.0f, -1.0f, 1.0f};
  env_->data[KORVEL_ENV_DECAY] = {2, 1.0f, -0.25f, 0.5f, 2.0f};
  expectSteps(run(env_, 3), {{1, 1.0f}, {3, 0.75f}, {3, 0.5f}});
}

TEST_F(Envelope, FinishedStaysFinishedEvenWithItsCountCleared) {
  env_->section = KORVEL_ENV_FINISHED;
  env_->data[KORVEL_ENV_FINISHED].count = 0;
  env_->value = 0.7f;
  expectSteps(run(env_, 2), {{6, 0.0f}, {6, 0.0f}});
}

TEST_F(Envelope, ProcessWritesTheCurrentValue) {
  env_->value = 0.375f;
  std::vector<float> buf(5, -1.0f);
  envelope2_process(env_, buf.data(), 4);
  EXPECT_EQ(buf, (std::vector<float>{0.375f, 0.375f, 0.375f, 0.375f, -1.0f}));
}

TEST(Envelope3, StepsLikeTheOthersWhileItsOutputFollowsBy1Over256PerStep) {
  korvel_envelope3_t* env = new_korvel_envelope3(nullptr);
  ASSERT_NE(env, nullptr);
  EXPECT_EQ(env->env.data[KORVEL_ENV_SUSTAIN].count, 4294967295u);
  EXPECT_EQ(env->smoothed, 0.0f);
  // A one-block attack to full level, then sustain at 1.
  env->env.data[KORVEL_ENV_ATTACK] = {1, 1.0f, 1.0f, -1.0f, 2.0f};
  float expected = 0.0f;
  for (int step = 1; step <= 4; ++step) {
    envelope3_preprocess(env);
    expected += (1.0f - expected) / 256.0f;
    EXPECT_EQ(env->env.value, 1.0f) << "step " << step;
    EXPECT_FLOAT_EQ(env->smoothed, expected) << "step " << step;
  }
  EXPECT_EQ(env->env.section, KORVEL_ENV_SUSTAIN);
  std::vector<float> buf(3, -1.0f);
  envelope3_process(env, buf.data(), 3);
  EXPECT_EQ(buf, std::vector<float>(3, env->smoothed));
  EXPECT_EQ(delete_korvel_envelope3(env), 0);
  EXPECT_EQ(delete_korvel_envelope3(nullptr), 0);
}

}  // namespace
