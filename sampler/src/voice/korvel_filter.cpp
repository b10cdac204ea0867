#include "sampler/src/voice/korvel_filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>

#include "sampler/src/fx/korvel_lanes.h"
#include "sampler/src/sys/korvel_block.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/voice/korvel_voice_dsp.h"

namespace {

constexpr float kLowestFcHz = 5.0f;
constexpr float kHighestFcPerRate = 0.45f;
constexpr float kFcToleranceHz = 0.01f;
constexpr float kGlideFrames = static_cast<float>(KORVEL_BUFSIZE);

struct Coefficients {
  float b02, b1, a1, a2;
};

// n frames of the direct form II biquad. The feedback of the last frame is subtracted last, so that the
// chain from one frame to the next is one multiply and one subtraction.
template <bool kGlide>
void run(korvel_filter_t* f, Coefficients& coefficients, float* buf, int n) {
  Coefficients c = coefficients;
  const Coefficients step{f->b02_incr, f->b1_incr, f->a1_incr, f->a2_incr};
  float h1 = f->hist1, h2 = f->hist2;
  for (int i = 0; i < n; ++i) {
    const float v = (buf[i] - c.a2 * h2) - c.a1 * h1;
    buf[i] = c.b02 * (v + h2) + c.b1 * h1;
    h2 = h1;
    h1 = v;
    if constexpr (kGlide) {
      c.b02 += step.b02;
      c.b1 += step.b1;
      c.a1 += step.a1;
      c.a2 += step.a2;
    }
  }
  f->hist1 = h1;
  f->hist2 = h2;
  coefficients = c;
}

template <bool kGlide>
void process(korvel_filter_t* f, float* buf, int n) {
  Coefficients c{f->b02, f->b1, f->a1, f->a2};
  // The glide stops where it reaches its coefficients, also when that is inside the span.
  const int gliding = kGlide && f->ramp_count > 0 ? (f->ramp_count < n ? f->ramp_count : n) : 0;
  run<true>(f, c, buf, gliding);
  run<false>(f, c, buf + gliding, n - gliding);
  if (gliding > 0) {
    f->b02 = c.b02;
    f->b1 = c.b1;
    f->a1 = c.a1;
    f->a2 = c.a2;
    f->ramp_count -= gliding;
  }
}

// The lanes of one vector, a voice in each.
constexpr int kLanes = KORVEL_FILTER_LANES;
using korvel_lanes::LaneInts;
using korvel_lanes::Lanes;
using korvel_lanes::transpose;
static_assert(kLanes == korvel_lanes::kLanes, "a filter lane is a vector lane");

struct LaneCoefficients {
  Lanes b02, b1, a1, a2;
};

// Lane l's value of a where mask is set, else b's.
Lanes select(LaneInts mask, Lanes a, Lanes b) {
  return reinterpret_cast<Lanes>((reinterpret_cast<LaneInts>(a) & mask) | (reinterpret_cast<LaneInts>(b) & ~mask));
}

// The frames of the lanes' buffers through the biquad of run(); with kGlide, lane l's coefficients move on by its
// step after each of its first glide[l] frames. With kShort, lanes whose run ends before the longest keep the
// history of their own last frame (count[l]) while the others go on.
template <bool kGlide, bool kShort, bool kWholeGlide>
struct LaneRun {
  LaneCoefficients c;
  LaneCoefficients step;
  LaneInts glide;
  LaneInts count;
  Lanes h1, h2;

  // The coefficients move on by their step in the lanes of mask.
  void glideStep(LaneInts mask) {
    c.b02 += reinterpret_cast<Lanes>(reinterpret_cast<LaneInts>(step.b02) & mask);
    c.b1 += reinterpret_cast<Lanes>(reinterpret_cast<LaneInts>(step.b1) & mask);
    c.a1 += reinterpret_cast<Lanes>(reinterpret_cast<LaneInts>(step.a1) & mask);
    c.a2 += reinterpret_cast<Lanes>(reinterpret_cast<LaneInts>(step.a2) & mask);
  }

