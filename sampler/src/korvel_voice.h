// The voice record: one sounding sample of one note.
#pragma once

#include "sampler/src/korvel_gen.h"
#include "sampler/src/korvel_mod.h"
#include "sampler/src/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_VOICE_MAX_MODS = 64 };

enum korvel_voice_status {
    KORVEL_VOICE_CLEAN,
    KORVEL_VOICE_ON,
    KORVEL_VOICE_SUSTAINED,
    KORVEL_VOICE_OFF
};

struct _korvel_voice_t {
    korvel_synth_t* owner;
    unsigned int id;
    unsigned char status;
    unsigned char chan; // 255 when the voice belongs to no channel
    unsigned char key;
    unsigned char vel;
    float output_rate;
    korvel_channel_t* channel;
    korvel_gen_t gen[GEN_LAST];
    korvel_mod_t mod[KORVEL_VOICE_MAX_MODS];
    int mod_count;
};

// How korvel_voice_add_mod treats a modulator identical to one the voice holds.
enum korvel_voice_addmod {
    KORVEL_VOICE_OVERWRITE = 0, // take the new amount
    KORVEL_VOICE_ADD = 1,       // add the new amount
    KORVEL_VOICE_DEFAULT = 2    // append without looking
};

// The generator and modulator operations touch only the voice record: call them on the thread that renders,
// between blocks (note-on and MIDI handling).

// Sets the generator's value and marks it set.
void korvel_voice_gen_set(korvel_voice_t* voice, int gen, float value);
// Adds to the generator's value and marks it set.
void korvel_voice_gen_incr(korvel_voice_t* voice, int gen, float value);
float korvel_voice_gen_get(const korvel_voice_t* voice, int gen);
// value + modulation + NRPN offset, or the NRPN offset alone for an absolute NRPN value.
float korvel_voice_gen_value(const korvel_voice_t* voice, int gen);
// Adds a copy of mod by mode. A general source other than none, velocity, key, poly and channel pressure, pitch
// wheel and its sensitivity is refused with a warning; nothing is added once the voice holds 64 modulators.
void korvel_voice_add_mod(korvel_voice_t* voice, const korvel_mod_t* mod, int mode);

// Prepares a sample for playing; samples need no preparation here, so it returns 0. Control thread.
int korvel_voice_optimize_sample(korvel_sample_t* sample);

#ifdef __cplusplus
}
#endif
