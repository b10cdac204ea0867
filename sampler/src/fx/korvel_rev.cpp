#include "sampler/src/fx/korvel_rev.h"

#include "sampler/src/fx/korvel_lanes.h"
#include "sampler/src/sys/korvel_pages.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Delay lengths in samples at 44.1 kHz; the right side adds KORVEL_REV_STEREOSPREAD to each.
constexpr int kCombSizes[KORVEL_REV_NUMCOMBS] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllpassSizes[KORVEL_REV_NUMALLPASSES] = {556, 441, 341, 225};

constexpr int lineTotal() {
  int total = 0;
  for (int size : kCombSizes) total += 2 * size + KORVEL_REV_STEREOSPREAD;
  for (int size : kAllpassSizes) total += 2 * size + KORVEL_REV_STEREOSPREAD;
  return total;
}

// A tiny constant keeps the recursions away from denormal numbers; it is taken off again at the output.
constexpr float kDcOffset = 1e-8f;
constexpr float kFixedGain = 0.015f;
constexpr float kScaleWet = 3.0f;
constexpr float kScaleDamp = 0.4f;
constexpr float kScaleRoom = 0.28f;
constexpr float kOffsetRoom = 0.7f;
constexpr float kAllpassFeedback = 0.5f;
constexpr float kInitialRoom = 0.84f;
constexpr float kInitialDamp = 0.2f;
// Sleep: the tail counts as ended once the output has stayed below -120 dB of full scale, with nothing coming in, for
// longer than any path through the unit (longest comb plus every allpass, right side, about 3,300 frames), so that
// whatever the lines still hold has come out at least twice; and no line holds that much any more.
constexpr float kQuiet = 1e-6f;
constexpr int kSettleFrames = 8192;

void fillLine(float* buffer, int size) {
  for (int i = 0; i < size; ++i) buffer[i] = kDcOffset;
}

}  // namespace

struct _korvel_revmodel_t {
  float roomsize;
  float damp;
  float wet;
  float wet1;
  float wet2;
  float width;
  float gain;
  korvel_comb_t combL[KORVEL_REV_NUMCOMBS];
  korvel_comb_t combR[KORVEL_REV_NUMCOMBS];
  korvel_allpass_t allpassL[KORVEL_REV_NUMALLPASSES];
  korvel_allpass_t allpassR[KORVEL_REV_NUMALLPASSES];
  int quiet_frames;  // frames in a row with zero input and output below kQuiet, up to kSettleFrames
  bool asleep;
  float lines[lineTotal()];
};

namespace {

using korvel_lanes::kLanes;
using korvel_lanes::Lanes;

constexpr int kGroups = KORVEL_REV_NUMCOMBS / kLanes;
static_assert(KORVEL_REV_NUMCOMBS % kLanes == 0, "the combs fill whole vectors");

// One frame of one comb: reads its line, filters, writes the line.
inline float combFrame(korvel_comb_t& comb, float* slot, float input) {
  const float y = *slot;
  comb.filterstore = y * comb.damp2 + comb.filterstore * comb.damp1;
  *slot = input + comb.filterstore * comb.feedback;
  return y;
}

// Frames [from, from + m) through the side's eight combs, none of whose lines goes round in them: the combs run in
// two vectors of four lanes, four frames at a time (rows of a line read and written as they lie, the low-pass
// recursion on columns), the delayed frames summed into out in comb order. Every sample comes from the operations
// of frame-by-frame processing in the same order.
void combRun(korvel_comb_t* combs, const float* input, float* out, int from, int m) {
  Lanes store[kGroups], damp1[kGroups], damp2[kGroups], feedback[kGroups];
  float* slots[KORVEL_REV_NUMCOMBS];
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) {
    const int g = c / kLanes, l = c % kLanes;
    store[g][l] = combs[c].filterstore;
    damp1[g][l] = combs[c].damp1;
    damp2[g][l] = combs[c].damp2;
    feedback[g][l] = combs[c].feedback;
    slots[c] = combs[c].buffer + combs[c].bufidx;
  }
  int k = 0;
  for (; k + kLanes <= m; k += kLanes) {
    Lanes rows[kGroups][kLanes];
    Lanes sum;
    std::memcpy(&sum, out + from + k, sizeof(Lanes));
    for (int g = 0; g < kGroups; ++g) {
      for (int l = 0; l < kLanes; ++l) {
        std::memcpy(&rows[g][l], slots[g * kLanes + l] + k, sizeof(Lanes));
        sum += rows[g][l];
      }
    }
    std::memcpy(out + from + k, &sum, sizeof(Lanes));
    for (int g = 0; g < kGroups; ++g) {
      Lanes cols[kLanes] = {rows[g][0], rows[g][1], rows[g][2], rows[g][3]};
      korvel_lanes::transpose(cols[0], cols[1], cols[2], cols[3]);
      for (int f = 0; f < kLanes; ++f) {
        store[g] = cols[f] * damp2[g] + store[g] * damp1[g];
        cols[f] = input[from + k + f] + store[g] * feedback[g];
      }
      korvel_lanes::transpose(cols[0], cols[1], cols[2], cols[3]);
      for (int l = 0; l < kLanes; ++l) std::memcpy(slots[g * kLanes + l] + k, &cols[l], sizeof(Lanes));
    }
  }
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) combs[c].filterstore = store[c / kLanes][c % kLanes];
  for (; k < m; ++k) {
    for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) out[from + k] += combFrame(combs[c], slots[c] + k, input[from + k]);
  }
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) {
    korvel_comb_t& comb = combs[c];
    comb.bufidx = comb.bufidx + m == comb.bufsize ? 0 : comb.bufidx + m;
  }
}

