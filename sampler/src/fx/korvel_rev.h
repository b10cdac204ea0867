#pragma once
// The reverb unit: eight parallel damped comb filters per side feeding four series allpasses, at fixed delay
// lengths tuned for 44.1 kHz (the lengths are not rescaled to other rates). It reads a mono send and produces a
// stereo pair, one block of KORVEL_BUFSIZE frames per call.
//
// Thread contract: creation and deletion on the control thread. Every other function runs on the thread that
// renders, or while rendering is stopped; none of them allocates, locks or logs.

#include "sampler/src/sys/korvel_block.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
  KORVEL_REV_NUMCOMBS = 8,
  KORVEL_REV_NUMALLPASSES = 4,
  KORVEL_REV_STEREOSPREAD = 23  // extra samples of every right-side line
};

typedef struct _korvel_comb_t {
  float feedback;
  float filterstore;
  float damp1;
  float damp2;
  float* buffer;
  int bufsize;
  int bufidx;
} korvel_comb_t;

typedef struct _korvel_allpass_t {
  float feedback;
  float* buffer;
  int bufsize;
  int bufidx;
} korvel_allpass_t;

typedef struct _korvel_revmodel_t korvel_revmodel_t;

// The unit with its delay lines in one allocation, at room size 0.84, damp 0.2, wet 3, width 1 (internal values)
// and every line filled with 1e-8. None when out of memory.
korvel_revmodel_t* new_korvel_revmodel(void);
void delete_korvel_revmodel(korvel_revmodel_t* rev);
// Both refill every delay line with 1e-8 and clear the comb filter stores; the parameters stay.
void korvel_revmodel_init(korvel_revmodel_t* rev);
void korvel_revmodel_reset(korvel_revmodel_t* rev);

// Room size 0 to 1 (the shell allows up to 1.2): the comb feedback becomes 0.28 * value + 0.7 at once.
void korvel_revmodel_setroomsize(korvel_revmodel_t* rev, double value);
double korvel_revmodel_getroomsize(korvel_revmodel_t* rev);
// Damping 0 to 1: the comb low-pass coefficient becomes 0.4 * value at once.
void korvel_revmodel_setdamp(korvel_revmodel_t* rev, double value);
double korvel_revmodel_getdamp(korvel_revmodel_t* rev);
// Stereo width 0 (mono) to 1 (full); values outside are taken as they are. Recomputes the two wet gains.
void korvel_revmodel_setwidth(korvel_revmodel_t* rev, double value);
double korvel_revmodel_getwidth(korvel_revmodel_t* rev);
// Accepted and ignored: the wet level is fixed at 3.
void korvel_revmodel_setlevel(korvel_revmodel_t* rev, double value);
// The wet level divided by 3, so 1.
double korvel_revmodel_getlevel(korvel_revmodel_t* rev);
// Recomputes the wet gains from wet and width and pushes room size and damping into every comb.
void korvel_revmodel_update(korvel_revmodel_t* rev);

// One block: reads KORVEL_BUFSIZE frames of `in` and writes (replace) or adds (mix) the reverberated pair.
// Process-mix also drives the unit three times harder. `in` may alias `left` or `right`.
void korvel_revmodel_processreplace(korvel_revmodel_t* rev, const float* in, float* left, float* right);
void korvel_revmodel_processmix(korvel_revmodel_t* rev, const float* in, float* left, float* right);
// The same over the first n (1 to KORVEL_BUFSIZE) frames only; blocks split into parts give the same signal as
// whole ones.
void korvel_revmodel_processreplace_frames(korvel_revmodel_t* rev, const float* in, float* left, float* right, int n);
void korvel_revmodel_processmix_frames(korvel_revmodel_t* rev, const float* in, float* left, float* right, int n);
// The unit sleeps once its tail has ended: after 8,192 frames in a row of zero input with the output below -120 dB
// of full scale, and no value in its lines at that level either. A call whose input is all zero then only moves the
// line positions on, and writes zeros (replace) or adds nothing (mix); the first non-zero input wakes it, and it
// goes on from what the lines held. Init and reset wake it. 1 while it sleeps, else 0.
int korvel_revmodel_sleeping(const korvel_revmodel_t* rev);

// Comb and allpass helpers: attach a line of `size` floats (owned by the caller), fill it with 1e-8, and read or
// write the coefficients. A comb's damping d gives damp1 = d and damp2 = 1 - d.
void korvel_comb_setbuffer(korvel_comb_t* comb, float* buffer, int size);
void korvel_comb_init(korvel_comb_t* comb);
void korvel_comb_setdamp(korvel_comb_t* comb, float value);
float korvel_comb_getdamp(korvel_comb_t* comb);
void korvel_comb_setfeedback(korvel_comb_t* comb, float value);
float korvel_comb_getfeedback(korvel_comb_t* comb);
void korvel_allpass_setbuffer(korvel_allpass_t* allpass, float* buffer, int size);
void korvel_allpass_init(korvel_allpass_t* allpass);
void korvel_allpass_setfeedback(korvel_allpass_t* allpass, float value);
float korvel_allpass_getfeedback(korvel_allpass_t* allpass);

#ifdef __cplusplus
}
#endif
