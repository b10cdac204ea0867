#include "sampler/src/voice/korvel_lfo.h"

#include <new>

#include "sampler/src/sys/korvel_sys.h"

namespace {

korvel_lfo_t* newLfo(korvel_voice_t* voice, const char* outOfMemory) {
  auto* lfo = new (std::nothrow) korvel_lfo_t{};
  if (!lfo) {
    korvel_log(KORVEL_ERR, "%s", outOfMemory);
    return nullptr;
  }
  korvel_lfo_setup(lfo, voice);
  return lfo;
}

int deleteLfo(korvel_lfo_t* lfo) {
  delete lfo;
  return 0;
}

// Reflects at the peaks, so the triangle keeps its slope whatever the increment.
void step(korvel_lfo_t* lfo, unsigned int ticks) {
  if (ticks < lfo->delay) return;
  lfo->value += lfo->increment;
  if (lfo->value > 1.0f) {
    lfo->increment = -lfo->increment;
    lfo->value = 2.0f - lfo->value;
  } else if (lfo->value < -1.0f) {
    lfo->increment = -lfo->increment;
    lfo->value = -2.0f - lfo->value;
  }
}

void fill(const korvel_lfo_t* lfo, float* buf, int n) {
  const float value = lfo->value;
  for (int i = 0; i < n; ++i) buf[i] = value;
}

}  // namespace

extern "C" {

void korvel_lfo_setup(korvel_lfo_t* lfo, korvel_voice_t* voice) { lfo->owner = voice; }
korvel_lfo1_t* new_korvel_lfo1(korvel_voice_t* voice) { return newLfo(voice, "NewLFO1(): Out of memory"); }
korvel_lfo2_t* new_korvel_lfo2(korvel_voice_t* voice) { return newLfo(voice, "NewLFO2(): Out of memory"); }
korvel_lfo3_t* new_korvel_lfo3(korvel_voice_t* voice) { return newLfo(voice, "NewLFO3(): Out of memory"); }
int delete_korvel_lfo1(korvel_lfo1_t* lfo) { return deleteLfo(lfo); }
int delete_korvel_lfo2(korvel_lfo2_t* lfo) { return deleteLfo(lfo); }
int delete_korvel_lfo3(korvel_lfo3_t* lfo) { return deleteLfo(lfo); }
void lfo1_preprocess(korvel_lfo1_t* lfo, unsigned int ticks) { step(lfo, ticks); }
void lfo2_preprocess(korvel_lfo2_t* lfo, unsigned int ticks) { step(lfo, ticks); }
void lfo3_preprocess(korvel_lfo3_t* lfo, unsigned int ticks) { step(lfo, ticks); }
void lfo1_process(korvel_lfo1_t* lfo, float* buf, int n) { fill(lfo, buf, n); }
void lfo2_process(korvel_lfo2_t* lfo, float* buf, int n) { fill(lfo, buf, n); }
void lfo3_process(korvel_lfo3_t* lfo, float* buf, int n) { fill(lfo, buf, n); }

}  // extern "C"
