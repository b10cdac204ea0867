// The recipes of the 128 melodic programs: per General MIDI family (eight programs each) a tone model that renders
// the samples, the spectrum the sustained part settles into, the volume envelope and the filter's movement, with
// programs of their own where the family's recipe would not sound like the name (organs of reeds, synthetic basses
// and brass, plucked and struck strings of the orchestra, the ethnic winds).
//
// Thread contract: immutable tables and pure functions; any thread.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace bankgen {

// How the attack of a sample is rendered before it settles into its looped period.
enum class ToneModel : std::uint8_t {
    additive,      // no attack of its own: the envelopes and the filter shape it
    piano,         // stretched (inharmonic) partials and hammer noise
    electricPiano, // a sine-like tone with a fast-dying tine partial
    mallet,        // modes of a struck bar or bell at inharmonic ratios
    organ,         // key click
    plucked,       // a plucked string model
    bowed,         // bow noise, upper partials coming in late
    brass,         // partials entering from the lowest up
    reed,          // breath and a quick onset
    pipe,          // breath chiff
    noise,         // looped noise for the sound effects
};

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
    float decay;           // from full level to the sustain level
    float sustainDecibels; // attenuation while held; 100 for sounds that die away
    float release;
};

// The low-pass filter: its cutoff as a multiple of the region's root frequency, and how the modulation envelope and
// LFO move it.
struct FilterRecipe {
    float cutoffHarmonic = 0; // 0 leaves the filter open
    float resonanceDecibels = 0;
    float envelopeAttack = 0.001f;
    float envelopeDecay = 1.0f;
    float envelopeSustain = 1.0f; // drop from the peak while held, 0..1
    float envelopeRelease = 0.3f;
    float envelopeCents = 0;
    float lfoCents = 0;
};

struct VoiceRecipe {
    ToneModel model = ToneModel::additive;
    Spectrum spectrum{1.0f, 1.0f, {1, 1, 1, 1, 1, 1, 1, 1}, 40};
    EnvelopeSeconds envelope{0.005f, 1.0f, 0, 0.2f};
    std::int16_t decayTimecentsPerKey = 0; // negative: higher notes die away sooner
    float vibratoCents = 0;                // depth of a delayed vibrato; 0 for none
    FilterRecipe filter{};
    bool layered = false;        // ensembles and pads: two detuned layers where the voicing has them
    bool velocityTimbre = false; // soft notes are darker
    float transientSeconds = 0.05f;
    float brightness = 0.5f;       // of the pluck or hammer, 0..1
    std::array<float, 3> modes{}; // mallet: ratios of the inharmonic modes to the fundamental; 0 ends the list
};

// The recipe of a program (0..127).
const VoiceRecipe& recipeForProgram(std::uint8_t program);

// Amplitudes of harmonics 1..count of the program's spectrum, count being the most harmonics the region's highest
// key can carry without aliasing. Programs of one family differ slightly in brightness; rolloffOffset is the
// voicing's tilt.
std::vector<float> harmonicAmplitudes(std::uint8_t program, std::uint32_t count, float rolloffOffset);

// The pluck or hammer brightness of a program: the family's, a little darker to a little brighter across it.
float brightnessOf(std::uint8_t program);

} // namespace bankgen
