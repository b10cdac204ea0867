#pragma once
// The shell's tuning commands: create, retune, select, reset, list and dump the tunings of the synthesizer given as
// data. Banks, programs and keys are 0 to 127, channels 0 to the MIDI channel count - 1.
//
// Thread contract: as korvel_cmd.h.

#include "sampler/src/shell/korvel_cmd_stream.h"

#ifdef __cplusplus
extern "C" {
#endif

// "tuning name bank prog": creates (or renames) an equal-tempered tuning.
int korvel_handle_tuning(void* synth, int ac, char** av, korvel_ostream_t out);
// "tune bank prog key pitch": the key's pitch in cents (0 or more) in an existing tuning.
int korvel_handle_tune(void* synth, int ac, char** av, korvel_ostream_t out);
// "settuning chan bank prog" and "resettuning chan".
int korvel_handle_settuning(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_resettuning(void* synth, int ac, char** av, korvel_ostream_t out);
// "tunings": bank-program and name of every tuning. "dumptuning bank prog": the name and the 128 pitches.
int korvel_handle_tunings(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_dumptuning(void* synth, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