  Lanes frame(Lanes x, int i) {
    const Lanes v = (x - c.a2 * h2) - c.a1 * h1;
    const Lanes y = c.b02 * (v + h2) + c.b1 * h1;
    LaneInts running{};
    if constexpr (kShort) {
      running = LaneInts{} + i < count;
      h2 = select(running, h1, h2);
      h1 = select(running, v, h1);
    } else {
      h2 = h1;
      h1 = v;
    }
    // A glide over every lane's whole run moves the coefficients of the lanes still running (all of them, when
    // the runs are of one length).
    if constexpr (kGlide && kWholeGlide && kShort) {
      glideStep(running);
    } else if constexpr (kGlide && kWholeGlide) {
      c.b02 += step.b02;
      c.b1 += step.b1;
      c.a1 += step.a1;
      c.a2 += step.a2;
    } else if constexpr (kGlide) {
      glideStep(LaneInts{} + i < glide);
    }
    return y;
  }

  void over(float* const* bufs, int n) {
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
      Lanes x[kLanes];
      for (int l = 0; l < kLanes; ++l) std::memcpy(&x[l], bufs[l] + i, sizeof(Lanes));
      transpose(x[0], x[1], x[2], x[3]);
      for (int k = 0; k < kLanes; ++k) x[k] = frame(x[k], i + k);
      transpose(x[0], x[1], x[2], x[3]);
      for (int l = 0; l < kLanes; ++l) std::memcpy(bufs[l] + i, &x[l], sizeof(Lanes));
    }
    for (; i < n; ++i) {
      Lanes x;
      for (int l = 0; l < kLanes; ++l) x[l] = bufs[l][i];
      const Lanes y = frame(x, i);
      for (int l = 0; l < kLanes; ++l) bufs[l][i] = y[l];
    }
  }
};

template <bool kGlide, bool kShort, bool kWholeGlide>
void runLanes(LaneCoefficients& c, const LaneCoefficients& step, LaneInts glide, LaneInts count, Lanes& h1,
              Lanes& h2, float* const* bufs, int n) {
  LaneRun<kGlide, kShort, kWholeGlide> run{c, step, glide, count, h1, h2};
  run.over(bufs, n);
  c = run.c;
  h1 = run.h1;
  h2 = run.h2;
}

// Low-pass biquad as in R. Bristow-Johnson, "Cookbook formulae for audio EQ biquad filter coefficients", with
// b0 = b2 and the pass-band gain applied to the numerator.
void set_coefficients(korvel_filter_t* f, const korvel_lfo2_t* modlfo, const korvel_envelope2_t* modenv,
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

}  // namespace

