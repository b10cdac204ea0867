#include "sampler/src/voice/korvel_sampler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Events {
  std::vector<std::string> log;
  template <typename S>
  static void loop(void* data, S*, int frame) {
    static_cast<Events*>(data)->log.push_back("loop@" + std::to_string(frame));
  }
  template <typename S>
  static void start(void* data, S*, int frame) {
    static_cast<Events*>(data)->log.push_back("start@" + std::to_string(frame));
  }
  template <typename S>
  static void end(void* data, S*, int frame) {
    static_cast<Events*>(data)->log.push_back("end@" + std::to_string(frame));
  }
};

// A wave whose sample i is i / 10, so outputs read as positions.
std::vector<float> ramp(int size) {
  std::vector<float> wave(size);
  for (int i = 0; i < size; ++i) wave[i] = static_cast<float>(i) / 10.0f;
  return wave;
}

std::vector<float> render(Sampler& sampler, int n) {
  std::vector<float> out(n, -9.0f);
  sampler.processReplacing(out.data(), n);
  return out;
}

void expectNear(const std::vector<float>& actual, const std::vector<float>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6) << "frame " << i;
}

class WaveSampler : public testing::Test {
 protected:
  void play(int size, float rate) {
    wave_ = ramp(size);
    sampler_.setWave(wave_.data(), size, rate);
    sampler_.setActive(true);
    sampler_.setCallbacks(&events_, Events::loop<Sampler>, Events::start<Sampler>, Events::end<Sampler>);
  }
  std::vector<float> wave_;
  Sampler sampler_;
  Events events_;
};

TEST_F(WaveSampler, OneShotPlaysToTheLastIndexThenStops) {
  play(4, 48000.0f);
  expectNear(render(sampler_, 6), {0.0f, 0.1f, 0.2f, 0.0f, 0.0f, 0.0f});
  EXPECT_EQ(events_.log, (std::vector<std::string>{"start@0", "end@2"}));
  EXPECT_FALSE(sampler_.isActive());
  std::vector<float> untouched(3, 7.0f);
  sampler_.processReplacing(untouched.data(), 3);
  EXPECT_EQ(untouched, std::vector<float>(3, 7.0f));
}

TEST_F(WaveSampler, HalfSpeedInterpolatesLinearly) {
  play(4, 24000.0f);
  EXPECT_FLOAT_EQ(sampler_.getPitch(), 0.5f);
  expectNear(render(sampler_, 6), {0.0f, 0.05f, 0.1f, 0.15f, 0.2f, 0.25f});
}

TEST_F(WaveSampler, BackwardsPlaysFromTheEnd) {
  play(4, 48000.0f);
  sampler_.setSamplingFactor(-1.0f);
  expectNear(render(sampler_, 4), {0.3f, 0.2f, 0.1f, 0.0f});
  EXPECT_EQ(events_.log, (std::vector<std::string>{"start@0", "end@2"}));

  play(4, 48000.0f);
  sampler_.setSamplingFactor(-0.5f);
  expectNear(render(sampler_, 4), {0.3f, 0.25f, 0.2f, 0.15f});
}

TEST_F(WaveSampler, LoopWrapsPastItsEndAndReflectsBelowItsStart) {
  play(10, 48000.0f);
  sampler_.setLoopPoints(2, 6, true);
  EXPECT_TRUE(sampler_.getLoop());
  sampler_.reset();
  // Past the loop end the position continues at the same distance after the loop start.
  expectNear(render(sampler_, 10), {0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.3f, 0.4f, 0.5f, 0.6f, 0.3f});
  EXPECT_EQ(events_.log, (std::vector<std::string>{"loop@4", "loop@8"}));
  EXPECT_TRUE(sampler_.isActive());

  // From before the loop start the position is mirrored at the loop start.
  events_.log.clear();
  sampler_.setPlayPositionLong(0);
  expectNear(render(sampler_, 3), {0.0f, 0.3f, 0.4f});
  EXPECT_EQ(events_.log, std::vector<std::string>{"loop@0"});
}

TEST_F(WaveSampler, LoopPointRules) {
  struct Case {
    int start, end;
    bool loop;
    bool looping;
    float loopStart, loopEnd;
  };
  const Case cases[] = {
      {2, 6, true, true, 2, 6},   {5, 2, true, false, 2, 2},  {-3, 4, true, true, 0, 4},
      {12, 4, true, true, 0, 4},  {3, 50, true, true, 3, 9},  {3, -1, true, false, 0, 0},
      {2, 6, false, false, 0, 0},
  };
  for (const Case& c : cases) {
    play(10, 48000.0f);
    sampler_.setLoopPoints(c.start, c.end, c.loop);
    EXPECT_EQ(sampler_.getLoop(), c.looping) << c.start << ".." << c.end;
    EXPECT_EQ(sampler_.getLoopStart(), c.loopStart) << c.start << ".." << c.end;
    EXPECT_EQ(sampler_.getLoopEnd(), c.loopEnd) << c.start << ".." << c.end;
  }
}

