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

// The filters side by side: a voice in each lane of a vector, two vectors whose recursions run interleaved, so
// that one's waits on its previous frame are filled with the other's work.
using korvel_lanes::Lanes;
using korvel_lanes::transpose;
constexpr int kVectorLanes = korvel_lanes::kLanes;
constexpr int kGroups = 2;
static_assert(KORVEL_FILTER_LANES == kGroups * kVectorLanes, "the filter lanes fill two vectors");

struct LaneCoefficients {
  Lanes b02, b1, a1, a2;
};

// What the filters of one vector carry from one frame to the next; with kGlide every lane's coefficients move on
// by its step after each frame (a lane that does not glide has a step of zero), as run() moves them.
struct GroupRun {
  LaneCoefficients c;
  LaneCoefficients step;
  Lanes h1, h2;

  template <bool kGlide>
  Lanes frame(Lanes x) {
    const Lanes v = (x - c.a2 * h2) - c.a1 * h1;
    const Lanes y = c.b02 * (v + h2) + c.b1 * h1;
    h2 = h1;
    h1 = v;
    if constexpr (kGlide) {
      c.b02 += step.b02;
      c.b1 += step.b1;
      c.a1 += step.a1;
      c.a2 += step.a2;
    }
    return y;
  }
};

// Frame i of every lane, vector by vector.
struct Column {
  Lanes group[kGroups];
};

// The frames [from, to) of the columns through the biquad of run(), in the first kUsed vectors.
template <int kUsed, bool kGlide>
void runColumns(GroupRun* groups, Column* columns, int from, int to) {
  GroupRun first = groups[0];
  GroupRun second = groups[kUsed - 1];
  for (int i = from; i < to; ++i) {
    columns[i].group[0] = first.frame<kGlide>(columns[i].group[0]);
    if constexpr (kUsed > 1) columns[i].group[1] = second.frame<kGlide>(columns[i].group[1]);
  }
  groups[0] = first;
  if constexpr (kUsed > 1) groups[1] = second;
}

template <int kUsed>
void runColumns(GroupRun* groups, Column* columns, int from, int to, bool glide) {
  if (glide) {
    runColumns<kUsed, true>(groups, columns, from, to);
  } else {
    runColumns<kUsed, false>(groups, columns, from, to);
  }
}

// Vector g of columns [0, n) gets frame i of its four lanes' rows, four frames at a time turned from rows into
// columns.
void gather(float* const* rows, int n, int g, Column* columns) {
  int i = 0;
  for (; i + kVectorLanes <= n; i += kVectorLanes) {
    Lanes a, b, c, d;
    std::memcpy(&a, rows[0] + i, sizeof(Lanes));
    std::memcpy(&b, rows[1] + i, sizeof(Lanes));
    std::memcpy(&c, rows[2] + i, sizeof(Lanes));
    std::memcpy(&d, rows[3] + i, sizeof(Lanes));
    transpose(a, b, c, d);
    columns[i].group[g] = a;
    columns[i + 1].group[g] = b;
    columns[i + 2].group[g] = c;
    columns[i + 3].group[g] = d;
  }
  for (; i < n; ++i) {
    for (int l = 0; l < kVectorLanes; ++l) columns[i].group[g][l] = rows[l][i];
  }
}

