#include "sampler/src/fx/korvel_chorus.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "sampler/src/sys/korvel_pages.h"
#include "sampler/src/sys/korvel_sys.h"

namespace {

constexpr double kMinSpeedHz = 0.29;
constexpr double kMaxSpeedHz = 5.0;
constexpr double kMaxLevel = 10.0;
constexpr double kLevelAfterTooHigh = 0.1;
constexpr int kSubsamples = KORVEL_CHORUS_INTERP_SUBSAMPLES;
constexpr int kTaps = KORVEL_CHORUS_INTERP_SAMPLES;
constexpr int kMaxDepthSamples = KORVEL_CHORUS_MAX_SAMPLES;
constexpr int kLineSamples = KORVEL_CHORUS_MAX_SAMPLES;
constexpr int kLineMask = kLineSamples - 1;
constexpr int kSubsampleMask = KORVEL_CHORUS_INTERP_SUBSAMPLES - 1;
// Moves every table entry three line lengths back, so that the read position stays positive before masking.
constexpr int32_t kTableOffset = 3 * KORVEL_CHORUS_MAX_SAMPLES * KORVEL_CHORUS_INTERP_SUBSAMPLES;

// Tables are built in kTableChunk-entry chunks: a chorus builds each chunk when a voice first reaches it, so that
// creation builds nothing and a unit that never sounds never builds its table. A sine chunk comes from its first
// angle by angle addition, which lands within 1e-14 of std::sin's value; an entry whose scaled value lies within
// kSineMargin of a whole number, where truncation could then differ, is computed by the formula itself.
constexpr int kTableChunk = 256;
constexpr double kSineMargin = 1e-6;

// The angle steps within one chunk of a sine table of a given length.
struct SineSteps {
  double step;
  double scale;
  double fine_sin[kTableChunk];
  double fine_cos[kTableChunk];
};

size_t chunks(int entries) { return static_cast<size_t>((entries + kTableChunk - 1) / kTableChunk); }

constexpr int kDefaultVoices = 3;
constexpr double kDefaultLevel = 2.0;
// The slowest speed the unit allows: a default below it could never take effect and drew a warning from every
// creation and reset, which then ran at this speed anyway.
constexpr double kDefaultSpeedHz = kMinSpeedHz;
constexpr double kDefaultDepthMs = 8.0;
constexpr int kDefaultType = KORVEL_CHORUS_MOD_SINE;

}  // namespace

struct _korvel_chorus_t {
  int type;
  int new_type;
  double depth_ms;
  double new_depth_ms;
  double level;
  double new_level;
  double speed_Hz;
  double new_speed_Hz;
  int number_blocks;
  int new_number_blocks;
  int counter;  // write position in the line
  int silent_frames;  // zeros written in a row, counted up to the line's length
  int64_t phase[KORVEL_CHORUS_MAX_VOICES];
  float chorusbuf[KORVEL_CHORUS_MAX_SAMPLES];
  float sinc_table[KORVEL_CHORUS_INTERP_SAMPLES][KORVEL_CHORUS_INTERP_SUBSAMPLES];
  int32_t* lookup_tab;
  int lookup_len;  // entries allocated for the slowest speed
  int modulation_period_samples;  // entries of the table in use
  double sample_rate;
  // What the table in use is made of: its type and depth, and which chunks are built.
  int table_type;
  int table_depth;
  unsigned char* chunk_built;
  SineSteps sine;
};

namespace {

size_t table_bytes(const korvel_chorus_t* chorus) { return static_cast<size_t>(chorus->lookup_len) * sizeof(int32_t); }

}  // namespace

