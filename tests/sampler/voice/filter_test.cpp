#include "sampler/src/voice/korvel_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "sampler/src/sys/korvel_block.h"
#include "sampler/src/sys/korvel_conv.h"

namespace {

struct Biquad {
  double b0, b1, b2, a1, a2;
};

// Low-pass of the audio EQ cookbook with the filter's pass-band gain, from the cut-off in Hz at `rate`.
Biquad cookbook(double fc, double q, double gain, double rate) {
  const double w = 2.0 * std::numbers::pi * fc / rate;
  const double alpha = std::sin(w) / (2.0 * q);
  const double a0 = 1.0 + alpha;
  const double b1 = gain * (1.0 - std::cos(w)) / a0;
  return {b1 / 2.0, b1, b1 / 2.0, -2.0 * std::cos(w) / a0, (1.0 - alpha) / a0};
}

double responseDb(const Biquad& f, double hz, double rate) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / rate);
  const std::complex<double> h = (f.b0 + f.b1 * z1 + f.b2 * z1 * z1) / (1.0 + f.a1 * z1 + f.a2 * z1 * z1);
  return 20.0 * std::log10(std::abs(h));
}

double measureDb(korvel_filter_t* filter, double hz, double rate) {
  std::vector<float> buf(256);
  double in2 = 0.0, out2 = 0.0;
  for (int start = 0; start < 32768; start += 256) {
    std::vector<float> input(256);
    for (int i = 0; i < 256; ++i)
      buf[i] = input[i] = static_cast<float>(0.25 * std::sin(2.0 * std::numbers::pi * hz * (start + i) / rate));
    filter_process1(filter, buf.data(), 256);
    if (start < 8192) continue;
    for (int i = 0; i < 256; ++i) {
      in2 += static_cast<double>(input[i]) * input[i];
      out2 += static_cast<double>(buf[i]) * buf[i];
    }
  }
  return 10.0 * std::log10(out2 / in2);
}

class VoiceFilter : public testing::Test {
 protected:
  void SetUp() override {
    korvel_conversion_config();
    filter_ = new_korvel_filter(nullptr);
    modlfo_ = new_korvel_lfo2(nullptr);
    modenv_ = new_korvel_envelope2(nullptr);
    ASSERT_TRUE(filter_ && modlfo_ && modenv_);
    filter_->q = 2.0f;
    filter_->gain = 1.0f / std::sqrt(2.0f);
    filter_reset(filter_);
  }
  void TearDown() override {
    delete_korvel_filter(filter_);
    delete_korvel_lfo2(modlfo_);
    delete_korvel_envelope2(modenv_);
  }
  korvel_filter_t* filter_ = nullptr;
  korvel_lfo2_t* modlfo_ = nullptr;
  korvel_envelope2_t* modenv_ = nullptr;
};

TEST_F(VoiceFilter, ResponseFollowsTheCookbookAtTheOutputRate) {
  struct Case {
    float rate, cutoffCents;
    double hz;
  };
  const Case cases[] = {{48000, 8000, 500}, {48000, 8000, 1500}, {48000, 8000, 6000},
                        {96000, 8000, 1500}, {44100, 9000, 3000}, {96000, 10000, 12000}};
  for (const Case& c : cases) {
    filter_reset(filter_);
    filter_->hist1 = filter_->hist2 = 0.0f;
    filter_->cutoff_cents = c.cutoffCents;
    filter_preprocess(filter_, modlfo_, modenv_, c.rate);
    const double fc = korvel_ct2hz(c.cutoffCents);
    EXPECT_FLOAT_EQ(filter_->last_fc_hz, static_cast<float>(fc));
    const Biquad expected = cookbook(fc, filter_->q, filter_->gain, c.rate);
    EXPECT_NEAR(measureDb(filter_, c.hz, c.rate), responseDb(expected, c.hz, c.rate), 0.1)
        << c.rate << " Hz rate, " << c.hz << " Hz";
  }
}

TEST_F(VoiceFilter, CutoffIsLimitedBelowTheOutputRate) {
  filter_->cutoff_cents = 13500.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 24000.0f);
  EXPECT_EQ(filter_->last_fc_hz, 0.45f * 24000.0f);
}

