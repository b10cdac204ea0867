#pragma once
// The command shell's settings keys.
//
// Thread contract: control thread.

#include "sampler/src/sys/korvel_settings.h"

#ifdef __cplusplus
extern "C" {
#endif

// Registers "shell.prompt" (read once when a shell loop starts) and "shell.port" (read by nothing).
void korvel_shell_settings(korvel_settings_t* settings);

#ifdef __cplusplus
}
#endif
