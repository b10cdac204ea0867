#pragma once
// The shell's sound-font commands: load, unload and reload sound fonts and list fonts, presets and channels of
// the synthesizer given as data.
//
// Thread contract: as korvel_cmd.h; loading and unloading run while nothing renders the synthesizer.

#include "sampler/src/shell/korvel_cmd_stream.h"

#ifdef __cplusplus
extern "C" {
#endif

// "load file [reset] [bank_offset]": reset 1 and offset 0 unless given; more than three texts keep both defaults.
// A path longer than 1022 characters once "~/" is expanded is refused, not cut.
int korvel_handle_load(void* synth, int ac, char** av, korvel_ostream_t out);
// "unload id [reset]" and "reload id".
int korvel_handle_unload(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_reload(void* synth, int ac, char** av, korvel_ostream_t out);
// "fonts": id and name of each loaded font. "inst font": bank-program and name of each preset of the font.
int korvel_handle_fonts(void* synth, int ac, char** av, korvel_ostream_t out);
int korvel_handle_inst(void* synth, int ac, char** av, korvel_ostream_t out);
// "channels [-verbose]": the preset of every MIDI channel.
int korvel_handle_channels(void* synth, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
