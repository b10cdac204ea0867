#pragma once
// The command loop of korvelshell: the library's shell loop, except that every answer reaches standard output as a
// whole line, so that a value printed by "get" is not run together with the next answer.

#include "sampler/src/shell/korvel_cmd.h"

namespace korvelshell {

// Runs the lines read from in as commands of handler until a quit, the end of input or a read failure (an
// over-long line is one), and writes each command's answer to out, followed by a line end when it has none of its
// own. Returns how many lines failed, or -1 when the loop could not be set up.
int runAnswerShell(korvel_cmd_handler_t* handler, int in, int out);

} // namespace korvelshell