// Vector g of columns [0, n) back into its lanes' rows.
void scatter(const Column* columns, float* const* rows, int n, int g) {
  int i = 0;
  for (; i + kVectorLanes <= n; i += kVectorLanes) {
    Lanes a = columns[i].group[g], b = columns[i + 1].group[g], c = columns[i + 2].group[g],
          d = columns[i + 3].group[g];
    transpose(a, b, c, d);
    std::memcpy(rows[0] + i, &a, sizeof(Lanes));
    std::memcpy(rows[1] + i, &b, sizeof(Lanes));
    std::memcpy(rows[2] + i, &c, sizeof(Lanes));
    std::memcpy(rows[3] + i, &d, sizeof(Lanes));
  }
  for (; i < n; ++i) {
    for (int l = 0; l < kVectorLanes; ++l) rows[l][i] = columns[i].group[g][l];
  }
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
  korvel_filter_t idle{};
  korvel_filter_t* f[KORVEL_FILTER_LANES];
  int count[KORVEL_FILTER_LANES];
  int glide[KORVEL_FILTER_LANES];
  int n = 0;
  GroupRun groups[kGroups]{};
  for (int l = 0; l < KORVEL_FILTER_LANES; ++l) {
    const bool used = l < lanes;
    f[l] = used ? filters[l] : &idle;
    count[l] = used ? counts[l] : 0;
    n = std::max(n, count[l]);
    glide[l] = f[l]->ramp_count > 0 ? std::min(f[l]->ramp_count, count[l]) : 0;
    GroupRun& g = groups[l / kVectorLanes];
    const int k = l % kVectorLanes;
    g.c.b02[k] = f[l]->b02;
    g.c.b1[k] = f[l]->b1;
    g.c.a1[k] = f[l]->a1;
    g.c.a2[k] = f[l]->a2;
    const bool gliding = glide[l] > 0;
    g.step.b02[k] = gliding ? f[l]->b02_incr : 0.0f;
    g.step.b1[k] = gliding ? f[l]->b1_incr : 0.0f;
    g.step.a1[k] = gliding ? f[l]->a1_incr : 0.0f;
    g.step.a2[k] = gliding ? f[l]->a2_incr : 0.0f;
    g.h1[k] = f[l]->hist1;
    g.h2[k] = f[l]->hist2;
  }
  // A lane whose run is shorter than the longest (or that has no voice) works on a copy padded with zeros, so that
  // the frames after its run stay untouched.
  const int used = lanes > kVectorLanes ? kGroups : 1;
  float padded[KORVEL_FILTER_LANES][KORVEL_BUFSIZE];
  float* rows[KORVEL_FILTER_LANES];
  for (int l = 0; l < used * kVectorLanes; ++l) {
    rows[l] = l < lanes ? bufs[l] : padded[l];
    if (count[l] < n) {
      std::copy_n(rows[l], count[l], padded[l]);
      std::fill(padded[l] + count[l], padded[l] + n, 0.0f);
      rows[l] = padded[l];
    }
  }
  Column columns[KORVEL_BUFSIZE];
  for (int g = 0; g < used; ++g) gather(rows + g * kVectorLanes, n, g, columns);
  // The lanes run without masks from one frame where a lane's run or glide ends to the next: there a lane's glide
  // stops (its step becomes zero) and a lane's run leaves its history and coefficients to its filter.
  int ends[2 * KORVEL_FILTER_LANES];
  int nends = 0;
  for (int l = 0; l < lanes; ++l) {
    ends[nends++] = count[l];
    if (glide[l] > 0) ends[nends++] = glide[l];
  }
  std::sort(ends, ends + nends);
  nends = static_cast<int>(std::unique(ends, ends + nends) - ends);
  int at = 0;
  for (int e = 0; e < nends; ++e) {
    const int end = ends[e];
    bool gliding = false;
    for (int l = 0; l < lanes; ++l) gliding = gliding || glide[l] > at;
    if (used > 1) {
      runColumns<kGroups>(groups, columns, at, end, gliding);
    } else {
      runColumns<1>(groups, columns, at, end, gliding);
    }
    at = end;
    for (int l = 0; l < lanes; ++l) {
      GroupRun& g = groups[l / kVectorLanes];
      const int k = l % kVectorLanes;
      if (glide[l] == end) {
        g.step.b02[k] = 0.0f;
        g.step.b1[k] = 0.0f;
        g.step.a1[k] = 0.0f;
        g.step.a2[k] = 0.0f;
      }
      if (count[l] != end) continue;
      f[l]->hist1 = g.h1[k];
      f[l]->hist2 = g.h2[k];
      if (glide[l] > 0) {
        f[l]->b02 = g.c.b02[k];
        f[l]->b1 = g.c.b1[k];
        f[l]->a1 = g.c.a1[k];
        f[l]->a2 = g.c.a2[k];
        f[l]->ramp_count -= glide[l];
      }
    }
  }
  for (int g = 0; g < used; ++g) scatter(columns, rows + g * kVectorLanes, n, g);
  for (int l = 0; l < lanes; ++l) {
    if (rows[l] != bufs[l]) std::copy_n(rows[l], count[l], bufs[l]);
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
