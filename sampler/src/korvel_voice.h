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

// Prepares a sample for playing; samples need no preparation here, so it returns 0. Control thread.
int korvel_voice_optimize_sample(korvel_sample_t* sample);

#ifdef __cplusplus
}
#endif
