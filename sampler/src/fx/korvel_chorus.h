#pragma once
// The chorus unit: up to 99 modulated delay voices over a 2048-sample line, read with a five-point windowed-sinc
// interpolator. It reads a mono send and writes the same signal to both sides of a stereo pair, one block of
// KORVEL_BUFSIZE frames per call. Parameter setters stage new values; `korvel_chorus_update` checks them, starts a
// new modulation table and makes them the values in effect. Processing builds the table 256 entries at a time,
// each part when a voice first reaches it, so that a unit that never sounds builds none of it.
//
// Thread contract: creation and deletion on the control thread. The setters and getters may run on any thread that
// does not overlap processing. `korvel_chorus_init`, `korvel_chorus_reset` and `korvel_chorus_update` log warnings:
// run them on the control thread while rendering is stopped. Processing runs on the render thread; it neither
// allocates, locks nor logs.

#include <stdint.h>

#include "sampler/src/sys/korvel_block.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  KORVEL_CHORUS_MAX_VOICES = 99,
  KORVEL_CHORUS_MAX_SAMPLES = 2048,       // length of the delay line, the longest modulation depth in samples
  KORVEL_CHORUS_INTERP_SUBSAMPLES = 128,  // fractional positions per sample
  KORVEL_CHORUS_INTERP_SAMPLES = 5        // taps of the interpolator
};

enum korvel_chorus_mod { KORVEL_CHORUS_MOD_SINE = 0, KORVEL_CHORUS_MOD_TRIANGLE = 1 };

typedef struct _korvel_chorus_t korvel_chorus_t;

// A chorus for the given output rate in Hz, with its modulation table sized for the slowest speed (0.29 Hz) and
// the defaults in effect (3 voices, level 2, speed 0.29 Hz, depth 8 ms, sine). None when out of memory, logging
// "chorus: Out of memory".
korvel_chorus_t* new_korvel_chorus(double sample_rate);
void delete_korvel_chorus(korvel_chorus_t* chorus);
// Both clear the delay line, stage the defaults and update. 0.
int korvel_chorus_init(korvel_chorus_t* chorus);
int korvel_chorus_reset(korvel_chorus_t* chorus);

// Staged until the next update, unchecked until then.
void korvel_chorus_set_nr(korvel_chorus_t* chorus, int nr);                // voices, 0 to 99
void korvel_chorus_set_level(korvel_chorus_t* chorus, double level);       // output gain per voice, 0 to 10
void korvel_chorus_set_speed_Hz(korvel_chorus_t* chorus, double speed);    // 0.29 to 5 Hz
void korvel_chorus_set_depth_ms(korvel_chorus_t* chorus, double depth);    // milliseconds, 0 up to 2048 samples
void korvel_chorus_set_type(korvel_chorus_t* chorus, int type);            // korvel_chorus_mod
// The values in effect.
int korvel_chorus_get_nr(korvel_chorus_t* chorus);
double korvel_chorus_get_level(korvel_chorus_t* chorus);
double korvel_chorus_get_speed_Hz(korvel_chorus_t* chorus);
double korvel_chorus_get_depth_ms(korvel_chorus_t* chorus);
int korvel_chorus_get_type(korvel_chorus_t* chorus);

// Limits the staged values (voices 0 to 99, speed 0.29 to 5 Hz, depth at least 0 and at most 2048 samples, level 0
// to 10 where above 10 becomes 0.1), logging a warning for each value changed, starts the modulation table anew,
// spreads the voices' phases evenly over one period, restarts the write position and puts the staged values in
// effect. 0.
int korvel_chorus_update(korvel_chorus_t* chorus);

// Modulation tables of `len` entries for a depth of `depth` samples, in the 1/128-sample units the read uses and
// offset by -3 * 2048 * 128: one period of a raised sine, or a symmetric triangle.
void korvel_chorus_sine(int32_t* table, int len, int depth);
void korvel_chorus_triangle(int32_t* table, int len, int depth);

// One block: writes KORVEL_BUFSIZE frames of `in` into the delay line and adds (mix) or writes (replace) the sum of
// the voices times the level to both `left` and `right`. `in` may alias `left` or `right`.
void korvel_chorus_processmix(korvel_chorus_t* chorus, const float* in, float* left, float* right);
void korvel_chorus_processreplace(korvel_chorus_t* chorus, const float* in, float* left, float* right);
// The same over the first n (1 to KORVEL_BUFSIZE) frames only; blocks split into parts give the same signal as
// whole ones.
//
// The unit sleeps while its whole line holds zeros (after KORVEL_CHORUS_MAX_SAMPLES zero inputs in a row, and from
// creation or reset on): a call whose input is all zero then only moves the write position and the phases on,
// and a mix call adds nothing. The output is the same as awake, sample for sample; the first non-zero input wakes it.
void korvel_chorus_processmix_frames(korvel_chorus_t* chorus, const float* in, float* left, float* right, int n);
void korvel_chorus_processreplace_frames(korvel_chorus_t* chorus, const float* in, float* left, float* right, int n);
// 1 while the unit sleeps, else 0.
int korvel_chorus_sleeping(const korvel_chorus_t* chorus);

#ifdef __cplusplus
}
#endif
