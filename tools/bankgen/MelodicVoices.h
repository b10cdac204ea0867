// The recipes of the 128 melodic programs: a spectrum of harmonic partials and a volume envelope per General MIDI
// family (eight programs each), with a few programs of their own (square and saw leads, distorted guitars,
// plucked strings), and sound effects made from looped noise.
//
// Thread contract: immutable tables and pure functions; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace bankgen {

// Harmonic h (1-based) sounds at shape[h - 1] (1 above the eighth) x h^-rolloff, times evenGain when h is even;
// harmonics above maxHarmonic are silent.
struct Spectrum {
    float rolloff;
    float evenGain;
    std::array<float, 8> shape;
    std::uint8_t maxHarmonic;
};

struct EnvelopeSeconds {
    float attack;
    float decay;
    float sustainDecibels; // attenuation while held; 100 for sounds that die away
    float release;
};

struct VoiceRecipe {
    Spectrum spectrum;
    EnvelopeSeconds envelope;
    float attenuationDecibels;
    bool noise; // looped noise instead of a harmonic cycle
    std::int16_t decayTimecentsPerKey = 0; // negative: higher notes die away sooner
    float vibratoCents = 0;                // depth of a delayed vibrato; 0 for none
};

// The recipe of a program (0..127).
const VoiceRecipe& recipeForProgram(std::uint8_t program);

// Amplitudes of harmonics 1..count of the program's spectrum, count being the most harmonics the region's highest
// key can carry without aliasing. Programs of one family differ slightly in brightness.
std::vector<float> harmonicAmplitudes(std::uint8_t program, std::uint32_t count);

} // namespace bankgen
