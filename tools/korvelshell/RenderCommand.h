// The program's own shell command "render msec", which lets time pass in a script: it renders that many
// milliseconds of audio (into the WAV file when one is open).
//
// Thread contract: the command shell's thread.
#pragma once

#include "sampler/src/shell/korvel_cmd.h"
#include "tools/korvelshell/OfflineRender.h"

namespace korvelshell {

// Registers "render" in the handler with the renderer as its data. 0, or -1 when out of memory.
int registerRenderCommand(korvel_cmd_handler_t* handler, OfflineRender* render);

// The command: "render: too few arguments.\n", "render: invalid duration.\n" for a text that is no number or a
// negative or over-long (one hour or more) duration, "render: writing failed: %s\n" when the file cannot take
// the audio.
int handleRender(void* render, int ac, char** av, korvel_ostream_t out);

} // namespace korvelshell
