#pragma once
// Envelopes: seven sections (delay, attack, hold, decay, sustain, release, finished), each a length in blocks, a
// coefficient, an increment and limits. One step per 256-frame block: value = coefficient x value + increment;
// leaving the limits clamps the value and moves to the next section. The voice fills the sections from its
// generators. `korvel_envelope1` is the volume envelope, `korvel_envelope2` the modulation envelope; both share
// this record.
//
// Thread contract: create and delete on the control thread; steps and process on the audio thread.

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum korvel_envelope_section {
  KORVEL_ENV_DELAY = 0,
  KORVEL_ENV_ATTACK = 1,
  KORVEL_ENV_HOLD = 2,
  KORVEL_ENV_DECAY = 3,
  KORVEL_ENV_SUSTAIN = 4,
  KORVEL_ENV_RELEASE = 5,
  KORVEL_ENV_FINISHED = 6,
  KORVEL_ENV_SECTIONS = 7
};

typedef struct _korvel_env_section_t {
  unsigned int count;  // length in blocks
  float coeff;
  float incr;
  float min;
  float max;
} korvel_env_section_t;

typedef struct _korvel_envelope_t {
  korvel_voice_t* owner;
  korvel_env_section_t data[KORVEL_ENV_SECTIONS];
  int section;
  unsigned int ticks;  // blocks spent in the section
  float value;
  // Kept by the volume envelope.
  float attack_timecents;   // limited attack time
  float sustain_level;      // 0..1
  float release_timecents;  // limited release time
  // Kept by the modulation envelope.
  float fc_depth_cents;
  float pitch_depth_cents;
} korvel_envelope_t;

typedef korvel_envelope_t korvel_envelope1_t;
typedef korvel_envelope_t korvel_envelope2_t;

// The same envelope plus a one-pole smoothed copy of its value (coefficient 1/256 per block step). No voice
// uses it.
typedef struct _korvel_envelope3_t {
  korvel_envelope_t env;
  float smoothed;
} korvel_envelope3_t;

// Makes cleared storage an envelope of the voice, as the creators below make it.
void korvel_envelope_setup(korvel_envelope_t* env, korvel_voice_t* voice);
// Everything 0 except the sustain section (endless, coefficient 1, limits -1..2) and the finished section
// (endless, coefficient 0, limits -1..1). None with "NewEnvelope1(): Out of memory" or "NewEnvelope2(): Out of
// memory".
korvel_envelope1_t* new_korvel_envelope1(korvel_voice_t* voice);
korvel_envelope2_t* new_korvel_envelope2(korvel_voice_t* voice);
// As the two above, smoothed output 0. None with "NewEnvelope3(): Out of memory".
korvel_envelope3_t* new_korvel_envelope3(korvel_voice_t* voice);
// Null accepted. 0.
int delete_korvel_envelope1(korvel_envelope1_t* env);
int delete_korvel_envelope2(korvel_envelope2_t* env);
int delete_korvel_envelope3(korvel_envelope3_t* env);
// One step: skip to the next non-empty section when the current one is over, then advance the value.
void envelope1_preprocess(korvel_envelope1_t* env);
void envelope2_preprocess(korvel_envelope2_t* env);
// The same step, then the smoothed output follows the new value by 1/256 of the distance.
void envelope3_preprocess(korvel_envelope3_t* env);
// Writes the current value into n frames.
void envelope1_process(korvel_envelope1_t* env, float* buf, int n);
void envelope2_process(korvel_envelope2_t* env, float* buf, int n);
// Writes the smoothed output into n frames.
void envelope3_process(korvel_envelope3_t* env, float* buf, int n);

#ifdef __cplusplus
}
#endif