TEST_F(VoiceFilter, ModulationMovesTheCutoff) {
  filter_->cutoff_cents = 7000.0f;
  modlfo_->value = 0.5f;
  modlfo_->fc_depth_cents = 1000.0f;
  modenv_->value = 0.25f;
  modenv_->fc_depth_cents = 2000.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  EXPECT_EQ(filter_->last_fc_hz, korvel_ct2hz(8000.0f));
}

TEST_F(VoiceFilter, LaterChangesGlideOver256Frames) {
  filter_->cutoff_cents = 7000.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  EXPECT_EQ(filter_->first_time, 0);
  EXPECT_EQ(filter_->ramp_count, 0);
  const float startA1 = filter_->a1;

  filter_->cutoff_cents = 9000.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  const Biquad target = cookbook(korvel_ct2hz(9000.0f), filter_->q, filter_->gain, 48000.0);
  EXPECT_EQ(filter_->ramp_count, 256);
  EXPECT_EQ(filter_->a1, startA1);
  EXPECT_NEAR(filter_->a1_incr * 256.0, target.a1 - startA1, 1e-6);

  std::vector<float> buf(256, 0.0f);
  filter_process1(filter_, buf.data(), 256);
  EXPECT_EQ(filter_->a1, startA1);
  filter_process2(filter_, buf.data(), 128);
  filter_process2(filter_, buf.data(), 128);
  EXPECT_EQ(filter_->ramp_count, 0);
  EXPECT_NEAR(filter_->a1, target.a1, 1e-5);
  EXPECT_NEAR(filter_->b1, target.b1, 1e-5);
  EXPECT_NEAR(filter_->b02, target.b0, 1e-5);
  EXPECT_NEAR(filter_->a2, target.a2, 1e-5);
  filter_process2(filter_, buf.data(), 128);
  EXPECT_NEAR(filter_->a1, target.a1, 1e-5);

  // A move of 0.01 Hz or less leaves the coefficients alone.
  const float b1 = filter_->b1;
  filter_->last_fc_hz += 0.005f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  EXPECT_EQ(filter_->b1, b1);
  EXPECT_EQ(filter_->ramp_count, 0);
}

TEST_F(VoiceFilter, IsOpenOnlyFullyOpenWithFlatResonanceAndNoModulation) {
  struct Case {
    float cutoffCents;
    int flat;
    float lfoDepthCents, envelopeDepthCents;
    int open;
  };
  const Case cases[] = {{13500, 1, 0, 0, 1},   {14000, 1, 0, 0, 1}, {13499, 1, 0, 0, 0},
                        {13500, 0, 0, 0, 0},   {13500, 1, 100, 0, 0}, {13500, 1, 0, -100, 0}};
  for (const Case& c : cases) {
    filter_reset(filter_);
    filter_->cutoff_cents = c.cutoffCents;
    filter_->flat_resonance = c.flat;
    modlfo_->fc_depth_cents = c.lfoDepthCents;
    modenv_->fc_depth_cents = c.envelopeDepthCents;
    filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
    EXPECT_EQ(filter_->open, c.open) << c.cutoffCents << " cents, flat " << c.flat << ", depths " << c.lfoDepthCents
                                     << " " << c.envelopeDepthCents;
  }
}

TEST_F(VoiceFilter, AnOpenFilterPassesItsInputTimesThePassBandGain) {
  filter_->flat_resonance = 1;
  filter_->cutoff_cents = 13500.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  ASSERT_EQ(filter_->open, 1);
  std::vector<float> buf(256);
  for (int i = 0; i < 256; ++i) buf[i] = static_cast<float>(std::sin(0.3 * i));
  const std::vector<float> input = buf;
  filter_process2(filter_, buf.data(), 256);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(buf[i], input[i] * filter_->gain) << i;
}

TEST_F(VoiceFilter, OpensOnlyOnceItsGlideHasEnded) {
  filter_->flat_resonance = 1;
  filter_->cutoff_cents = 8000.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  filter_->cutoff_cents = 13500.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  EXPECT_EQ(filter_->open, 0);
  std::vector<float> buf(256, 0.0f);
  filter_process2(filter_, buf.data(), 256);
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  EXPECT_EQ(filter_->open, 1);
}

