#include "sampler/src/fx/korvel_saturation.h"

#include <cmath>
#include <new>

namespace {

constexpr float kInitialAmount = 1.0f;
constexpr float kDrive = 6.666f;

// A negative amount has no square root; it counts as no saturation.
inline float saturate(float x, float amount, float drive) {
  const float a = amount > 0.0f ? amount : 0.0f;
  return (1.0f - 0.66f * std::sqrt(a)) * x * (a * drive * (1.0f - std::fabs(x)) + 1.0f);
}

}  // namespace

extern "C" {

korvel_saturation_t* saturation_create(void) {
  auto* saturation = new (std::nothrow) korvel_saturation_t;
  if (saturation) saturation_reset(saturation);
  return saturation;
}

void saturation_destroy(korvel_saturation_t* saturation) { delete saturation; }

void saturation_reset(korvel_saturation_t* saturation) { *saturation = {kInitialAmount, kDrive, 0.0f}; }

void saturation_set_amount(korvel_saturation_t* saturation, float amount) {
  if (saturation) saturation->amount = amount;
}

void saturation_process1(korvel_saturation_t* saturation, float* buf, int n) {
  if (n < 1) return;
  const float start = saturation->current;
  const float step = (saturation->amount - start) / static_cast<float>(n);
  const float drive = saturation->drive;
  for (int i = 0; i < n; ++i) buf[i] = saturate(buf[i], start + step * static_cast<float>(i + 1), drive);
  saturation->current = saturation->amount;
}

void saturation_process2(korvel_saturation_t* saturation, float* buf, const float* control, int n) {
  const float drive = saturation->amount;
  for (int i = 0; i < n; ++i) buf[i] = saturate(buf[i], control[i], drive);
}

}  // extern "C"
