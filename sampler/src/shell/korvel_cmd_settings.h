#pragma once
// The shell's settings commands, on the registry of the synthesizer given as data.
//
// Thread contract: as korvel_cmd.h; the registry shares one name splitter and one iteration state, so only one
// thread uses it at a time.

#include "sampler/src/shell/korvel_cmd_stream.h"

#ifdef __cplusplus
extern "C" {
#endif

// "set name value": a value that is no number is set as a string, a number with "." as a number, any other number
// as an integer. 0; -1 with "set: failed to set '%s'.\n" when the registry refuses (another type, a path through
// a setting).
int korvel_handle_set(void* synth, int ac, char** av, korvel_ostream_t out);
// "get name": the value without a line end ("%.3f", "%d", "%s", or "%s is a node").
int korvel_handle_get(void* synth, int ac, char** av, korvel_ostream_t out);
// "info name": type, value, range or options, default and whether a change reaches the synthesizer at once.
int korvel_handle_info(void* synth, int ac, char** av, korvel_ostream_t out);
// "settings": every setting and its value, the names padded to the longest.
int korvel_handle_settings(void* synth, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
