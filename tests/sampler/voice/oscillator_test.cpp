#include "sampler/src/voice/korvel_oscillator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/voice/korvel_interp_tables.h"
#include "sampler/src/bank/korvel_sample.h"

namespace {

constexpr double kScale = 1.0 / 32768.0;

class Oscillator : public testing::Test {
 protected:
  void SetUp() override {
    osc_ = new_korvel_oscillator(nullptr);
    viblfo_ = new_korvel_lfo1(nullptr);
    modlfo_ = new_korvel_lfo2(nullptr);
    modenv_ = new_korvel_envelope2(nullptr);
    sample_ = new_korvel_sample();
    ASSERT_TRUE(osc_ && viblfo_ && modlfo_ && modenv_ && sample_);
    // Distinct points, both signs, full range at the ends.
    points_ = {-32768, 1000, -2000, 3000, 12000, -7000, 500, 32767, 100, -100, 250, 9000, 0, -30000, 30000, 42};
    sample_->data = points_.data();
    sample_->pstart = 0;
    sample_->pend = static_cast<unsigned int>(points_.size() - 1);
    sample_->lstart = 4;
    sample_->lend = 12;
    sample_->rate = 48000;
    oscillator_set_sample(osc_, sample_);
  }
  void TearDown() override {
    delete_korvel_oscillator(osc_);
    delete_korvel_lfo1(viblfo_);
    delete_korvel_lfo2(modlfo_);
    delete_korvel_envelope2(modenv_);
    delete_korvel_sample(sample_);
  }

  // A fixed increment given as integer and fraction.
  void step(unsigned int integer, unsigned int fraction) {
    osc_->incr_int = integer;
    osc_->incr_fract = fraction;
  }

  void preprocess(float pitchCents, float rootCents) {
    osc_->pitch_cents = pitchCents;
    osc_->root_freq_hz = korvel_act2hz(rootCents);
    oscillator_preprocess(osc_, viblfo_, modlfo_, modenv_);
  }

  double point(int i) const { return points_[std::min<size_t>(std::max(i, 0), points_.size() - 1)]; }

