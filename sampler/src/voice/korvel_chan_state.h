// The MIDI channel record: bank and program, controllers, pitch wheel, tuning and the channel's generator offsets.
// Voices read it when they start and whenever their modulators follow a controller; the channel functions that
// change it live with the synthesizer (korvel_chan.h).
#pragma once

#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

struct _korvel_channel_t {
    unsigned int channum;
    unsigned int sfontnum;
    unsigned int banknum;
    unsigned int prognum;
    korvel_preset_t* preset;
    korvel_synth_t* synth; // borrowed
    short key_pressure;
    short channel_pressure;
    short pitch_bend;
    short pitch_wheel_sensitivity;
    short cc[128];
    unsigned char bank_msb;
    int interp_method;
    korvel_tuning_t* tuning; // borrowed from the synthesizer's tuning table
    short nrpn_select;
    unsigned char nrpn_msb;
    unsigned char nrpn_lsb;
    float gen[GEN_LAST];
    unsigned char gen_abs[GEN_LAST];
};

#ifdef __cplusplus
}
#endif
