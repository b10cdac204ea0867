// Note-on of a bank preset: which preset and instrument zones sound for a key and velocity, and how their
// generators and modulators combine on a voice.
//
// Thread contract: the thread that handles MIDI and renders; nothing here allocates.
#pragma once

#include "sampler/src/bank/korvel_defpreset.h"
#include "sampler/src/bank/korvel_inst.h"
#include "sampler/src/voice/korvel_voice.h"

#ifdef __cplusplus
extern "C" {
#endif

// Receives one sounding pair of zones; a non-zero result stops the walk.
typedef int (*korvel_zone_pair_fn)(korvel_preset_zone_t* pzone, korvel_inst_t* inst, korvel_inst_zone_t* izone,
                                   void* data);

// Walks the preset's zones, and for each the zones of its instrument, in list order, and calls found for every
// pair that holds key and velocity, is not muted and plays a sample that can play. The global zones are not
// walked. 0, or -1 when found stopped the walk.
int korvel_defpreset_match_zones(korvel_defpreset_t* preset, int key, int vel, korvel_zone_pair_fn found,
                                 void* data);

// Puts the generators and modulators of one pair of zones on a voice that holds its defaults: instrument values are
// absolute (the zone's over the instrument's global zone), preset values are added (the zone's over the preset's
// global zone, never for the generators only instruments may carry); modulators of a zone replace identical ones of
// its global zone, instrument modulators overwrite and preset modulators add, the latter only when not 0.
void korvel_defpreset_setup_voice(korvel_voice_t* voice, korvel_defpreset_t* preset, korvel_preset_zone_t* pzone,
                                  korvel_inst_t* inst, korvel_inst_zone_t* izone);

// Starts one voice of the synthesizer for every sounding pair of zones. 0 when done (also when nothing matched);
// -1 when no voice could be had (voices already started keep sounding).
int korvel_defpreset_noteon(korvel_defpreset_t* preset, korvel_synth_t* synth, int chan, int key, int vel);

#ifdef __cplusplus
}
#endif
