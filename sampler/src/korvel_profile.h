// The product's sound choices beyond the library's as-built behaviour, kept out of the settings registry so that
// its keys and their order stay as they are. Every switch is off by default: then the synthesizer renders exactly
// as built. The product turns them all on (korvel_product_profile).
//
// Thread contract: a synthesizer's profile is set on the control thread while nothing renders; voices and the
// block mixer read it on the render thread.
#pragma once

#include "sampler/src/korvel_types.h"

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
    // Share of a zone's own attenuation (the initial attenuation generator of the bank) that reaches the voice's
    // gain; modulators and NRPN offsets count in full. SoundFont players commonly take 0.4 of it, the convention of
    // the sound cards the format was made for, and banks are voiced for that: in full, quiet instruments such as
    // breath noise or a square lead end up 9 to 19 dB below the others.
    float attenuation_share = 1.0f;
    // Gain of the voices' reverb and chorus sends (with voice_sends). Common players put a full send (controller
    // 91 or 93 at 127, a send of 0.2 by the default modulators) about 4 dB below the dry sound; at 1 our reverb
    // is about 5 dB above it.
    float send_gain = 1.0f;
};

// All switches on. The attenuation and the sends stay in full for now: the banks the project generates are voiced
// for them (their level tests hold every program within 6 dB of the set's median), and moving to the common
// players' 0.4 and a lower send gain needs the banks revoiced with it.
constexpr korvel_profile_t korvel_product_profile{true, true, true, true, true, 1.0f, 1.0f};
