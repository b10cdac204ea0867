// Steps of a voice's life shared by its source files: parameter set-up, release, the end of a note and the sample
// checks of rendering. Same thread contract as korvel_voice.h.
#pragma once

#include "sampler/src/voice/korvel_voice.h"

#ifdef __cplusplus
extern "C" {
#endif

// Output amplitude (share of full scale) below which a voice past its attack ends: by its envelope alone, and by
// the loudest it can still be made to sound (-100 dB). Measured on the generated banks' demo songs and the dense
// bench song, a render with the second differs by at most -113 dB of full scale from one where no voice ends by
// its level; the first alone differs by up to -87 dB.
#define KORVEL_NOISE_FLOOR 0.00003f
#define KORVEL_LEVEL_FLOOR 0.00001f

// Adds every modulator's value to its destination, gives generator 59 the note's pitch and applies the generators.
void korvel_voice_calculate_runtime_synthesis_parameters(korvel_voice_t* voice);
// The lowest attenuation the voice's controller modulators can reach, in cB, never below 0.
float korvel_voice_get_lower_boundary_for_attenuation(korvel_voice_t* voice);
// Blocks of the hold (is_decay 0) or decay section from a time generator and its key-scaling generator.
int calculate_hold_decay_buffers(korvel_voice_t* voice, int time_gen, int keynum_gen, int is_decay);
// Both envelopes into their release section.
void korvel_voice_enter_release(korvel_voice_t* voice);
// Ends the note: no channel, envelopes finished, status off, one user less for the sample.
void korvel_voice_end(korvel_voice_t* voice);
// Keeps play and loop positions inside the sample when a check was asked for; may end the voice.
void korvel_voice_check_sample_sanity(korvel_voice_t* voice);

#ifdef __cplusplus
}
#endif
