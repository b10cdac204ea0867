// Rendering of the melodic samples: an attack by the program's tone model that settles into whole periods of its
// root key, followed by the looped period. The attack is a whole number of periods, and its last period is the
// loop's own, so interpolation before the loop start reads the points the loop repeats.
//
// Thread contract: pure functions; any thread.
#pragma once

#include "tools/bankgen/MelodicVoices.h"
#include "tools/bankgen/ProgramSet.h"

#include <cstdint>
#include <span>
#include <string>

namespace bankgen {

struct ToneRequest {
    ToneModel model;
    std::uint8_t rootKey;
    std::uint32_t rateHz;           // the root key's period must be whole points at this rate
    std::span<const float> harmonics; // amplitudes of the settled tone's harmonics 1, 2, ...
    float transientSeconds;         // length of the attack at the lowest root; higher roots get less
    float brightness;               // of the pluck or hammer, 0..1
    float inharmonicity;            // of the piano's strings
    std::array<float, 3> modes;     // mallet: inharmonic mode ratios
    std::uint32_t seed;
};

GeneratedSample renderTone(std::string name, const ToneRequest& request);

// The RMS level (0..1 of full scale) of the first `seconds` a sample plays, its loop repeated as long as needed.
double onsetLevel(const GeneratedSample& sample, double seconds);

// Raises a sample whose onset level lies below `level` by driving it into a soft limit at its own peak, point by
// point (so its loop stays seamless), as far as reaches the level or at most 12 dB: a pluck whose short spike
// holds the sample's peak then plays as loud as the other programs, its attack rounded as a player's compressor
// would round it. A sample at the level or above is left as it is.
void driveToLevel(GeneratedSample& sample, double level, double seconds);

} // namespace bankgen