  std::vector<short> points_;
  korvel_oscillator_t* osc_ = nullptr;
  korvel_lfo1_t* viblfo_ = nullptr;
  korvel_lfo2_t* modlfo_ = nullptr;
  korvel_envelope2_t* modenv_ = nullptr;
  korvel_sample_t* sample_ = nullptr;
};

TEST_F(Oscillator, PitchBecomesA3232Increment) {
  preprocess(6000.0f, 6000.0f);
  EXPECT_EQ(osc_->incr_int, 1u);
  EXPECT_EQ(osc_->incr_fract, 0u);

  preprocess(7200.0f, 6000.0f);
  EXPECT_EQ(osc_->incr_int, 2u);
  EXPECT_EQ(osc_->incr_fract, 0u);

  preprocess(4800.0f, 6000.0f);
  EXPECT_EQ(osc_->incr_int, 0u);
  EXPECT_EQ(osc_->incr_fract, 0x80000000u);

  // Far below the root the increment rounds to nothing and still advances one fraction unit.
  preprocess(-60000.0f, 6000.0f);
  EXPECT_EQ(osc_->incr_int, 0u);
  EXPECT_EQ(osc_->incr_fract, 1u);
}

TEST_F(Oscillator, PitchIsNotClampedToTheFilterRange) {
  struct Case {
    float pitch, root;
  };
  const Case cases[] = {{300.0f, 6000.0f}, {1000.0f, 1200.0f}, {14400.0f, 6000.0f}, {6000.0f, 100.0f}};
  for (const Case& c : cases) {
    preprocess(c.pitch, c.root);
    const double expected = std::pow(2.0, (c.pitch - c.root) / 1200.0);
    const double actual = osc_->incr_int + osc_->incr_fract / 4294967296.0;
    EXPECT_NEAR(actual / expected, 1.0, 1e-5) << c.pitch << " over " << c.root;
    EXPECT_FLOAT_EQ(osc_->sampler->getSamplingFactor(), static_cast<float>(expected));
  }
}

TEST_F(Oscillator, ModulationSourcesAddTheirDepthsToThePitch) {
  modlfo_->value = 0.5f;
  modlfo_->pitch_depth_cents = 1200.0f;
  viblfo_->value = -0.25f;
  viblfo_->pitch_depth_cents = 400.0f;
  modenv_->value = 1.0f;
  modenv_->pitch_depth_cents = -1200.0f;
  preprocess(6000.0f, 6000.0f);
  // 6000 + 600 - 100 - 1200 = 5300 cents.
  EXPECT_NEAR(osc_->phase_incr, std::pow(2.0, -700.0 / 1200.0), 1e-6);
}

TEST_F(Oscillator, NearestPointFollowsThePhaseAndTheGainRamp) {
  step(1, 0x80000000u);  // 1.5
  std::vector<float> buf(6);
  oscillator_process1(osc_, buf.data(), 6, 0.25f, 0.125f, 2);
  const int indices[] = {0, 1, 3, 4, 6, 7};
  for (int i = 0; i < 6; ++i) {
    const float gain = 0.25f + 0.125f * static_cast<float>(2 + i);
    EXPECT_EQ(buf[i], gain * static_cast<float>(point(indices[i]) * kScale)) << i;
  }
  EXPECT_EQ(osc_->phase_int, 9);
  EXPECT_EQ(osc_->phase_fract, 0u);
}

TEST_F(Oscillator, PlainGainIsBitExact) {
  step(1, 0);
  std::vector<float> buf(points_.size());
  oscillator_process(osc_, buf.data(), static_cast<int>(buf.size()), 0.5f * 0.7065f, 0.0f, 0);
  for (size_t i = 0; i < buf.size(); ++i) EXPECT_EQ(buf[i], points_[i] / 32768.0f * (0.5f * 0.7065f)) << i;
}

TEST_F(Oscillator, UnitStepPathIgnoresTheIncrement) {
  step(3, 0x40000000u);
  testing::internal::CaptureStdout();
  std::vector<float> buf(4);
  oscillator_process0(osc_, buf.data(), 4, 1.0f, 0.0f, 0);
  oscillator_process0(osc_, buf.data(), 4, 1.0f, 0.0f, 0);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(printed.empty() || printed == "WARNING: NOT SUPPORTED.\n") << printed;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(buf[i], static_cast<float>(point(4 + i) * kScale));
  EXPECT_EQ(osc_->phase_int, 8);
}

// Each interpolating path against its formula, evaluated in double from x = top 8 bits of the fraction / 256.
TEST_F(Oscillator, InterpolatingPathsMatchTheirFormulasScaledTo32768) {
  const unsigned int fractions[] = {0u, 0x40000000u, 0x80000000u, 0xC0000000u, 0x12345678u, 0xFFFFFFFFu};
  for (unsigned int fract : fractions) {
    const double x = (fract >> 24) / 256.0;
    const int i = 3;
    const double linear = (1 - x) * point(i) + x * point(i + 1);
    const double four = (-x / 2 + x * x - x * x * x / 2) * point(i) + (1 - 2.5 * x * x + 1.5 * x * x * x) * point(i + 1) +
                        (x / 2 + 2 * x * x - 1.5 * x * x * x) * point(i + 2) + (x * x * x - x * x) / 2 * point(i + 3);
    double seven = 0.0;
    for (int k = 0; k < 7; ++k) {
      const double t = (255 - (fract >> 24)) / 256.0 + k - 3.5;
      const double w = std::fabs(t) <= 1e-6 ? 1.0
                                             : std::sin(std::numbers::pi * t) / (std::numbers::pi * t) *
                                                   (1 + std::cos(2 * std::numbers::pi * t / 7)) / 2;
      seven += w * point(i + k);
    }
    struct Path {
      void (*process)(korvel_oscillator_t*, float*, int, float, float, int);
      double expected;
    };
    const Path paths[] = {{oscillator_process2, linear}, {oscillator_process3, four}, {oscillator_process4, seven}};
    for (const Path& p : paths) {
      osc_->phase_int = i;
      osc_->phase_fract = fract;
      step(0, 0);
      float out = 0.0f;
      testing::internal::CaptureStdout();
      p.process(osc_, &out, 1, 2.0f, 0.0f, 0);
      testing::internal::GetCapturedStdout();
      EXPECT_NEAR(out, 2.0 * p.expected * kScale, 2e-6) << "fraction " << fract;
    }
  }
}

// Long spans of the four-point path (which runs four frames at a time inside the sample) give the samples of its
// formula frame by frame, with the coefficient table stepping per frame and frame i's gain the ramp's start plus
// i steps.
TEST_F(Oscillator, FourPointSpansGiveTheSamplesOfTheFormulaFrameByFrame) {
  points_.resize(300);
  for (size_t i = 16; i < points_.size(); ++i) points_[i] = static_cast<short>((i * 7919) % 65536 - 32768);
  sample_->data = points_.data();
  sample_->pend = static_cast<unsigned int>(points_.size() - 1);
  oscillator_set_sample(osc_, sample_);
  for (int n : {1, 4, 7, 64, 203}) {
    osc_->phase_int = 1;
    osc_->phase_fract = 0x9abcdef0u;
    step(0, 0x6c000000u);
    std::vector<float> buf(static_cast<size_t>(n));
    oscillator_process3(osc_, buf.data(), n, 0.3f, 0.001f, 0);
    unsigned int fract = 0x9abcdef0u;
    int index = 1;
    for (int i = 0; i < n; ++i) {
      const float gain = 0.3f + static_cast<float>(i) * 0.001f;
      const float* c = korvel_interp::kFourPoint.c[fract >> 24];
      const float value = (c[0] * static_cast<float>(point(index)) + c[1] * static_cast<float>(point(index + 1)) +
                           c[2] * static_cast<float>(point(index + 2)) + c[3] * static_cast<float>(point(index + 3))) *
                          static_cast<float>(kScale);
      ASSERT_EQ(buf[static_cast<size_t>(i)], gain * value) << n << " frames, frame " << i;
      const unsigned int next = fract + 0x6c000000u;
      index += next < fract ? 1 : 0;
      fract = next;
    }
    EXPECT_EQ(osc_->phase_int, index);
    EXPECT_EQ(osc_->phase_fract, fract);
    // The same ramp in two spans, the second told how many frames of it are out.
    osc_->phase_int = 1;
    osc_->phase_fract = 0x9abcdef0u;
    std::vector<float> spans(static_cast<size_t>(n));
    const int half = n / 2;
    oscillator_process3(osc_, spans.data(), half, 0.3f, 0.001f, 0);
    oscillator_process3(osc_, spans.data() + half, n - half, 0.3f, 0.001f, half);
    EXPECT_EQ(spans, buf) << n << " frames";
  }
}

TEST_F(Oscillator, MethodSelectsThePath) {
  struct Case {
    int method;
    void (*path)(korvel_oscillator_t*, float*, int, float, float, int);
  };
  const Case cases[] = {{0, oscillator_process1}, {1, oscillator_process2}, {4, oscillator_process1},
                        {5, oscillator_process1}, {7, oscillator_process4}};
  testing::internal::CaptureStdout();
  for (const Case& c : cases) {
    std::vector<float> viaMethod(5), viaPath(5);
    osc_->interp_method = c.method;
    step(0, 0x60000000u);
    osc_->phase_int = 2;
    osc_->phase_fract = 0x10000000u;
    oscillator_process(osc_, viaMethod.data(), 5, 1.0f, 0.0f, 0);
    osc_->phase_int = 2;
    osc_->phase_fract = 0x10000000u;
    c.path(osc_, viaPath.data(), 5, 1.0f, 0.0f, 0);
    EXPECT_EQ(viaMethod, viaPath) << "method " << c.method;
  }
  testing::internal::GetCapturedStdout();
}

TEST_F(Oscillator, ReadsStayInsideTheSample) {
  // points_ is exactly the sample: the sanitizers see any read past it.
  testing::internal::CaptureStdout();
  for (auto* process : {oscillator_process1, oscillator_process2, oscillator_process3, oscillator_process4}) {
    osc_->phase_int = static_cast<int>(points_.size()) - 3;
    osc_->phase_fract = 0;
    step(1, 0);
    std::vector<float> buf(8);
    process(osc_, buf.data(), 8, 1.0f, 0.0f, 0);
  }
  testing::internal::GetCapturedStdout();
  osc_->phase_int = static_cast<int>(points_.size()) + 5;
  float out = 0.0f;
  oscillator_process1(osc_, &out, 1, 1.0f, 0.0f, 0);
  EXPECT_EQ(out, static_cast<float>(42 * kScale));
}

TEST_F(Oscillator, WithoutPointsItWritesSilence) {
  oscillator_set_sample(osc_, nullptr);
  std::vector<float> buf(4, 1.0f);
  oscillator_process1(osc_, buf.data(), 4, 0.5f, 0.25f, 1);
  EXPECT_EQ(buf, std::vector<float>(4, 0.0f));
}

TEST_F(Oscillator, WaveSamplerFollowsTheSampleAndItsLoop) {
  sample_->pstart = 2;
  sample_->rate = 24000;
  oscillator_set_sample(osc_, sample_);
  EXPECT_TRUE(osc_->sampler->isActive());
  EXPECT_FLOAT_EQ(osc_->sampler->getPitch(), 0.5f);
  oscillator_set_loop(osc_, 1);
  EXPECT_TRUE(osc_->sampler->getLoop());
  EXPECT_EQ(osc_->sampler->getLoopStart(), 2.0f);
  EXPECT_EQ(osc_->sampler->getLoopEnd(), 10.0f);
  oscillator_set_loop(osc_, 0);
  EXPECT_FALSE(osc_->sampler->getLoop());
  oscillator_set_sample(osc_, nullptr);
  EXPECT_FALSE(osc_->sampler->isActive());
  EXPECT_EQ(delete_korvel_oscillator(nullptr), 0);
}

}  // namespace
