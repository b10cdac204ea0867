// The program's "noteoff": the library's command, except that releasing a note that has already died away (a drum
// hit, a one-shot sample) counts as done. A script cannot know when a sound ended, so it is no failure of the
// script.
//
// Thread contract: the command shell's thread.
#pragma once

#include "sampler/src/shell/korvel_cmd.h"
#include "sampler/src/synth/korvel_synth.h"

namespace korvelshell {

// Registers "noteoff" in the handler in place of the library's, with the synthesizer as its data. 0, or -1 when
// out of memory.
int registerNoteOffCommand(korvel_cmd_handler_t* handler, korvel_synth_t* synth);

// The command: the library's answers for missing or malformed arguments and channels out of range; 0 for a key
// of a valid channel whether or not it still sounds.
int handleNoteOff(void* synth, int ac, char** av, korvel_ostream_t out);

} // namespace korvelshell
