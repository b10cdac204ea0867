#pragma once
// The shell's event commands: notes, controllers and programs sent to the synthesizer given as data.
//
// Thread contract: as korvel_cmd.h; they call the synthesizer's MIDI functions.

#include "sampler/src/shell/korvel_cmd_stream.h"

#ifdef __cplusplus
extern "C" {
#endif

// "noteon chan key vel", "noteoff chan key", "cc chan ctrl value", "prog chan num": the synthesizer's result.
int korvel_handle_noteon(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_noteoff(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_cc(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_prog(void* synth, int ac, char** av, korvel_ostream_t out);
// "select chan sfont bank prog": font 0 selects by bank and program alone.
int korvel_handle_select(void* synth, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
