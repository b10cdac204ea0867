#pragma once
// The shell's "help" and "quit" commands.
//
// Thread contract: as korvel_cmd.h.

#include "sampler/src/shell/korvel_cmd_stream.h"

#ifdef __cplusplus
extern "C" {
#endif

// "help [topic]": the help texts of the built-in commands of a topic ("general" without one); "help help" lists the
// topics, "help all" prints every help text.
int korvel_handle_help(void* data, int ac, char** av, korvel_ostream_t out);
// "quit": prints "cheers!\n" and gives -2, which ends the shell loop.
int korvel_handle_quit(void* data, int ac, char** av, korvel_ostream_t out);

#ifdef __cplusplus
}
#endif