// A filter closing again goes on from the steady state of its last input: a constant input stays at the pass-band
// gain through the switch instead of dropping towards silence (later the coefficient glide moves it a little).
TEST_F(VoiceFilter, ClosingAgainGoesOnWithoutAJump) {
  filter_->flat_resonance = 1;
  filter_->cutoff_cents = 13500.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  ASSERT_EQ(filter_->open, 1);
  std::vector<float> buf(256, 0.5f);
  filter_process2(filter_, buf.data(), 256);
  filter_->cutoff_cents = 9000.0f;
  filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
  ASSERT_EQ(filter_->open, 0);
  std::fill(buf.begin(), buf.end(), 0.5f);
  filter_process2(filter_, buf.data(), 256);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(buf[i], 0.5f * filter_->gain, 1e-3f) << i;
}

// Filters run side by side in lanes give the samples each gives alone: lanes of different cut-offs, some gliding
// for fewer frames than their run or more or all gliding over their whole runs, runs that are not whole groups of
// four frames, runs of different lengths side by side (whose frames after the run stay as they were), and unused
// lanes.
TEST_F(VoiceFilter, LanesGiveTheSamplesOfTheFiltersAlone) {
  const float cutoffs[KORVEL_FILTER_LANES] = {6000.0f, 8000.0f, 9500.0f, 11000.0f,
                                             7000.0f, 5000.0f, 10000.0f, 12000.0f};
  // Glides of their own length per lane, and a glide over every lane's whole run.
  const std::vector<std::array<int, KORVEL_FILTER_LANES>> glide_sets = {{0, 3, 100, 256, 17, 256, 0, 64},
                                                                            {256, 256, 256, 256, 256, 256, 256, 256}};
  // Run lengths per lane: equal ones, and unequal ones as voices started on different frames leave them.
  const std::vector<std::array<int, KORVEL_FILTER_LANES>> runs = {
      {7, 7, 7, 7, 7, 7, 7, 7},
      {64, 64, 64, 64, 64, 64, 64, 64},
      {256, 256, 256, 256, 256, 256, 256, 256},
      {256, 193, 64, 1, 200, 100, 256, 9},
      {5, 250, 130, 131, 130, 129, 3, 250},
      {3, 1, 2, 4, 6, 5, 8, 7}};
  constexpr float kUntouched = 42.0f;
  for (const auto& glides : glide_sets) {
    for (int lanes = 1; lanes <= KORVEL_FILTER_LANES; ++lanes) {
      for (const auto& counts : runs) {
        korvel_filter_t alone[KORVEL_FILTER_LANES], together[KORVEL_FILTER_LANES];
        std::vector<float> expected[KORVEL_FILTER_LANES], actual[KORVEL_FILTER_LANES];
        korvel_filter_t* filters[KORVEL_FILTER_LANES];
        float* bufs[KORVEL_FILTER_LANES];
        for (int l = 0; l < lanes; ++l) {
          const int n = counts[static_cast<size_t>(l)];
          filter_reset(filter_);
          filter_->cutoff_cents = cutoffs[l];
          filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
          filter_->cutoff_cents = cutoffs[l] + 700.0f;
          filter_preprocess(filter_, modlfo_, modenv_, 48000.0f);
          filter_->ramp_count = glides[static_cast<size_t>(l)];
          filter_->hist1 = 0.1f * static_cast<float>(l);
          alone[l] = together[l] = *filter_;
          expected[l].assign(KORVEL_BUFSIZE, kUntouched);
          for (int i = 0; i < n; ++i) expected[l][i] = static_cast<float>(std::sin(0.05 * (l + 1) * i));
          actual[l] = expected[l];
          filter_process2(&alone[l], expected[l].data(), n);
          filters[l] = &together[l];
          bufs[l] = actual[l].data();
        }
        filter_process_lanes(filters, bufs, counts.data(), lanes);
        for (int l = 0; l < lanes; ++l) {
          for (int i = 0; i < KORVEL_BUFSIZE; ++i) {
            ASSERT_EQ(actual[l][i], expected[l][i]) << lanes << " lanes, run " << counts[static_cast<size_t>(l)]
                                                    << ", lane " << l << ", frame " << i;
          }
          EXPECT_EQ(together[l].hist1, alone[l].hist1);
          EXPECT_EQ(together[l].hist2, alone[l].hist2);
          EXPECT_EQ(together[l].ramp_count, alone[l].ramp_count);
          EXPECT_EQ(together[l].a1, alone[l].a1);
          EXPECT_EQ(together[l].b02, alone[l].b02);
        }
      }
    }
  }
}

}  // namespace
