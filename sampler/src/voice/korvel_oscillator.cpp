#include "sampler/src/voice/korvel_oscillator.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <type_traits>

#include "sampler/src/fx/korvel_lanes.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/voice/korvel_interp_tables.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/sys/korvel_sys.h"

namespace {

constexpr float kPointScale = 1.0f / 32768.0f;
constexpr double kFractionUnits = 4294967296.0;
// Far beyond any musical step; keeps the 32.32 phase from overflowing within a block.
constexpr float kMaxIncrement = 65535.0f;

// The unsupported paths say so once, not on every block of the audio thread.
std::atomic<bool> warnedNearestStep{false};
std::atomic<bool> warnedLinear{false};
std::atomic<bool> warnedSevenPoint{false};

void warnOnce(std::atomic<bool>& warned, const char* text) {
  if (!warned.exchange(true)) std::printf("%s\n", text);
}

// Clamped reads for the frames near the sample's ends; direct reads when the whole span stays inside.
struct ClampedPoints {
  const short* data;
  int last;
  float operator[](int i) const { return data[i < 0 ? 0 : (i > last ? last : i)]; }
};

struct DirectPoints {
  const short* data;
  int last;
  float operator[](int i) const { return data[i]; }
};

struct Nearest {
  static constexpr int kTaps = 1;
  template <typename Points>
  static float value(const Points& s, int i, unsigned int) { return s[i] * kPointScale; }
};

struct Linear {
  static constexpr int kTaps = 2;
  template <typename Points>
  static float value(const Points& s, int i, unsigned int fract) {
    const float* c = korvel_interp::kLinear.c[fract >> 24];
    return (c[0] * s[i] + c[1] * s[i + 1]) * kPointScale;
  }
};

struct FourPoint {
  static constexpr int kTaps = 4;
  template <typename Points>
  static float value(const Points& s, int i, unsigned int fract) {
    const float* c = korvel_interp::kFourPoint.c[fract >> 24];
    return (c[0] * s[i] + c[1] * s[i + 1] + c[2] * s[i + 2] + c[3] * s[i + 3]) * kPointScale;
  }
};

struct SevenPoint {
  static constexpr int kTaps = korvel_interp::kSincTaps;
  template <typename Points>
  static float value(const Points& s, int i, unsigned int fract) {
    const unsigned int row = fract >> 24;
    float sum = 0.0f;
    for (int k = 0; k < korvel_interp::kSincTaps; ++k) sum += korvel_interp::kSinc.c[k][row] * s[i + k];
    return sum * kPointScale;
  }
};

// The gain of frame i of a ramp that starts at a: each frame's gain is taken from the start, not from the frame
// before, so that no frame waits on the rounding of the last.
inline float rampGain(float a, float ampIncr, int i) { return a + static_cast<float>(i) * ampIncr; }

// Four frames of four-point interpolation at once: each frame's four points and coefficient row are loaded as
// they lie, multiplied, and the products transposed so that one vector sum gives the four frames, term by term in
// the order of FourPoint::value; the gains of the four frames as rampGain gives them. Returns the frames done.
int fourPointFrames(korvel_oscillator_t* osc, const short* data, float* buf, int n, float a, float ampIncr,
                    int first, unsigned int incrFract, int incrInt) {
  using korvel_lanes::LaneInts;
  using korvel_lanes::Lanes;
  using Points = short __attribute__((vector_size(2 * korvel_lanes::kLanes * sizeof(short))));
  using Halves = long long __attribute__((vector_size(2 * sizeof(long long))));
  static_assert(sizeof(Points) == sizeof(Halves) && sizeof(long long) == korvel_lanes::kLanes * sizeof(short));
  unsigned int fract = osc->phase_fract;
  int index = osc->phase_int;
  // The frame's coefficient row times its four points; the phase moves on by one frame. Each point goes into both
  // halves of a 32-bit lane, whose arithmetic shift then gives it sign-extended: the vector unit converts whole
  // lanes at once where it has no conversion from 16 bits.
  const auto term = [&]() {
    Lanes row;
    long long bits;
    std::memcpy(&row, korvel_interp::kFourPoint.c[fract >> 24], sizeof(Lanes));
    std::memcpy(&bits, data + index, sizeof(bits));
    const Points points = reinterpret_cast<Points>(Halves{bits, 0});
    const unsigned int next = fract + incrFract;
    index += incrInt + (next < fract ? 1 : 0);
    fract = next;
    const Points doubled = __builtin_shufflevector(points, points, 0, 8, 1, 9, 2, 10, 3, 11);
    return row * __builtin_convertvector(reinterpret_cast<LaneInts>(doubled) >> 16, Lanes);
  };
  // Lane f holds the frame's number on the ramp, first + i + f (a whole number, exact as a float).
  Lanes frames = static_cast<float>(first) + Lanes{0.0f, 1.0f, 2.0f, 3.0f};
  int i = 0;
  for (; i + korvel_lanes::kLanes <= n; i += korvel_lanes::kLanes) {
    Lanes t0 = term();
    Lanes t1 = term();
    Lanes t2 = term();
    Lanes t3 = term();
    korvel_lanes::transpose(t0, t1, t2, t3);
    const Lanes value = (((t0 + t1) + t2) + t3) * kPointScale;
    const Lanes gains = a + frames * ampIncr;
    frames += static_cast<float>(korvel_lanes::kLanes);
    const Lanes out = gains * value;
    std::memcpy(buf + i, &out, sizeof(Lanes));
  }
  osc->phase_fract = fract;
  osc->phase_int = index;
  return i;
}

template <typename Kernel, typename Points>
void renderSpan(korvel_oscillator_t* osc, const Points& points, float* buf, int n, float a, float ampIncr,
                int first, unsigned int incrFract, int incrInt) {
  int i = 0;
  if constexpr (std::is_same_v<Kernel, FourPoint> && std::is_same_v<Points, DirectPoints>) {
    i = fourPointFrames(osc, points.data, buf, n, a, ampIncr, first, incrFract, incrInt);
  }
  unsigned int fract = osc->phase_fract;
  int index = osc->phase_int;
  for (; i < n; ++i) {
    buf[i] = rampGain(a, ampIncr, first + i) * Kernel::value(points, index, fract);
    const unsigned int next = fract + incrFract;
    index += incrInt + (next < fract ? 1 : 0);
    fract = next;
  }
  osc->phase_fract = fract;
  osc->phase_int = index;
}

template <typename Kernel, bool kUnitStep>
void render(korvel_oscillator_t* osc, float* buf, int n, float a, float ampIncr, int first) {
  const korvel_sample_t* sample = osc->sample;
  if (!sample || !sample->data) {
    std::fill_n(buf, n, 0.0f);
    return;
  }
  const unsigned int incrFract = kUnitStep ? 0u : osc->incr_fract;
  const int incrInt = kUnitStep ? 1 : static_cast<int>(osc->incr_int);
  const int last = static_cast<int>(sample->pend);
  // The highest index the span reads: that of its last frame's phase, plus the kernel's taps after it.
  const long long position = (static_cast<long long>(osc->phase_int) << 32) | osc->phase_fract;
  const long long step = (static_cast<long long>(incrInt) << 32) | incrFract;
  const long long highest = ((position + step * (n > 0 ? n - 1 : 0)) >> 32) + Kernel::kTaps - 1;
  if (osc->phase_int >= 0 && highest <= last)
    renderSpan<Kernel>(osc, DirectPoints{sample->data, last}, buf, n, a, ampIncr, first, incrFract, incrInt);
  else
    renderSpan<Kernel>(osc, ClampedPoints{sample->data, last}, buf, n, a, ampIncr, first, incrFract, incrInt);
}

}  // namespace

