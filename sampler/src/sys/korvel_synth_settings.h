#pragma once
// The synthesizer's settings keys.
//
// Thread contract: control thread, while no synthesizer on the registry renders.

#include "sampler/src/sys/korvel_settings.h"

#ifdef __cplusplus
extern "C" {
#endif

// Registers the "synth." keys with their defaults and ranges.
void korvel_synth_settings(korvel_settings_t* settings);

#ifdef __cplusplus
}
#endif
