// The MIDI channel: creation, bank and program, and the controller, pitch-wheel and NRPN input that changes its
// record (korvel_chan_state.h).
#pragma once

#include "sampler/src/voice/korvel_chan_state.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_DRUM_CHANNEL = 9 };

// Channel records live with their synthesizer: created and deleted on the control thread, everything else on the
// thread that renders and handles MIDI.

// A channel with its defaults (see korvel_channel_reset); null with "Out of memory".
korvel_channel_t* new_korvel_channel(korvel_synth_t* synth, int num);
// Null is accepted. 0.
int delete_korvel_channel(korvel_channel_t* chan);
// Bank and program (channel 9 bank 128 program 0, channel n bank 0 program n), its preset, interpolation method
// 4, no tuning, no NRPN selection.
void korvel_channel_init(korvel_channel_t* chan);
// Pressures 0, pitch bend 8192, sensitivity 2, controllers 0 except volume 127, pan 64, expression 127 and
// controller 43 127; generator offsets cleared.
void korvel_channel_init_ctrl(korvel_channel_t* chan);
// Both of the above.
void korvel_channel_reset(korvel_channel_t* chan);
// Replaces the channel's preset, telling the old and the new one through their notify operation.
int korvel_channel_set_preset(korvel_channel_t* chan, korvel_preset_t* preset);
korvel_preset_t* korvel_channel_get_preset(korvel_channel_t* chan);
unsigned int korvel_channel_get_banknum(korvel_channel_t* chan);
int korvel_channel_set_banknum(korvel_channel_t* chan, unsigned int bank);
int korvel_channel_get_prognum(korvel_channel_t* chan);
int korvel_channel_set_prognum(korvel_channel_t* chan, int prog);
unsigned int korvel_channel_get_sfontnum(korvel_channel_t* chan);
int korvel_channel_set_sfontnum(korvel_channel_t* chan, unsigned int sfont);
int korvel_channel_get_num(korvel_channel_t* chan);
int korvel_channel_get_interp_method(korvel_channel_t* chan);
void korvel_channel_set_interp_method(korvel_channel_t* chan, int method);
// 0 for a controller above 127.
int korvel_channel_get_cc(korvel_channel_t* chan, int num);

// MIDI input on the channel, on the thread that renders and handles MIDI, between blocks.
// Stores the controller value (a number outside 0..127 changes nothing) and acts on it: bank select, data entry
// for the generator NRPNs, sustain, NRPN and RPN selection, sounds and notes off, reset of all controllers, or the
// voices' modulators of that controller. 0.
int korvel_channel_cc(korvel_channel_t* chan, int num, int value);
// Pitch bend := lsb + msb * 128, each byte taken as its low 7 bits; the voices' pitch-wheel modulators follow. 0.
int korvel_channel_pitch_bend(korvel_channel_t* chan, int lsb, int msb);
// Sensitivity in semitones; the voices' sensitivity modulators follow. 0.
int korvel_channel_pitch_wheel_sens(korvel_channel_t* chan, int value);

#ifdef __cplusplus
}
#endif
