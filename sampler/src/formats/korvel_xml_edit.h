// Edits presets, instruments and samples already in a synthesizer's first sound font from XML fragments, matched by
// unique identifier. Nothing is created: an element picks its target through the process-wide current numbers and
// sets only the attributes it has. Names are truncated to 20 characters.
//
// Thread contract: control thread only, while no voice plays the bank.
#pragma once

#include "sampler/src/synth/korvel_synth.h"

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