// An allpass over frames of its line that do not go round: no frame reads a slot another one wrote.
void allpassRun(float* __restrict slots, float* __restrict out, float feedback, int m) {
  for (int k = 0; k < m; ++k) {
    const float bufout = slots[k];
    const float x = out[k];
    out[k] = bufout - x;
    slots[k] = x + bufout * feedback;
  }
}

// One side over n frames of a block: the combs in parallel, summed in order, then the allpasses in series, each over
// the runs of frames between the wraps of its lines.
void runSide(korvel_comb_t* combs, korvel_allpass_t* allpasses, const float* input, float* out, int n) {
  for (int k = 0; k < n; ++k) out[k] = 0.0f;
  for (int done = 0; done < n;) {
    int m = n - done;
    for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) m = std::min(m, combs[c].bufsize - combs[c].bufidx);
    combRun(combs, input, out, done, m);
    done += m;
  }
  for (int a = 0; a < KORVEL_REV_NUMALLPASSES; ++a) {
    korvel_allpass_t& allpass = allpasses[a];
    for (int done = 0; done < n;) {
      const int m = std::min(n - done, allpass.bufsize - allpass.bufidx);
      allpassRun(allpass.buffer + allpass.bufidx, out + done, allpass.feedback, m);
      allpass.bufidx = allpass.bufidx + m == allpass.bufsize ? 0 : allpass.bufidx + m;
      done += m;
    }
  }
  for (int k = 0; k < n; ++k) out[k] -= kDcOffset;
}

bool allZero(const float* in, int n) {
  for (int k = 0; k < n; ++k)
    if (in[k] != 0.0f) return false;
  return true;
}

bool linesQuiet(const korvel_revmodel_t* rev) {
  for (float sample : rev->lines)
    if (!(std::fabs(sample) < kQuiet)) return false;
  const auto storesQuiet = [](const korvel_comb_t* combs) {
    for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c)
      if (!(std::fabs(combs[c].filterstore) < kQuiet)) return false;
    return true;
  };
  return storesQuiet(rev->combL) && storesQuiet(rev->combR);
}

// While asleep the lines keep what little they hold and only their positions move on.
void advance(korvel_revmodel_t* rev, int n) {
  const auto move = [n](auto* filters, int count) {
    for (int i = 0; i < count; ++i) filters[i].bufidx = (filters[i].bufidx + n) % filters[i].bufsize;
  };
  move(rev->combL, KORVEL_REV_NUMCOMBS);
  move(rev->combR, KORVEL_REV_NUMCOMBS);
  move(rev->allpassL, KORVEL_REV_NUMALLPASSES);
  move(rev->allpassR, KORVEL_REV_NUMALLPASSES);
}

