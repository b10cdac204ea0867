// The synthesizer's table of tunings, addressed by bank and program (0..127 each), with an iteration cursor.
// The synthesizer's tuning operations check their channel and forward here.
//
// Thread contract: control thread, while no voice reads the tunings being changed.
#pragma once

#include "sampler/src/voice/korvel_tuning.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_tuning_table_t {
    korvel_tuning_t*** bank; // 128 banks of 128 programs, each allocated when its first tuning is made
    korvel_tuning_t* cursor; // the tuning the iteration returned last
} korvel_tuning_table_t;

// Releases every tuning and the arrays; the table is empty afterwards.
void korvel_tuning_table_clear(korvel_tuning_table_t* table);
// The tuning at bank and program, or null (also for numbers out of range).
korvel_tuning_t* korvel_tuning_table_get(const korvel_tuning_table_t* table, int bank, int prog);
// Finds or creates the tuning, then copies the 128 pitches when given. 0, or -1 after logging ("Bank number out of
// range", "Program number out of range", "Out of memory").
int korvel_tuning_table_create_key_tuning(korvel_tuning_table_t* table, int bank, int prog, const char* name,
                                          const double* pitch);
// Like the key version, but from 12 per-pitch-class offsets repeated in every octave. 0 or -1 as above.
int korvel_tuning_table_create_octave_tuning(korvel_tuning_table_t* table, int bank, int prog, const char* name,
                                             const double* pitch);
// Sets the pitch of count keys of an existing tuning; keys of 128 and above are skipped. 0; -1 with "No tuning at
// bank %d, prog %d" when there is none.
int korvel_tuning_table_tune_notes(korvel_tuning_table_t* table, int bank, int prog, int len, const int* keys,
                                   const double* pitch);
void korvel_tuning_table_iteration_start(korvel_tuning_table_t* table);
// 1 with the bank and program of the next tuning, 0 at the end.
int korvel_tuning_table_iteration_next(korvel_tuning_table_t* table, int* bank, int* prog);
// Copies the name (at most len - 1 characters) and the 128 pitches, each when asked for. 0; -1 with "No tuning at
// bank %d, prog %d".
int korvel_tuning_table_dump(const korvel_tuning_table_t* table, int bank, int prog, char* name, int len,
                             double* pitch);

#ifdef __cplusplus
}
#endif
