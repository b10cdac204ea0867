#include "sampler/src/korvel_filter.h"

#include <cmath>
#include <new>
#include <numbers>

#include "sampler/src/korvel_block.h"
#include "sampler/src/korvel_conv.h"
#include "sampler/src/korvel_sys.h"

namespace {

constexpr float kLowestFcHz = 5.0f;
constexpr float kHighestFcPerRate = 0.45f;
constexpr float kFcToleranceHz = 0.01f;
constexpr float kGlideFrames = static_cast<float>(KORVEL_BUFSIZE);

template <bool kGlide>
void run(korvel_filter_t* f, float* buf, int n) {
  float b02 = f->b02, b1 = f->b1, a1 = f->a1, a2 = f->a2;
  float h1 = f->hist1, h2 = f->hist2;
  // The glide stops where it reaches its coefficients, also when that is inside the span.
  const int gliding = kGlide && f->ramp_count > 0 ? (f->ramp_count < n ? f->ramp_count : n) : 0;
  for (int i = 0; i < n; ++i) {
    const float v = buf[i] - a1 * h1 - a2 * h2;
    buf[i] = b02 * (v + h2) + b1 * h1;
    h2 = h1;
    h1 = v;
    if (i < gliding) {
      b02 += f->b02_incr;
      b1 += f->b1_incr;
      a1 += f->a1_incr;
      a2 += f->a2_incr;
    }
  }
  f->hist1 = h1;
  f->hist2 = h2;
  if (gliding > 0) {
    f->b02 = b02;
    f->b1 = b1;
    f->a1 = a1;
    f->a2 = a2;
    f->ramp_count -= gliding;
  }
}

}  // namespace

extern "C" {

korvel_filter_t* new_korvel_filter(korvel_voice_t* voice) {
  auto* filter = new (std::nothrow) korvel_filter_t{};
  if (!filter) {
    korvel_log(KORVEL_ERR, "NewFilter(): Out of memory");
    return nullptr;
  }
  filter->owner = voice;
  return filter;
}

int delete_korvel_filter(korvel_filter_t* filter) {
  delete filter;
  return 0;
}

void filter_reset(korvel_filter_t* filter) {
  filter->hist1 = 0.0f;
  filter->hist2 = 0.0f;
  filter->last_fc_hz = -1.0f;
  filter->first_time = 1;
}

// Low-pass biquad as in R. Bristow-Johnson, "Cookbook formulae for audio EQ biquad filter coefficients", with
// b0 = b2 and the pass-band gain applied to the numerator.
void filter_preprocess(korvel_filter_t* f, const korvel_lfo2_t* modlfo, const korvel_envelope2_t* modenv,
                       float output_rate) {
  float fc = korvel_ct2hz(f->cutoff_cents + modlfo->value * modlfo->fc_depth_cents +
                          modenv->value * modenv->fc_depth_cents);
  if (fc > kHighestFcPerRate * output_rate) fc = kHighestFcPerRate * output_rate;
  if (fc < kLowestFcHz) fc = kLowestFcHz;
  if (!(std::fabs(fc - f->last_fc_hz) > kFcToleranceHz)) return;

  const float w = 2.0f * std::numbers::pi_v<float> * fc / output_rate;
  const float cosW = std::cos(w);
  const float alpha = std::sin(w) / (2.0f * f->q);
  const float a0Inv = 1.0f / (1.0f + alpha);
  const float b1 = f->gain * (1.0f - cosW) * a0Inv;
  const float b02 = b1 / 2.0f;
  const float a1 = -2.0f * cosW * a0Inv;
  const float a2 = (1.0f - alpha) * a0Inv;
  if (f->first_time) {
    f->b02 = b02;
    f->b1 = b1;
    f->a1 = a1;
    f->a2 = a2;
    f->ramp_count = 0;
    f->first_time = 0;
  } else {
    f->b02_incr = (b02 - f->b02) / kGlideFrames;
    f->b1_incr = (b1 - f->b1) / kGlideFrames;
    f->a1_incr = (a1 - f->a1) / kGlideFrames;
    f->a2_incr = (a2 - f->a2) / kGlideFrames;
    f->ramp_count = KORVEL_BUFSIZE;
  }
  f->last_fc_hz = fc;
}

void filter_process1(korvel_filter_t* filter, float* buf, int n) { run<false>(filter, buf, n); }
void filter_process2(korvel_filter_t* filter, float* buf, int n) { run<true>(filter, buf, n); }

}  // extern "C"
