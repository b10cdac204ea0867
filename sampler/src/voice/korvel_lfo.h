#pragma once
// LFOs: a -1..1 triangle starting at 0 and going up, stepped once per 256-frame block after the delay. The step,
// 1024 x frequency / rate, covers the 4 units of a full cycle per period. `korvel_lfo1` is the vibrato LFO (depth
// to pitch only), `korvel_lfo2` the modulation LFO; both share this record.
//
// Thread contract: create and delete on the control thread; steps and process on the audio thread.

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_lfo_t {
  korvel_voice_t* owner;
  unsigned int delay;  // frames
  float increment;     // per block
  float value;
  float pitch_depth_cents;
  float fc_depth_cents;   // modulation LFO only
  float volume_depth_cb;  // modulation LFO only
} korvel_lfo_t;

typedef korvel_lfo_t korvel_lfo1_t;
typedef korvel_lfo_t korvel_lfo2_t;
// A third LFO of the same kind; no voice uses it.
typedef korvel_lfo_t korvel_lfo3_t;

// Makes cleared storage an LFO of the voice, as the creators below make it.
void korvel_lfo_setup(korvel_lfo_t* lfo, korvel_voice_t* voice);
// All 0. None with "NewLFO1(): Out of memory" or "NewLFO2(): Out of memory".
korvel_lfo1_t* new_korvel_lfo1(korvel_voice_t* voice);
korvel_lfo2_t* new_korvel_lfo2(korvel_voice_t* voice);
// All 0. None with "NewLFO3(): Out of memory".
korvel_lfo3_t* new_korvel_lfo3(korvel_voice_t* voice);
// Null accepted. 0.
int delete_korvel_lfo1(korvel_lfo1_t* lfo);
int delete_korvel_lfo2(korvel_lfo2_t* lfo);
int delete_korvel_lfo3(korvel_lfo3_t* lfo);
// One step, given the frames the voice has rendered; nothing while they are fewer than the delay.
void lfo1_preprocess(korvel_lfo1_t* lfo, unsigned int ticks);
void lfo2_preprocess(korvel_lfo2_t* lfo, unsigned int ticks);
void lfo3_preprocess(korvel_lfo3_t* lfo, unsigned int ticks);
// Writes the current value into n frames.
void lfo1_process(korvel_lfo1_t* lfo, float* buf, int n);
void lfo2_process(korvel_lfo2_t* lfo, float* buf, int n);
void lfo3_process(korvel_lfo3_t* lfo, float* buf, int n);

#ifdef __cplusplus
}
#endif
