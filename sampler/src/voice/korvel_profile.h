// The product's sound choices beyond the library's as-built behaviour, kept out of the settings registry so that
// its keys and their order stay as they are. Every switch is off by default: then the synthesizer renders exactly
// as built. The product turns them all on (korvel_product_profile).
//
// Thread contract: a synthesizer's profile is set on the control thread while nothing renders; voices and the
// block mixer read it on the render thread.
#pragma once

#include "sampler/src/sys/korvel_types.h"

struct korvel_profile_t {
    // Voices on the channel default interpolation read four points (cubic) instead of the nearest one.
    bool four_point_default = false;
    // Voices run their resonant low-pass filter, with coefficients for the output sample rate.
    bool voice_filter = false;
    // Voices feed the reverb and chorus send buses by their send levels.
    bool voice_sends = false;
    // Reverb and chorus run on after the last voice ends, until their output has stayed quiet for a while.
    bool effect_tails = false;
    // The pulls render exactly the frames they hand out, so that a note started between two pulls sounds from the
    // frame where the first ended instead of from the next block.
    bool event_offsets = false;
    // Share of a zone's own attenuation (the bank's initial attenuation generator) that reaches the voice's gain;
    // modulators, NRPN offsets and banks that state their gains in full (DLS) count in full.
    float attenuation_share = 1.0f;
    // Gains of the voices' reverb and chorus sends (with voice_sends), on top of the send level the bank and the
    // send controllers give (controller 91 or 93 at 127 gives 0.2 through the default modulators).
    float reverb_send_gain = 1.0f;
    float chorus_send_gain = 1.0f;
    // Depth in cB of the default velocity-to-attenuation modulator; 0 keeps the library's own (200 cB).
    float velocity_attenuation_cb = 0.0f;
    // A voice past its attack ends once the loudest it can still be made to sound falls below -100 dB of full scale,
    // the master gain counting only above 1: its sample's peak (its loop's once it has looped and still loops, with
    // what follows the loop when it leaves the loop at release), the least attenuation its controllers, pressure
    // and pitch wheel can still bring in any section of its envelope (the modulation LFO at its deepest), the most
    // its pan and sends can give and its filter's resonance. Without it a voice ends by its envelope alone, as if
    // its sample were at full scale.
    bool level_end_test = false;
};

// All switches on, and the levels of common SoundFont players, for which banks are voiced:
// - Attenuation counts at 0.4 of its value, the convention of the sound cards the format was first made for,
//   which players have kept (the peer we compare against takes 0.38): a bank that says 250 cB means about 10 dB.
//   Our generated SoundFont 2 banks write their levels for it (2.5 cB a dB); their DLS forms state the same
//   levels in full. Counting SoundFont attenuation in full instead puts quiet instruments (breath noise, a square
//   lead) 9 to 19 dB below the others.
// - A full reverb send leaves the reverb about 4 dB below the dry sound, as players commonly have it: at send gain
//   1 our reverb (with its wet level of 3) stands about 8 dB above the dry sound of a broadband tone, so the reverb
//   send takes a quarter (-12 dB). A full chorus send already sits about 1 dB below the dry sound and stays.
// - Velocity reaches the level through a 960 cB modulator, the depth the format itself gives: with the library's
//   200 cB a note at velocity 40 is only about 3 dB below one at 100, so soft accompaniment sits too loud.
// - A voice ends by the level it really has against the noise floor.
constexpr korvel_profile_t korvel_product_profile{true, true, true, true, true, 0.4f, 0.25f, 1.0f, 960.0f, true};
