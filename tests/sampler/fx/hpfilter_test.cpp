#include "sampler/src/fx/korvel_hpfilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Gain in dB of a sine at `hz` after the filter has settled, from the RMS of input and output.
double measureGainDb(korvel_hpfilter_t* filter, double hz, double rate) {
  const int settle = 8192, measure = 16384;
  std::vector<float> buf(256);
  double in2 = 0.0, out2 = 0.0;
  for (int start = 0; start < settle + measure; start += 256) {
    for (int i = 0; i < 256; ++i)
      buf[i] = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * hz * (start + i) / rate));
    std::vector<float> input = buf;
    hpfilter_process1(filter, buf.data(), 256);
    if (start < settle) continue;
    for (int i = 0; i < 256; ++i) {
      in2 += static_cast<double>(input[i]) * input[i];
      out2 += static_cast<double>(buf[i]) * buf[i];
    }
  }
  return 10.0 * std::log10(out2 / in2);
}

// A second-order Butterworth high-pass through the bilinear transform: |H|^2 = 1 / (1 + (K / tan(pi f / rate))^4)
// with K = tan(pi fc / rate); then the filter's output gain.
double expectedGainDb(double amount, double hz, double rate) {
  const double k = std::tan(std::numbers::pi * amount * 0.4);
  const double ratio = k / std::tan(std::numbers::pi * hz / rate);
  return -10.0 * std::log10(1.0 + std::pow(ratio, 4)) + 20.0 * std::log10(1.0 + 6.0 * amount);
}

TEST(Highpass, MagnitudeFollowsTheButterworthResponseAtTheOutputRate) {
  struct Case {
    double rate, amount, hz;
  };
  const Case cases[] = {
      {48000, 0.25, 4800}, {48000, 0.25, 1000}, {48000, 0.25, 12000}, {48000, 0.05, 960},
      {44100, 0.25, 4410}, {44100, 0.1, 300},   {96000, 0.25, 9600},  {96000, 0.5, 4000},
  };
  for (const Case& c : cases) {
    korvel_hpfilter_t* filter = hpfilter_create(static_cast<float>(c.rate));
    ASSERT_NE(filter, nullptr);
    hpfilter_set_amount(filter, static_cast<float>(c.amount));
    EXPECT_NEAR(measureGainDb(filter, c.hz, c.rate), expectedGainDb(c.amount, c.hz, c.rate), 0.1)
        << c.rate << " Hz, amount " << c.amount << ", " << c.hz << " Hz";
    EXPECT_FLOAT_EQ(filter->cutoff_hz, static_cast<float>(c.amount * 0.4 * c.rate));
    hpfilter_destroy(filter);
  }
}

TEST(Highpass, AtTheCutoffTheGainIsMinusThreeDecibelsPlusTheOutputGain) {
  korvel_hpfilter_t* filter = hpfilter_create(48000.0f);
  hpfilter_set_amount(filter, 0.25f);
  EXPECT_NEAR(measureGainDb(filter, 4800.0, 48000.0), -3.0103 + 20.0 * std::log10(2.5), 0.1);
  hpfilter_destroy(filter);
}

TEST(Highpass, AmountIsLimited) {
  struct Case {
    float set, used;
  };
  const Case cases[] = {{2.0f, 0.9f}, {0.0f, 0.0016666667f}, {-1.0f, 0.0016666667f}, {NAN, 0.0016666667f}};
  for (const Case& c : cases) {
    korvel_hpfilter_t* limited = hpfilter_create(48000.0f);
    korvel_hpfilter_t* reference = hpfilter_create(48000.0f);
    hpfilter_set_amount(limited, c.set);
    hpfilter_set_amount(reference, c.used);
    std::vector<float> a(256), b;
    for (int i = 0; i < 256; ++i) a[i] = static_cast<float>(std::sin(0.1 * i) + 0.3);
    b = a;
    hpfilter_process1(limited, a.data(), 256);
    hpfilter_process1(reference, b.data(), 256);
    EXPECT_EQ(a, b) << c.set;
    EXPECT_EQ(limited->amount, c.used) << c.set;
    hpfilter_destroy(limited);
    hpfilter_destroy(reference);
  }
}

TEST(Highpass, ControlledAmountComesFromTheFirstControlValue) {
  korvel_hpfilter_t* filter = hpfilter_create(48000.0f);
  EXPECT_EQ(filter->amount, 0.2f);
  std::vector<float> buf(4, 1.0f), control{0.5f, 0.1f, 0.1f, 0.1f};
  hpfilter_process2(filter, buf.data(), control.data(), 4);
  EXPECT_EQ(filter->amount, 0.5f);
  EXPECT_FLOAT_EQ(filter->gain, 4.0f);
  hpfilter_set_amount(nullptr, 0.5f);
  hpfilter_destroy(filter);
  EXPECT_EQ(hpfilter_create(0.0f), nullptr);
}

}  // namespace
