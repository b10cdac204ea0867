#include "sampler/src/sys/korvel_shell_settings.h"

extern "C" void korvel_shell_settings(korvel_settings_t* settings) {
  korvel_settings_register_str(settings, "shell.prompt", "", 0, nullptr, nullptr);
  korvel_settings_register_int(settings, "shell.port", 9800, 1, 65535, 0, nullptr, nullptr);
}