extern "C" {

void korvel_oscillator_setup(korvel_oscillator_t* osc, korvel_voice_t* voice, Sampler16* sampler) {
  osc->owner = voice;
  osc->sampler = sampler;
}

korvel_oscillator_t* new_korvel_oscillator(korvel_voice_t* voice) {
  auto* osc = new (std::nothrow) korvel_oscillator_t{};
  Sampler16* sampler = new (std::nothrow) Sampler16;
  if (!osc || !sampler) {
    delete osc;
    delete sampler;
    korvel_log(KORVEL_ERR, "NewOscillator(): Out of memory");
    return nullptr;
  }
  korvel_oscillator_setup(osc, voice, sampler);
  return osc;
}

int delete_korvel_oscillator(korvel_oscillator_t* osc) {
  if (osc) delete osc->sampler;
  delete osc;
  return 0;
}

void oscillator_set_sample(korvel_oscillator_t* osc, korvel_sample_t* sample) {
  osc->sample = sample;
  if (!sample) {
    osc->sampler->setWave(nullptr, 0, 0.0f);
    osc->sampler->setActive(false);
    return;
  }
  if (!sample->data) return;
  const long length = static_cast<long>(sample->pend) - static_cast<long>(sample->pstart);
  osc->sampler->setWave(sample->data + sample->pstart, length > 0 ? static_cast<int>(length) : 0,
                        static_cast<float>(sample->rate));
  osc->sampler->setActive(true);
}

void oscillator_set_loop(korvel_oscillator_t* osc, int sample_modes) {
  const korvel_sample_t* sample = osc->sample;
  if (sample_modes == 0 || !sample) {
    osc->sampler->setLoopPoints(0, 0, false);
    return;
  }
  const int start = static_cast<int>(sample->pstart);
  osc->sampler->setLoopPoints(static_cast<int>(sample->lstart) - start, static_cast<int>(sample->lend) - start,
                              sample->lend > sample->lstart);
}

void oscillator_preprocess(korvel_oscillator_t* osc, const korvel_lfo1_t* viblfo, const korvel_lfo2_t* modlfo,
                           const korvel_envelope2_t* modenv) {
  const float cents = osc->pitch_cents + modlfo->value * modlfo->pitch_depth_cents +
                      viblfo->value * viblfo->pitch_depth_cents + modenv->value * modenv->pitch_depth_cents;
  float increment = korvel_act2hz(cents) / osc->root_freq_hz;
  if (!(increment >= 0.0f)) increment = 0.0f;
  if (increment > kMaxIncrement) increment = kMaxIncrement;
  osc->phase_incr = increment;
  osc->sampler->setSamplingFactor(increment);
  osc->incr_int = static_cast<unsigned int>(increment);
  osc->incr_fract = static_cast<unsigned int>((static_cast<double>(increment) - osc->incr_int) * kFractionUnits);
  if (osc->incr_int == 0 && osc->incr_fract == 0) osc->incr_fract = 1;
}

void oscillator_process0(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first) {
  warnOnce(warnedNearestStep, "WARNING: NOT SUPPORTED.");
  render<Nearest, true>(osc, buf, n, amp, amp_incr, first);
}

void oscillator_process1(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first) {
  render<Nearest, false>(osc, buf, n, amp, amp_incr, first);
}

void oscillator_process2(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first) {
  warnOnce(warnedLinear, "WARNING: NOT SUPPORTED");
  render<Linear, false>(osc, buf, n, amp, amp_incr, first);
}

void oscillator_process3(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first) {
  render<FourPoint, false>(osc, buf, n, amp, amp_incr, first);
}

void oscillator_process4(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first) {
  warnOnce(warnedSevenPoint, "WARNING: NOT SUPPORTED.");
  render<SevenPoint, false>(osc, buf, n, amp, amp_incr, first);
}

void oscillator_process(korvel_oscillator_t* osc, float* buf, int n, float amp, float amp_incr, int first) {
  switch (osc->interp_method) {
    case KORVEL_INTERP_LINEAR: oscillator_process2(osc, buf, n, amp, amp_incr, first); break;
    case KORVEL_INTERP_SEVEN_POINT: oscillator_process4(osc, buf, n, amp, amp_incr, first); break;
    default:
      if (osc->four_point_default) {
        oscillator_process3(osc, buf, n, amp, amp_incr, first);
      } else {
        oscillator_process1(osc, buf, n, amp, amp_incr, first);
      }
      break;
  }
}

}  // extern "C"