TEST_F(WaveSampler, EmptyLoopIsSilentAndZeroStepHoldsTheFirstSample) {
  play(20, 48000.0f);
  sampler_.setLoopPoints(10, 10, true);
  sampler_.setLoop(true);
  EXPECT_EQ(render(sampler_, 4), std::vector<float>(4, 0.0f));

  play(20, 48000.0f);
  wave_[0] = 0.7f;
  sampler_.setSamplingFactor(0.0f);
  expectNear(render(sampler_, 4), std::vector<float>(4, 0.7f));
}

TEST_F(WaveSampler, AddingProcessAndGainRamp) {
  play(4, 48000.0f);
  std::vector<float> out{1.0f, 1.0f, 1.0f};
  sampler_.process(out.data(), 3);
  expectNear(out, {1.0f, 1.1f, 1.2f});

  play(4, 48000.0f);
  sampler_.processReplacing(out.data(), 3, 2.0f, 1.0f);
  expectNear(out, {0.0f, 0.3f, 0.8f});

  std::vector<float> gains{1.0f, 0.5f, 2.0f, 1.0f};
  play(4, 48000.0f);
  sampler_.setEnvelope(gains.data());
  expectNear(render(sampler_, 3), {0.0f, 0.05f, 0.4f});
}

TEST_F(WaveSampler, PlayPositions) {
  play(11, 48000.0f);
  sampler_.setPlayPosition(0.5f);
  EXPECT_EQ(sampler_.getPosition(), 5.0);
  EXPECT_FLOAT_EQ(sampler_.getPlayPosition(), 0.5f);
  sampler_.setPlayPosition(3.0f);
  EXPECT_EQ(sampler_.getPosition(), 10.0);
  sampler_.setPlayPositionLong(7);
  EXPECT_EQ(sampler_.getPlayPositionLong(), 7);
  sampler_.setPlayPositionLong(-4);
  EXPECT_EQ(sampler_.getPlayPositionLong(), 0);
  sampler_.setPlayPositionLong(40);
  EXPECT_EQ(sampler_.getPlayPositionLong(), 10);
}

TEST(WaveSamplerSetup, DefaultsAndRejectedWaves) {
  Sampler* sampler = sampler_create();
  ASSERT_NE(sampler, nullptr);
  EXPECT_EQ(sampler->getPitch(), 0.0f);
  EXPECT_EQ(sampler->getSamplingFactor(), 1.0f);
  EXPECT_EQ(sampler->getRepeatTime(), 24000.0f);
  EXPECT_EQ(sampler->getTempo(), 120.0f);
  sampler->setRepeatTime(60.0f, 2.0f);
  EXPECT_EQ(sampler->getRepeatTime(), 24000.0f);
  EXPECT_EQ(sampler->getTempo(), 60.0f);

  float wave[2] = {0.25f, 0.5f};
  testing::internal::CaptureStdout();
  sampler_set_wave(sampler, wave, 0, 48000.0f);
  sampler_set_loops(sampler, 0, 1, 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERROR: wave size is less than or zero.\nWARNING: The wave pointer for the sampler is zero.\n");
  float out[2] = {9.0f, 9.0f};
  sampler_process(sampler, out, 2);
  EXPECT_EQ(out[0], 9.0f);

  sampler_set_wave(sampler, wave, 2, 0.5f);
  sampler_process(sampler, out, 2);
  EXPECT_EQ(out[0], 9.0f);

  sampler_set_wave(sampler, wave, 2, 96000.0f);
  sampler_set_pitch(sampler, 0.25f);
  sampler_process2(sampler, out, 2, 2.0f, 0.0f);
  EXPECT_FLOAT_EQ(out[0], 0.5f);
  EXPECT_FLOAT_EQ(out[1], 0.75f);
  sampler_destroy(sampler);

  sampler_set_pitch(nullptr, 1.0f);
  sampler_set_wave(nullptr, wave, 2, 48000.0f);
  sampler_process(nullptr, out, 2);
}

TEST(WaveSampler16, ScalesSixteenBitData) {
  const short wave[4] = {16384, -32768, 32767, 0};
  Sampler16 sampler;
  sampler.setWave(wave, 4, 48000.0f);
  sampler.setActive(true);
  float out[3];
  sampler.processReplacing(out, 3);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_EQ(out[1], -1.0f);
  EXPECT_EQ(out[2], 32767.0f / 32768.0f);
}

}  // namespace
