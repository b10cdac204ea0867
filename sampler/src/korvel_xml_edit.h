// Applies XML fragments to existing presets, instruments and samples of a synthesizer's first sound font
// (editing by unique identifier). Editing never creates objects: each element finds its object through the
// process-wide current numbers and changes the attributes it carries. Names are cut to 20 characters.
//
// Thread contract: control thread only, while no voice plays the bank.
#pragma once

#include "sampler/src/korvel_synth.h"

#ifdef __cplusplus
extern "C" {
#endif

// Accepts a sound-bank fragment (nothing of the bank changes): the text length, or 0 after a parse error.
int korvel_defsfont_set_soundbank(korvel_synth_t* synth, int unused, const char* text);
// Makes uid current and applies the fragment: the text length; 0 when the object is missing or on a parse error.
int korvel_defsfont_set_preset(korvel_synth_t* synth, unsigned int uid, const char* text);
int korvel_defsfont_set_instrument(korvel_synth_t* synth, unsigned int uid, const char* text);
int korvel_defsfont_set_sample(korvel_synth_t* synth, unsigned int uid, const char* text);
// Apply a file with the editing handlers: the bytes parsed.
int korvel_defsfont_set_presets_from_file(korvel_synth_t* synth, const char* path);
int korvel_defsfont_set_instruments_from_file(korvel_synth_t* synth, const char* path);
int korvel_defsfont_set_samples_from_file(korvel_synth_t* synth, const char* path);

#ifdef __cplusplus
}
#endif
