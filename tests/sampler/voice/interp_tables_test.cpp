#include "sampler/src/voice/korvel_interp_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using korvel_interp::kFourPoint;
using korvel_interp::kLinear;
using korvel_interp::kSinc;

TEST(InterpolationTables, FourPointRowsAreCatmullRom) {
  for (int i = 0; i < 256; ++i) {
    const double x = i / 256.0;
    EXPECT_FLOAT_EQ(kFourPoint.c[i][0], -x / 2 + x * x - x * x * x / 2) << i;
    EXPECT_FLOAT_EQ(kFourPoint.c[i][1], 1 - 2.5 * x * x + 1.5 * x * x * x) << i;
    EXPECT_FLOAT_EQ(kFourPoint.c[i][2], x / 2 + 2 * x * x - 1.5 * x * x * x) << i;
    EXPECT_FLOAT_EQ(kFourPoint.c[i][3], (x * x * x - x * x) / 2) << i;
    EXPECT_NEAR(kFourPoint.c[i][0] + kFourPoint.c[i][1] + kFourPoint.c[i][2] + kFourPoint.c[i][3], 1.0, 1e-6) << i;
  }
  EXPECT_EQ(kFourPoint.c[0][1], 1.0f);
  EXPECT_EQ(kFourPoint.c[0][0], 0.0f);
}

TEST(InterpolationTables, LinearRows) {
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(kLinear.c[i][0], static_cast<float>(1.0 - i / 256.0)) << i;
    EXPECT_EQ(kLinear.c[i][1], static_cast<float>(i / 256.0)) << i;
  }
}

TEST(InterpolationTables, SevenPointRowsAreWindowedSincStoredBackwards) {
  for (int r = 0; r < 7; ++r) {
    for (int i = 0; i < 256; ++i) {
      const double t = i / 256.0 + r - 3.5;
      double expected = 1.0;
      if (std::fabs(t) > 1e-6) {
        const double s = static_cast<float>(std::sin(std::numbers::pi * t));
        expected = s / (std::numbers::pi * t) * (1.0 + std::cos(2.0 * std::numbers::pi * t / 7.0)) / 2.0;
      }
      EXPECT_NEAR(kSinc.c[r][255 - i], expected, 1e-7) << "row " << r << " index " << 255 - i;
    }
  }
  // t = 0 falls on row 3, i = 128.
  EXPECT_EQ(kSinc.c[3][127], 1.0f);
}

}  // namespace
