#include "sampler/src/voice/korvel_voice_config.h"

extern "C" void korvel_voice_config(void) {}
