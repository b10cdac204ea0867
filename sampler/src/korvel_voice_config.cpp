#include "sampler/src/korvel_voice_config.h"

extern "C" void korvel_voice_config(void) {}
