// The voicing of one sound set: how its bank renders the common instrument recipes. Each generated bank has its own,
// so the six sets differ in sample rate and bandwidth, brightness, envelopes, layering and stereo width.
//
// Thread contract: immutable values; any thread.
#pragma once

#include <cstdint>

namespace bankgen {

struct Voicing {
    // Rate of every sample. The A notes the samples are rooted on must have whole periods at it, up to topRootKey.
    std::uint32_t rateHz;
    std::uint8_t topRootKey;       // the highest region's root; 81 or 93
    float rolloffOffset;           // added to every spectrum's rolloff; negative is brighter
    std::int16_t cutoffOffsetCents; // added to every filter cutoff
    float transientScale;          // length of the rendered attacks
    float timeScale;               // decay and release times
    float ensembleDetuneCents;     // layers of ensembles and pads are this far apart; 0 for one layer
    std::int16_t layerPan;         // pan of the two layers (-500..500); 0 keeps them in the middle
    bool velocityLayers;           // soft notes play a darker zone in the families where loudness changes the timbre
    float vibratoScale;
    float inharmonicityScale;      // of the struck strings
    float kitPanScale;
    std::uint32_t seed;            // of the noise in attacks and drums
    // Added to the level every program is brought to, so that the sets play a song equally loud: a dark voicing
    // loses more to its filters than the levelling reckons.
    float programLevelDecibels = 0.0f;
};

} // namespace bankgen
