#include "sampler/src/fx/korvel_hpfilter.h"

#include <cmath>
#include <new>
#include <numbers>

namespace {

constexpr float kInitialAmount = 0.2f;
constexpr float kLowestAmount = 0.0016666667f;
constexpr float kHighestAmount = 0.9f;
constexpr float kCutoffPerAmount = 0.4f;  // of the sample rate
constexpr float kGainPerAmount = 6.0f;

// Second-order Butterworth high-pass by the bilinear transform, k = tan(pi fc / rate).
void updateCoefficients(korvel_hpfilter_t* f) {
  f->k = std::tan(f->cutoff_hz * f->pi_over_rate);
  const float k = f->k;
  const float k2 = k * k;
  const float norm = 1.0f / (1.0f + std::numbers::sqrt2_v<float> * k + k2);
  f->a0 = norm;
  f->a1 = -2.0f * norm;
  f->a2 = norm;
  f->b1 = 2.0f * (k2 - 1.0f) * norm;
  f->b2 = (1.0f - std::numbers::sqrt2_v<float> * k + k2) * norm;
  f->last_cutoff_hz = f->cutoff_hz;
}

}  // namespace

extern "C" {

korvel_hpfilter_t* hpfilter_create(float sample_rate) {
  if (!(sample_rate > 0.0f)) return nullptr;
  auto* filter = new (std::nothrow) korvel_hpfilter_t{};
  if (!filter) return nullptr;
  filter->amount = kInitialAmount;
  filter->rate = sample_rate;
  filter->pi_over_rate = std::numbers::pi_v<float> / sample_rate;
  return filter;
}

void hpfilter_destroy(korvel_hpfilter_t* filter) { delete filter; }

void hpfilter_set_amount(korvel_hpfilter_t* filter, float amount) {
  if (filter) filter->amount = amount;
}

void hpfilter_process1(korvel_hpfilter_t* f, float* buf, int n) {
  if (!(f->amount >= kLowestAmount)) f->amount = kLowestAmount;
  if (f->amount > kHighestAmount) f->amount = kHighestAmount;
  f->gain = 1.0f + kGainPerAmount * f->amount;
  f->cutoff_hz = f->amount * kCutoffPerAmount * f->rate;
  if (f->cutoff_hz != f->last_cutoff_hz) updateCoefficients(f);

  const float a0 = f->a0, a1 = f->a1, a2 = f->a2, b1 = f->b1, b2 = f->b2, gain = f->gain;
  float w1 = f->w1, w2 = f->w2;
  for (int i = 0; i < n; ++i) {
    const float w = buf[i] - b1 * w1 - b2 * w2;
    const float y = a0 * w + a1 * w1 + a2 * w2;
    w2 = w1;
    w1 = w;
    buf[i] = y * gain;
  }
  f->w1 = w1;
  f->w2 = w2;
}

void hpfilter_process2(korvel_hpfilter_t* filter, float* buf, const float* control, int n) {
  if (n > 0) filter->amount = control[0];
  hpfilter_process1(filter, buf, n);
}

}  // extern "C"