namespace {

// Five-point sinc read, windowed by a raised cosine over the five taps; row r serves the tap r samples back.
void buildSincTable(korvel_chorus_t* chorus) {
  for (int r = 0; r < KORVEL_CHORUS_INTERP_SAMPLES; ++r) {
    for (int i = 0; i < KORVEL_CHORUS_INTERP_SUBSAMPLES; ++i) {
      double t = static_cast<double>(i) / kSubsamples + r - 2.5;
      double value = 1.0;
      if (std::fabs(t) >= 1e-6) {
        float sine = static_cast<float>(std::sin(std::numbers::pi * t));
        value = sine / (std::numbers::pi * t);
        value *= (1.0 + std::cos(2.0 * std::numbers::pi * t / kTaps)) / 2.0;
      }
      chorus->sinc_table[r][i] = static_cast<float>(value);
    }
  }
}

bool allZero(const float* in, int n) {
  for (int k = 0; k < n; ++k)
    if (in[k] != 0.0f) return false;
  return true;
}

// A line that has taken in nothing but zeros for its whole length reads zero at every tap: the voices would add
// nothing, so only the write position and the phases move on, as they would have.
bool skipSilence(korvel_chorus_t* chorus, const float* in, int n) {
  if (chorus->silent_frames < kLineSamples || !allZero(in, n)) return false;
  const int period = chorus->modulation_period_samples;
  for (int v = 0; v < chorus->number_blocks; ++v) chorus->phase[v] = (chorus->phase[v] + n) % period;
  chorus->counter = (chorus->counter + n) & kLineMask;
  return true;
}

// Entry i of the sine table before the offset, by its formula.
double sineEntry(int i, int len, int depth) {
  double value = std::sin(static_cast<double>(i) / len * 2.0 * std::numbers::pi);
  return (value + 1.0) * depth * 0.5 * kSubsamples;
}

void prepareSine(SineSteps* steps, int len, int depth) {
  steps->step = 2.0 * std::numbers::pi / len;
  steps->scale = depth * 0.5 * kSubsamples;
  for (int k = 0; k < kTableChunk; ++k) {
    steps->fine_sin[k] = std::sin(k * steps->step);
    steps->fine_cos[k] = std::cos(k * steps->step);
  }
}

// Entries [start, start + count) of a sine table; start is a multiple of kTableChunk and count at most kTableChunk.
void sineChunk(int32_t* table, int start, int count, int len, int depth, const SineSteps& steps) {
  const double coarse_sin = std::sin(start * steps.step);
  const double coarse_cos = std::cos(start * steps.step);
  for (int k = 0; k < count; ++k) {
    const double entry = (coarse_sin * steps.fine_cos[k] + coarse_cos * steps.fine_sin[k] + 1.0) * steps.scale;
    int32_t whole = static_cast<int32_t>(entry);
    if (entry - whole < kSineMargin || whole + 1.0 - entry < kSineMargin)
      whole = static_cast<int32_t>(sineEntry(start + k, len, depth));
    table[start + k] = whole - kTableOffset;
  }
}

// Entries [start, start + count) of a triangle table: rising over the first half, the second half its mirror.
void triangleChunk(int32_t* table, int start, int count, int len, int depth) {
  for (int j = start; j < start + count; ++j) {
    const int i = std::min(j, len - 1 - j);
    double value = 2.0 * i / len * depth * kSubsamples;
    table[j] = static_cast<int32_t>(value + 0.5) - kTableOffset;
  }
}

void buildChunk(korvel_chorus_t* chorus, int chunk) {
  const int len = chorus->modulation_period_samples;
  const int start = chunk * kTableChunk;
  const int count = std::min(kTableChunk, len - start);
  if (chorus->table_type == KORVEL_CHORUS_MOD_TRIANGLE)
    triangleChunk(chorus->lookup_tab, start, count, len, chorus->table_depth);
  else
    sineChunk(chorus->lookup_tab, start, count, len, chorus->table_depth, chorus->sine);
  chorus->chunk_built[chunk] = 1;
}

// Builds the chunks that the voices read in the next n frames and that are not built yet.
void buildAhead(korvel_chorus_t* chorus, int n) {
  const int period = chorus->modulation_period_samples;
  for (int v = 0; v < chorus->number_blocks; ++v) {
    int position = static_cast<int>(chorus->phase[v]);
    for (int left = n; left > 0;) {
      const int chunk = position / kTableChunk;
      if (!chorus->chunk_built[chunk]) buildChunk(chorus, chunk);
      const int run = std::min(left, std::min((chunk + 1) * kTableChunk, period) - position);
      left -= run;
      position += run;
      if (position >= period) position = 0;
    }
  }
}

// Frames [from, from + n) of voice v added into sum, with the line already holding their inputs.
void addVoice(korvel_chorus_t* chorus, int v, int counter, float* sum, int n) {
  const int period = chorus->modulation_period_samples;
  const int32_t* table = chorus->lookup_tab;
  const float* line = chorus->chorusbuf;
  int64_t phase = chorus->phase[v];
  for (int k = 0; k < n; ++k) {
    const int64_t at = static_cast<int64_t>((counter + k) & kLineMask) * KORVEL_CHORUS_INTERP_SUBSAMPLES;
    const int64_t position = at - table[phase];
    const int64_t sample = position / KORVEL_CHORUS_INTERP_SUBSAMPLES;
    const int f = static_cast<int>(position & kSubsampleMask);
    sum[k] += line[sample & kLineMask] * chorus->sinc_table[0][f] +
              line[(sample - 1) & kLineMask] * chorus->sinc_table[1][f] +
              line[(sample - 2) & kLineMask] * chorus->sinc_table[2][f] +
              line[(sample - 3) & kLineMask] * chorus->sinc_table[3][f] +
              line[(sample - 4) & kLineMask] * chorus->sinc_table[4][f];
    if (++phase >= period) phase = 0;
  }
  chorus->phase[v] = phase;
}

// The frames of a stretch go into the line before any voice reads it, then each voice runs over the whole stretch
// (independent frames, which the processor overlaps). A stretch is short enough that no voice reads a slot that a
// later frame of it wrote, so every sample is the one frame-by-frame processing gives, summed in the same order.
// Taps reach back at most the depth plus the interpolator's points behind the frame being read.
int stretchFrames(const korvel_chorus_t* chorus, int n) {
  const int reach = chorus->table_depth + kTaps + 1;
  return std::clamp(kLineSamples - reach, 1, n);
}

template <bool Mix>
void process(korvel_chorus_t* chorus, const float* in, float* left, float* right, int n) {
  if (skipSilence(chorus, in, n)) {
    if (!Mix) {
      for (int k = 0; k < n; ++k) left[k] = right[k] = 0.0f;
    }
    return;
  }
  buildAhead(chorus, n);
  const float level = static_cast<float>(chorus->level);
  const int stretch = stretchFrames(chorus, n);
  float sum[KORVEL_BUFSIZE];
  for (int done = 0; done < n; done += stretch) {
    const int m = std::min(stretch, n - done);
    const int counter = chorus->counter;
    for (int k = 0; k < m; ++k) {
      const float x = in[done + k];
      chorus->chorusbuf[(counter + k) & kLineMask] = x;
      chorus->silent_frames = x != 0.0f ? 0 : std::min(chorus->silent_frames + 1, kLineSamples);
      sum[k] = 0.0f;
    }
    for (int v = 0; v < chorus->number_blocks; ++v) addVoice(chorus, v, counter, sum, m);
    for (int k = 0; k < m; ++k) {
      const float out = sum[k] * level;
      if (Mix) {
        left[done + k] += out;
        right[done + k] += out;
      } else {
        left[done + k] = out;
        right[done + k] = out;
      }
    }
    chorus->counter = (counter + m) & kLineMask;
  }
}

}  // namespace

