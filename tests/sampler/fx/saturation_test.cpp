#include "sampler/src/fx/korvel_saturation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// y = (1 - 0.66 sqrt(a)) x (a drive (1 - |x|) + 1), in double as the reference.
double reference(double x, double a, double drive) {
  return (1.0 - 0.66 * std::sqrt(a)) * x * (a * drive * (1.0 - std::fabs(x)) + 1.0);
}

std::vector<float> testSignal(int n) {
  std::vector<float> x(n);
  for (int i = 0; i < n; ++i) x[i] = static_cast<float>(std::sin(0.37 * i)) * (i % 3 == 0 ? 1.0f : 0.6f);
  return x;
}

class Saturation : public testing::Test {
 protected:
  void SetUp() override {
    sat_ = saturation_create();
    ASSERT_NE(sat_, nullptr);
  }
  void TearDown() override { saturation_destroy(sat_); }
  korvel_saturation_t* sat_ = nullptr;
};

TEST_F(Saturation, AmountZeroPassesTheSignalUnchanged) {
  saturation_set_amount(sat_, 0.0f);
  std::vector<float> x = testSignal(256), y = x;
  saturation_process1(sat_, y.data(), 256);
  EXPECT_EQ(y, x);
}

TEST_F(Saturation, FirstBlockGlidesToTheAmountThenHoldsIt) {
  const int n = 64;
  std::vector<float> x = testSignal(n), y = x;
  saturation_process1(sat_, y.data(), n);
  for (int i = 0; i < n; ++i) EXPECT_NEAR(y[i], reference(x[i], (i + 1.0) / n, 6.666), 1e-5) << "frame " << i;
  EXPECT_EQ(sat_->current, 1.0f);

  std::vector<float> full{1.0f, -1.0f, 0.5f};
  saturation_process1(sat_, full.data(), 3);
  EXPECT_NEAR(full[0], 0.34f, 1e-6);
  EXPECT_NEAR(full[1], -0.34f, 1e-6);
  EXPECT_NEAR(full[2], reference(0.5, 1.0, 6.666), 1e-6);
}

TEST_F(Saturation, ControlledAmountUsesTheSetAmountAsDrive) {
  saturation_set_amount(sat_, 3.0f);
  std::vector<float> x = testSignal(32), y = x, control(32);
  for (int i = 0; i < 32; ++i) control[i] = static_cast<float>(i) / 31.0f;
  saturation_process2(sat_, y.data(), control.data(), 32);
  for (int i = 0; i < 32; ++i) EXPECT_NEAR(y[i], reference(x[i], control[i], 3.0), 1e-5) << "frame " << i;
}

TEST_F(Saturation, NegativeAmountIsNoSaturation) {
  saturation_set_amount(sat_, -2.0f);
  sat_->current = -2.0f;
  std::vector<float> x = testSignal(16), y = x;
  saturation_process1(sat_, y.data(), 16);
  EXPECT_EQ(y, x);
  saturation_set_amount(nullptr, 1.0f);
}

TEST_F(Saturation, ResetRestoresTheCreatedState) {
  saturation_set_amount(sat_, 0.3f);
  sat_->current = 0.3f;
  saturation_reset(sat_);
  EXPECT_EQ(sat_->amount, 1.0f);
  EXPECT_EQ(sat_->drive, 6.666f);
  EXPECT_EQ(sat_->current, 0.0f);
}

}  // namespace
