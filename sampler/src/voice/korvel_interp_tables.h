#pragma once
// Interpolation coefficient tables of the oscillator, built at compile time. Rows are chosen by the top 8 bits of
// the phase fraction, x = row / 256:
// - four-point (Catmull-Rom): c0 = -x/2 + x^2 - x^3/2, c1 = 1 - 2.5 x^2 + 1.5 x^3, c2 = x/2 + 2 x^2 - 1.5 x^3,
//   c3 = (x^3 - x^2) / 2, applied to s[i] .. s[i+3];
// - linear: 1 - x, x, applied to s[i], s[i+1];
// - seven-point windowed sinc, 7 rows of 256: for t = i/256 + r - 3.5, sin(pi t) / (pi t) x (1 + cos(2 pi t / 7))
//   / 2, taken as 1 near t = 0 (|t| <= 1e-6); sin is computed in float before dividing. Stored at position
//   255 - i of row r, applied to s[i] .. s[i+6].

namespace korvel_interp {

constexpr int kRows = 256;
constexpr int kSincTaps = 7;
constexpr double kPi = 3.14159265358979323846;

// sin and cos for compile time: reduction to [-pi, pi], then the Taylor series to full double precision.
constexpr double reduce(double x) {
  const double turns = x / (2.0 * kPi);
  const long long whole = static_cast<long long>(turns < 0 ? turns - 0.5 : turns + 0.5);
  return x - 2.0 * kPi * static_cast<double>(whole);
}

constexpr double sine(double x) {
  x = reduce(x);
  double term = x, sum = x;
  for (int k = 1; k < 30; ++k) {
    term *= -x * x / ((2.0 * k) * (2.0 * k + 1.0));
    sum += term;
  }
  return sum;
}

constexpr double cosine(double x) { return sine(x + kPi / 2.0); }

struct FourPointTable {
  float c[kRows][4];
};

struct LinearTable {
  float c[kRows][2];
};

struct SincTable {
  float c[kSincTaps][kRows];
};

constexpr FourPointTable makeFourPoint() {
  FourPointTable t{};
  for (int i = 0; i < kRows; ++i) {
    const double x = i / 256.0, x2 = x * x, x3 = x2 * x;
    t.c[i][0] = static_cast<float>(-0.5 * x + x2 - 0.5 * x3);
    t.c[i][1] = static_cast<float>(1.0 - 2.5 * x2 + 1.5 * x3);
    t.c[i][2] = static_cast<float>(0.5 * x + 2.0 * x2 - 1.5 * x3);
    t.c[i][3] = static_cast<float>(0.5 * (x3 - x2));
  }
  return t;
}

constexpr LinearTable makeLinear() {
  LinearTable t{};
  for (int i = 0; i < kRows; ++i) {
    const double x = i / 256.0;
    t.c[i][0] = static_cast<float>(1.0 - x);
    t.c[i][1] = static_cast<float>(x);
  }
  return t;
}

constexpr SincTable makeSinc() {
  SincTable t{};
  for (int r = 0; r < kSincTaps; ++r) {
    for (int i = 0; i < kRows; ++i) {
      const double x = i / 256.0 + r - 3.5;
      double v = 1.0;
      if (x > 1e-6 || x < -1e-6) {
        const double s = static_cast<float>(sine(kPi * x));
        v = s / (kPi * x) * (1.0 + cosine(2.0 * kPi * x / 7.0)) / 2.0;
      }
      t.c[r][kRows - 1 - i] = static_cast<float>(v);
    }
  }
  return t;
}

inline constexpr FourPointTable kFourPoint = makeFourPoint();
inline constexpr LinearTable kLinear = makeLinear();
inline constexpr SincTable kSinc = makeSinc();

}  // namespace korvel_interp
