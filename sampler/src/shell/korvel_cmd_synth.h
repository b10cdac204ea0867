#pragma once
// The shell's general synthesizer commands: interpolation, gain, system reset and echo.
//
// Thread contract: as korvel_cmd.h.

#include "sampler/src/shell/korvel_cmd_stream.h"

#ifdef __cplusplus
extern "C" {
#endif

// "interp num" (0 to 7, every channel) and "interpc chan num".
int korvel_handle_interp(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_interpc(void* synth, int ac, char** av, korvel_ostream_t out);
// "gain value", 0 to 5.
int korvel_handle_gain(void* synth, int ac, char** av, korvel_ostream_t out);
// "reset": a system reset. 0.
int korvel_handle_reset(void* synth, int ac, char** av, korvel_ostream_t out);
// "echo arg": prints the text and a line end.
int korvel_handle_echo(void* synth, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
