// What a voice takes from its channel and note: the generator start values with the channel's NRPN offsets, and the
// modulators' source values (controllers, pressures, pitch wheel, key and velocity).
#pragma once

#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// The generator defaults and names, with the channel's NRPN offsets and absolute flags. Returns 0.
int korvel_gen_init(korvel_gen_t* gen, korvel_channel_t* channel);
// The modulator's current contribution for the note of voice on channel. Audio thread; needs the conversion tables.
float korvel_mod_get_value(const korvel_mod_t* mod, const korvel_channel_t* chan, const korvel_voice_t* voice);

#ifdef __cplusplus
}
#endif