// Counts the quiet frames of a span just processed and falls asleep once they are enough and the lines agree.
void watchTail(korvel_revmodel_t* rev, bool inputZero, const float* outL, const float* outR, int n) {
  float peak = 0.0f;
  for (int k = 0; k < n; ++k) peak = std::max(peak, std::max(std::fabs(outL[k]), std::fabs(outR[k])));
  if (!inputZero || !(peak < kQuiet)) {
    rev->quiet_frames = 0;
    return;
  }
  rev->quiet_frames = std::min(rev->quiet_frames + n, kSettleFrames);
  if (rev->quiet_frames == kSettleFrames) {
    rev->asleep = linesQuiet(rev);
    if (!rev->asleep) rev->quiet_frames = 0;
  }
}

template <bool Mix>
void process(korvel_revmodel_t* rev, const float* in, float* left, float* right, int n) {
  const bool inputZero = allZero(in, n);
  if (rev->asleep && inputZero) {
    advance(rev, n);
    if (!Mix) {
      for (int k = 0; k < n; ++k) left[k] = right[k] = 0.0f;
    }
    return;
  }
  rev->asleep = false;
  float input[KORVEL_BUFSIZE] = {};
  float outL[KORVEL_BUFSIZE];
  float outR[KORVEL_BUFSIZE];
  for (int k = 0; k < n; ++k) {
    input[k] = (2.0f * in[k] + kDcOffset) * rev->gain;
    if (Mix) input[k] *= 3.0f;
  }
  runSide(rev->combL, rev->allpassL, input, outL, n);
  runSide(rev->combR, rev->allpassR, input, outR, n);
  const float wet1 = rev->wet1;
  const float wet2 = rev->wet2;
  for (int k = 0; k < n; ++k) {
    const float wetL = outL[k] * wet1 + outR[k] * wet2;
    const float wetR = outR[k] * wet1 + outL[k] * wet2;
    outL[k] = wetL;
    outR[k] = wetR;
  }
  watchTail(rev, inputZero, outL, outR, n);
  for (int k = 0; k < n; ++k) {
    if (Mix) {
      left[k] += outL[k];
      right[k] += outR[k];
    } else {
      left[k] = outL[k];
      right[k] = outR[k];
    }
  }
}

void updateWet(korvel_revmodel_t* rev) {
  rev->wet1 = rev->wet * (rev->width / 2.0f + 0.5f);
  rev->wet2 = rev->wet * ((1.0f - rev->width) / 2.0f);
}

}  // namespace

extern "C" {

void korvel_comb_setbuffer(korvel_comb_t* comb, float* buffer, int size) {
  comb->filterstore = 0.0f;
  comb->bufidx = 0;
  comb->buffer = buffer;
  comb->bufsize = size;
}

void korvel_comb_init(korvel_comb_t* comb) {
  fillLine(comb->buffer, comb->bufsize);
  comb->filterstore = 0.0f;
}

void korvel_comb_setdamp(korvel_comb_t* comb, float value) {
  comb->damp1 = value;
  comb->damp2 = 1.0f - value;
}

float korvel_comb_getdamp(korvel_comb_t* comb) { return comb->damp1; }

void korvel_comb_setfeedback(korvel_comb_t* comb, float value) { comb->feedback = value; }

float korvel_comb_getfeedback(korvel_comb_t* comb) { return comb->feedback; }

void korvel_allpass_setbuffer(korvel_allpass_t* allpass, float* buffer, int size) {
  allpass->bufidx = 0;
  allpass->buffer = buffer;
  allpass->bufsize = size;
}

void korvel_allpass_init(korvel_allpass_t* allpass) { fillLine(allpass->buffer, allpass->bufsize); }

void korvel_allpass_setfeedback(korvel_allpass_t* allpass, float value) { allpass->feedback = value; }

float korvel_allpass_getfeedback(korvel_allpass_t* allpass) { return allpass->feedback; }

korvel_revmodel_t* new_korvel_revmodel(void) {
  // 100 KB of lines, all written here: present pages cost less than a fault on each first touch.
  auto* rev = static_cast<korvel_revmodel_t*>(korvel_pages_new(sizeof(korvel_revmodel_t)));
  if (!rev) return nullptr;
  float* line = rev->lines;
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) {
    korvel_comb_setbuffer(&rev->combL[c], line, kCombSizes[c]);
    line += kCombSizes[c];
    korvel_comb_setbuffer(&rev->combR[c], line, kCombSizes[c] + KORVEL_REV_STEREOSPREAD);
    line += kCombSizes[c] + KORVEL_REV_STEREOSPREAD;
  }
  for (int a = 0; a < KORVEL_REV_NUMALLPASSES; ++a) {
    korvel_allpass_setbuffer(&rev->allpassL[a], line, kAllpassSizes[a]);
    line += kAllpassSizes[a];
    korvel_allpass_setbuffer(&rev->allpassR[a], line, kAllpassSizes[a] + KORVEL_REV_STEREOSPREAD);
    line += kAllpassSizes[a] + KORVEL_REV_STEREOSPREAD;
    korvel_allpass_setfeedback(&rev->allpassL[a], kAllpassFeedback);
    korvel_allpass_setfeedback(&rev->allpassR[a], kAllpassFeedback);
  }
  rev->gain = kFixedGain;
  rev->roomsize = kInitialRoom;
  rev->damp = kInitialDamp;
  rev->wet = kScaleWet;
  rev->width = 1.0f;
  korvel_revmodel_update(rev);
  korvel_revmodel_init(rev);
  return rev;
}