extern "C" {

korvel_chorus_t* new_korvel_chorus(double sample_rate) {
  auto* chorus = static_cast<korvel_chorus_t*>(korvel_pages_new(sizeof(korvel_chorus_t)));
  if (!chorus) {
    korvel_log(KORVEL_ERR, "chorus: Out of memory");
    return nullptr;
  }
  chorus->sample_rate = sample_rate;
  double entries = sample_rate / kMinSpeedHz;
  chorus->lookup_len = entries >= 1.0 && entries < 1e9 ? static_cast<int>(entries) : 1;
  chorus->lookup_tab = static_cast<int32_t*>(korvel_pages_new_on_touch(table_bytes(chorus)));
  // In pages of its own like the record that points to it: a leak checker sees no heap block held only from there.
  chorus->chunk_built = static_cast<unsigned char*>(korvel_pages_new_on_touch(chunks(chorus->lookup_len)));
  if (!chorus->lookup_tab || !chorus->chunk_built) {
    korvel_log(KORVEL_ERR, "chorus: Out of memory");
    delete_korvel_chorus(chorus);
    return nullptr;
  }
  buildSincTable(chorus);
  korvel_chorus_init(chorus);
  return chorus;
}

void delete_korvel_chorus(korvel_chorus_t* chorus) {
  if (!chorus) return;
  korvel_pages_delete(chorus->lookup_tab, table_bytes(chorus));
  korvel_pages_delete(chorus->chunk_built, chunks(chorus->lookup_len));
  korvel_pages_delete(chorus, sizeof(korvel_chorus_t));
}

int korvel_chorus_init(korvel_chorus_t* chorus) {
  for (float& sample : chorus->chorusbuf) sample = 0.0f;
  chorus->silent_frames = kLineSamples;
  korvel_chorus_set_nr(chorus, kDefaultVoices);
  korvel_chorus_set_level(chorus, kDefaultLevel);
  korvel_chorus_set_speed_Hz(chorus, kDefaultSpeedHz);
  korvel_chorus_set_depth_ms(chorus, kDefaultDepthMs);
  korvel_chorus_set_type(chorus, kDefaultType);
  return korvel_chorus_update(chorus);
}

int korvel_chorus_reset(korvel_chorus_t* chorus) { return korvel_chorus_init(chorus); }

void korvel_chorus_set_nr(korvel_chorus_t* chorus, int nr) { chorus->new_number_blocks = nr; }
void korvel_chorus_set_level(korvel_chorus_t* chorus, double level) { chorus->new_level = level; }
void korvel_chorus_set_speed_Hz(korvel_chorus_t* chorus, double speed) { chorus->new_speed_Hz = speed; }
void korvel_chorus_set_depth_ms(korvel_chorus_t* chorus, double depth) { chorus->new_depth_ms = depth; }
void korvel_chorus_set_type(korvel_chorus_t* chorus, int type) { chorus->new_type = type; }

int korvel_chorus_get_nr(korvel_chorus_t* chorus) { return chorus->number_blocks; }
double korvel_chorus_get_level(korvel_chorus_t* chorus) { return chorus->level; }
double korvel_chorus_get_speed_Hz(korvel_chorus_t* chorus) { return chorus->speed_Hz; }
double korvel_chorus_get_depth_ms(korvel_chorus_t* chorus) { return chorus->depth_ms; }
int korvel_chorus_get_type(korvel_chorus_t* chorus) { return chorus->type; }

void korvel_chorus_sine(int32_t* table, int len, int depth) {
  SineSteps steps;
  prepareSine(&steps, len, depth);
  for (int start = 0; start < len; start += kTableChunk)
    sineChunk(table, start, std::min(kTableChunk, len - start), len, depth, steps);
}

void korvel_chorus_triangle(int32_t* table, int len, int depth) { triangleChunk(table, 0, len, len, depth); }

// The comparisons are written so that a value that is not a number fails them and is limited like one that is too
// small: a NaN must never reach the integer conversions below.
int korvel_chorus_update(korvel_chorus_t* chorus) {
  if (chorus->new_number_blocks < 0) {
    korvel_log(KORVEL_WARN, "chorus: number blocks must be >=0! Setting value to 0.");
    chorus->new_number_blocks = 0;
  } else if (chorus->new_number_blocks > KORVEL_CHORUS_MAX_VOICES) {
    korvel_log(KORVEL_WARN, "chorus: number blocks larger than max. allowed! Setting value to %d.",
               KORVEL_CHORUS_MAX_VOICES);
    chorus->new_number_blocks = KORVEL_CHORUS_MAX_VOICES;
  }
  if (!(chorus->new_speed_Hz >= kMinSpeedHz)) {
    korvel_log(KORVEL_WARN, "chorus: speed is too low (min %f)! Setting value to min.", kMinSpeedHz);
    chorus->new_speed_Hz = kMinSpeedHz;
  } else if (chorus->new_speed_Hz > kMaxSpeedHz) {
    korvel_log(KORVEL_WARN, "chorus: speed must be below %f Hz! Setting value to max.", kMaxSpeedHz);
    chorus->new_speed_Hz = kMaxSpeedHz;
  }
  if (!(chorus->new_depth_ms >= 0.0)) {
    korvel_log(KORVEL_WARN, "chorus: depth must be positive! Setting value to 0.");
    chorus->new_depth_ms = 0.0;
  }
  if (!(chorus->new_level >= 0.0)) {
    korvel_log(KORVEL_WARN, "chorus: level must be positive! Setting value to 0.");
    chorus->new_level = 0.0;
  } else if (chorus->new_level > kMaxLevel) {
    korvel_log(KORVEL_WARN, "chorus: level must be < 10. A reasonable level is << 1! Setting it to 0.1.");
    chorus->new_level = kLevelAfterTooHigh;
  }

  // The table was sized for the slowest speed; a period can only exceed it through rounding.
  long period = static_cast<long>(chorus->sample_rate / chorus->new_speed_Hz);
  if (period > chorus->lookup_len) period = chorus->lookup_len;
  if (period < 1) period = 1;
  chorus->modulation_period_samples = static_cast<int>(period);

  double depthSamples = chorus->new_depth_ms / 1000.0 * chorus->sample_rate;
  int depth = kMaxDepthSamples;
  if (depthSamples > kMaxDepthSamples) {
    korvel_log(KORVEL_WARN, "chorus: Too high depth. Setting it to max (%d).", kMaxDepthSamples);
  } else {
    depth = static_cast<int>(depthSamples);
  }

  chorus->table_depth = depth;
  chorus->table_type = KORVEL_CHORUS_MOD_TRIANGLE;
  if (chorus->new_type != KORVEL_CHORUS_MOD_TRIANGLE) {
    if (chorus->new_type != KORVEL_CHORUS_MOD_SINE)
      korvel_log(KORVEL_WARN, "chorus: Unknown modulation type. Using sinewave.");
    chorus->table_type = KORVEL_CHORUS_MOD_SINE;
    prepareSine(&chorus->sine, chorus->modulation_period_samples, depth);
  }
  std::memset(chorus->chunk_built, 0, chunks(chorus->modulation_period_samples));

  for (int v = 0; v < chorus->new_number_blocks; ++v)
    chorus->phase[v] = static_cast<int64_t>(static_cast<double>(v) * period / chorus->new_number_blocks);

  chorus->counter = 0;
  chorus->type = chorus->new_type;
  chorus->depth_ms = chorus->new_depth_ms;
  chorus->level = chorus->new_level;
  chorus->speed_Hz = chorus->new_speed_Hz;
  chorus->number_blocks = chorus->new_number_blocks;
  return 0;
}

int korvel_chorus_sleeping(const korvel_chorus_t* chorus) {
  return chorus->silent_frames >= kLineSamples ? 1 : 0;
}

void korvel_chorus_processmix(korvel_chorus_t* chorus, const float* in, float* left, float* right) {
  process<true>(chorus, in, left, right, KORVEL_BUFSIZE);
}

void korvel_chorus_processreplace(korvel_chorus_t* chorus, const float* in, float* left, float* right) {
  process<false>(chorus, in, left, right, KORVEL_BUFSIZE);
}

void korvel_chorus_processmix_frames(korvel_chorus_t* chorus, const float* in, float* left, float* right, int n) {
  process<true>(chorus, in, left, right, n);
}

void korvel_chorus_processreplace_frames(korvel_chorus_t* chorus, const float* in, float* left, float* right, int n) {
  process<false>(chorus, in, left, right, n);
}

}  // extern "C"
