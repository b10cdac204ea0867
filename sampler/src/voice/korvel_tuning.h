// A tuning: the pitch in cents of each of the 128 keys, with a name and its place (bank, program) in the
// synthesizer's tuning table.
#pragma once

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

struct _korvel_tuning_t {
    char* name; // owned, may be null
    int bank;
    int prog;
    double pitch[128];
};

// All operations: control thread, while no voice reads the tuning.

// Equal temperament (key k at 100 k cents) with a copy of name; null with the error "Out of memory".
korvel_tuning_t* new_korvel_tuning(const char* name, int bank, int prog);
// Frees the name and the record; null is accepted.
void delete_korvel_tuning(korvel_tuning_t* tuning);
// Replaces the name by a copy of name (or none). 0, or -1 with "Out of memory".
int korvel_tuning_set_name(korvel_tuning_t* tuning, const char* name);
const char* korvel_tuning_get_name(const korvel_tuning_t* tuning);
// Key 0..127; other keys are ignored.
void korvel_tuning_set_key(korvel_tuning_t* tuning, int key, double pitch);
void korvel_tuning_set_pitch(korvel_tuning_t* tuning, int key, double pitch);
// Key k at 100 k + offsets[k mod 12].
void korvel_tuning_set_octave(korvel_tuning_t* tuning, const double* offsets);
// Copies 128 pitches.
void korvel_tuning_set_all(korvel_tuning_t* tuning, const double* pitch);

#ifdef __cplusplus
}
#endif
