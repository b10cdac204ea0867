#pragma once
// Argument checks shared by the shell's command functions.

#include "sampler/src/shell/korvel_cmd_stream.h"
#include "sampler/src/shell/korvel_cmd_text.h"

namespace korvel_cmd {

// True when the first `count` arguments all pass korvel_is_number.
inline bool allNumbers(int count, char** av) {
  for (int i = 0; i < count; i++) {
    if (!korvel_is_number(av[i])) return false;
  }
  return true;
}

}  // namespace korvel_cmd

// Prints the message (a format with its arguments, checked by the compiler) and gives the failure result -1.
#define KORVEL_CMD_REFUSE(out, ...) (korvel_ostream_printf((out), __VA_ARGS__), -1)