void delete_korvel_revmodel(korvel_revmodel_t* rev) { korvel_pages_delete(rev, sizeof(korvel_revmodel_t)); }

void korvel_revmodel_init(korvel_revmodel_t* rev) {
  rev->quiet_frames = 0;
  rev->asleep = false;
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) {
    korvel_comb_init(&rev->combL[c]);
    korvel_comb_init(&rev->combR[c]);
  }
  for (int a = 0; a < KORVEL_REV_NUMALLPASSES; ++a) {
    korvel_allpass_init(&rev->allpassL[a]);
    korvel_allpass_init(&rev->allpassR[a]);
  }
}

void korvel_revmodel_reset(korvel_revmodel_t* rev) { korvel_revmodel_init(rev); }

void korvel_revmodel_update(korvel_revmodel_t* rev) {
  updateWet(rev);
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) {
    korvel_comb_setfeedback(&rev->combL[c], rev->roomsize);
    korvel_comb_setfeedback(&rev->combR[c], rev->roomsize);
    korvel_comb_setdamp(&rev->combL[c], rev->damp);
    korvel_comb_setdamp(&rev->combR[c], rev->damp);
  }
}

void korvel_revmodel_setroomsize(korvel_revmodel_t* rev, double value) {
  rev->roomsize = static_cast<float>(value) * kScaleRoom + kOffsetRoom;
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) {
    korvel_comb_setfeedback(&rev->combL[c], rev->roomsize);
    korvel_comb_setfeedback(&rev->combR[c], rev->roomsize);
  }
}

double korvel_revmodel_getroomsize(korvel_revmodel_t* rev) { return (rev->roomsize - kOffsetRoom) / kScaleRoom; }

void korvel_revmodel_setdamp(korvel_revmodel_t* rev, double value) {
  rev->damp = static_cast<float>(value) * kScaleDamp;
  for (int c = 0; c < KORVEL_REV_NUMCOMBS; ++c) {
    korvel_comb_setdamp(&rev->combL[c], rev->damp);
    korvel_comb_setdamp(&rev->combR[c], rev->damp);
  }
}

double korvel_revmodel_getdamp(korvel_revmodel_t* rev) { return rev->damp / kScaleDamp; }

void korvel_revmodel_setwidth(korvel_revmodel_t* rev, double value) {
  rev->width = static_cast<float>(value);
  updateWet(rev);
}

double korvel_revmodel_getwidth(korvel_revmodel_t* rev) { return rev->width; }

void korvel_revmodel_setlevel(korvel_revmodel_t*, double) {}

double korvel_revmodel_getlevel(korvel_revmodel_t* rev) { return rev->wet / kScaleWet; }

int korvel_revmodel_sleeping(const korvel_revmodel_t* rev) { return rev->asleep ? 1 : 0; }

void korvel_revmodel_processreplace(korvel_revmodel_t* rev, const float* in, float* left, float* right) {
  process<false>(rev, in, left, right, KORVEL_BUFSIZE);
}

void korvel_revmodel_processmix(korvel_revmodel_t* rev, const float* in, float* left, float* right) {
  process<true>(rev, in, left, right, KORVEL_BUFSIZE);
}

void korvel_revmodel_processreplace_frames(korvel_revmodel_t* rev, const float* in, float* left, float* right, int n) {
  process<false>(rev, in, left, right, n);
}

void korvel_revmodel_processmix_frames(korvel_revmodel_t* rev, const float* in, float* left, float* right, int n) {
  process<true>(rev, in, left, right, n);
}

}  // extern "C"