extern "C" {

void korvel_filter_setup(korvel_filter_t* filter, korvel_voice_t* voice) { filter->owner = voice; }

korvel_filter_t* new_korvel_filter(korvel_voice_t* voice) {
  auto* filter = new (std::nothrow) korvel_filter_t{};
  if (!filter) {
    korvel_log(KORVEL_ERR, "NewFilter(): Out of memory");
    return nullptr;
  }
  korvel_filter_setup(filter, voice);
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
  filter->open = 0;
  filter->last_input = 0.0f;
}

void filter_preprocess(korvel_filter_t* f, const korvel_lfo2_t* modlfo, const korvel_envelope2_t* modenv,
                       float output_rate) {
  const bool wasOpen = f->open != 0;
  set_coefficients(f, modlfo, modenv, output_rate);
  const bool unmodulated = modlfo->fc_depth_cents == 0.0f && modenv->fc_depth_cents == 0.0f;
  f->open = f->flat_resonance && unmodulated && f->cutoff_cents >= static_cast<float>(KORVEL_FILTER_OPEN_CENTS) &&
            f->ramp_count == 0;
  if (wasOpen && !f->open) {
    // The steady state of a constant input: the filter goes on from its last input without a jump.
    const float history = f->last_input / (1.0f + f->a1 + f->a2);
    f->hist1 = history;
    f->hist2 = history;
  }
}

void filter_process1(korvel_filter_t* filter, float* buf, int n) { process<false>(filter, buf, n); }

void filter_process_lanes(korvel_filter_t* const* filters, float* const* bufs, const int* counts, int lanes) {
  int n = 0;
  for (int l = 0; l < lanes; ++l) n = std::max(n, counts[l]);
  // A lane whose run is shorter than the longest (or that has no voice) works on a copy padded with zeros, so that
  // the frames after its run stay untouched.
  korvel_filter_t idle{};
  float padded[kLanes][KORVEL_BUFSIZE];
  korvel_filter_t* f[kLanes];
  float* b[kLanes];
  LaneInts count{};
  bool short_lanes = false;
  for (int l = 0; l < kLanes; ++l) {
    f[l] = l < lanes ? filters[l] : &idle;
    count[l] = l < lanes ? counts[l] : 0;
    b[l] = l < lanes ? bufs[l] : padded[l];
    if (count[l] < n) {
      short_lanes = true;
      std::copy_n(b[l], count[l], padded[l]);
      std::fill(padded[l] + count[l], padded[l] + n, 0.0f);
      b[l] = padded[l];
    }
  }
  LaneCoefficients c{}, step{};
  LaneInts glide{};
  Lanes h1{}, h2{};
  bool gliding = false;
  bool whole_glide = true;
  for (int l = 0; l < kLanes; ++l) {
    c.b02[l] = f[l]->b02;
    c.b1[l] = f[l]->b1;
    c.a1[l] = f[l]->a1;
    c.a2[l] = f[l]->a2;
    step.b02[l] = f[l]->b02_incr;
    step.b1[l] = f[l]->b1_incr;
    step.a1[l] = f[l]->a1_incr;
    step.a2[l] = f[l]->a2_incr;
    glide[l] = f[l]->ramp_count > 0 ? std::min(f[l]->ramp_count, static_cast<int>(count[l])) : 0;
    gliding = gliding || glide[l] > 0;
    whole_glide = whole_glide && glide[l] == count[l];
    h1[l] = f[l]->hist1;
    h2[l] = f[l]->hist2;
  }
  if (gliding && whole_glide && short_lanes) {
    runLanes<true, true, true>(c, step, glide, count, h1, h2, b, n);
  } else if (gliding && whole_glide) {
    runLanes<true, false, true>(c, step, glide, count, h1, h2, b, n);
  } else if (gliding && short_lanes) {
    runLanes<true, true, false>(c, step, glide, count, h1, h2, b, n);
  } else if (gliding) {
    runLanes<true, false, false>(c, step, glide, count, h1, h2, b, n);
  } else if (short_lanes) {
    runLanes<false, true, false>(c, step, glide, count, h1, h2, b, n);
  } else {
    runLanes<false, false, false>(c, step, glide, count, h1, h2, b, n);
  }
  for (int l = 0; l < lanes; ++l) {
    if (b[l] != bufs[l]) std::copy_n(b[l], count[l], bufs[l]);
    f[l]->hist1 = h1[l];
    f[l]->hist2 = h2[l];
    if (glide[l] > 0) {
      f[l]->b02 = c.b02[l];
      f[l]->b1 = c.b1[l];
      f[l]->a1 = c.a1[l];
      f[l]->a2 = c.a2[l];
      f[l]->ramp_count -= glide[l];
    }
  }
}

void filter_process2(korvel_filter_t* filter, float* buf, int n) {
  if (filter->open) {
    if (n > 0) filter->last_input = buf[n - 1];
    korvel_dsp::scale(buf, filter->gain, n);
    return;
  }
  process<true>(filter, buf, n);
}

}  // extern "C"
