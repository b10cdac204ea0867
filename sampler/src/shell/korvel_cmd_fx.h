#pragma once
// The shell's reverb and chorus commands, on the units of the synthesizer given as data.
//
// Thread contract: as korvel_cmd.h; the units are changed while no block renders.

#include "sampler/src/shell/korvel_cmd_stream.h"

#ifdef __cplusplus
extern "C" {
#endif

// "rev_preset num", "rev_setroomsize num" (0 to 1.2), "rev_setdamp num" (0 to 1), "rev_setwidth num" (0 to 100;
// beyond prints a message and gives 0), "rev_setlevel num" (integer part -30 to 30; beyond prints a message and
// gives 0), "reverb [0|1|on|off]".
int korvel_handle_rev_preset(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_rev_setroomsize(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_rev_setdamp(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_rev_setwidth(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_rev_setlevel(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_reverb(void* synth, int ac, char** av, korvel_ostream_t out);
// "cho_set_nr n", "cho_set_level num", "cho_set_speed num" (Hz), "cho_set_depth num" (ms): staged on the chorus,
// then its update (which limits them) gives the result. "chorus [0|1|on|off]".
int korvel_handle_cho_set_nr(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_cho_set_level(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_cho_set_speed(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_cho_set_depth(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_chorus(void* synth, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
