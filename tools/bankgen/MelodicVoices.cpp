#include "tools/bankgen/MelodicVoices.h"

#include <algorithm>
#include <cmath>

namespace bankgen {

namespace {

constexpr std::array<float, 8> kFlat{1, 1, 1, 1, 1, 1, 1, 1};
constexpr float kDies = 100.0f;
using M = ToneModel;

// A struck or plucked string darkens as it dies away: the filter starts open and closes with the envelope.
constexpr FilterRecipe kDarkening{.cutoffHarmonic = 5, .envelopeAttack = 0.001f, .envelopeDecay = 2.0f,
                                  .envelopeSustain = 1.0f, .envelopeRelease = 0.3f, .envelopeCents = 3000};

// One per family, in General MIDI order.
constexpr std::array<VoiceRecipe, 16> kFamilies{{
    // piano
    {.model = M::piano, .spectrum = {1.3f, 0.9f, {1, 0.9f, 0.7f, 0.8f, 0.5f, 0.4f, 0.3f, 0.3f}, 40},
     .envelope = {0.002f, 6.0f, kDies, 0.35f}, .decayTimecentsPerKey = -40, .filter = kDarkening,
     .velocityTimbre = true, .transientSeconds = 0.12f, .brightness = 0.6f},
    // chromatic percussion
    {.model = M::mallet, .spectrum = {0.0f, 1.0f, {1, 0.05f, 0.2f, 0.02f, 0.1f, 0, 0.05f, 0}, 8},
     .envelope = {0.001f, 3.0f, kDies, 0.6f}, .decayTimecentsPerKey = -30, .velocityTimbre = true,
     .transientSeconds = 0.1f, .brightness = 0.7f, .modes = {2.76f, 5.4f, 8.93f}},
    // organ
    {.model = M::organ, .spectrum = {0.0f, 1.0f, {1, 0.8f, 0.6f, 0.5f, 0, 0.4f, 0, 0.3f}, 8},
     .envelope = {0.005f, 0.1f, 0, 0.08f}, .transientSeconds = 0.01f},
    // guitar
    {.model = M::plucked, .envelope = {0.002f, 4.0f, kDies, 0.3f}, .decayTimecentsPerKey = -30,
     .filter = kDarkening, .velocityTimbre = true, .transientSeconds = 0.12f, .brightness = 0.55f},
    // bass
    {.model = M::plucked, .envelope = {0.003f, 5.0f, kDies, 0.15f}, .decayTimecentsPerKey = -20,
     .filter = {.cutoffHarmonic = 4, .envelopeDecay = 1.2f, .envelopeCents = 2000}, .velocityTimbre = true,
     .transientSeconds = 0.1f, .brightness = 0.3f},
    // strings
    {.model = M::bowed, .spectrum = {1.0f, 1.0f, kFlat, 40}, .envelope = {0.12f, 1.0f, 3, 0.35f},
     .vibratoCents = 12, .filter = {.cutoffHarmonic = 14}, .transientSeconds = 0.08f},
    // ensemble
    {.model = M::bowed, .spectrum = {1.2f, 1.0f, kFlat, 30}, .envelope = {0.25f, 1.0f, 2, 0.6f},
     .vibratoCents = 8, .filter = {.cutoffHarmonic = 10}, .layered = true, .transientSeconds = 0.06f},
    // brass
    {.model = M::brass, .spectrum = {0.8f, 1.0f, {0.7f, 1, 1, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f}, 30},
     .envelope = {0.04f, 0.4f, 4, 0.15f}, .vibratoCents = 6,
     .filter = {.cutoffHarmonic = 4, .envelopeAttack = 0.05f, .envelopeDecay = 0.5f, .envelopeSustain = 0.5f,
                .envelopeRelease = 0.15f, .envelopeCents = 2400},
     .velocityTimbre = true, .transientSeconds = 0.06f},
    // reed
    {.model = M::reed, .spectrum = {1.0f, 0.35f, kFlat, 24}, .envelope = {0.03f, 0.3f, 2, 0.12f},
     .vibratoCents = 10, .filter = {.cutoffHarmonic = 10}, .velocityTimbre = true, .transientSeconds = 0.05f},
    // pipe
    {.model = M::pipe, .spectrum = {2.4f, 0.5f, kFlat, 8}, .envelope = {0.06f, 0.3f, 1, 0.15f}, .vibratoCents = 10,
     .transientSeconds = 0.06f},
    // synth lead
    {.spectrum = {1.0f, 1.0f, kFlat, 40}, .envelope = {0.005f, 0.2f, 0, 0.1f}, .vibratoCents = 8,
     .filter = {.cutoffHarmonic = 3, .resonanceDecibels = 6, .envelopeAttack = 0.003f, .envelopeDecay = 0.35f,
                .envelopeSustain = 0.5f, .envelopeRelease = 0.1f, .envelopeCents = 2400},
     .velocityTimbre = true, .transientSeconds = 0},
    // synth pad
    {.spectrum = {1.5f, 1.0f, kFlat, 24}, .envelope = {0.6f, 1.5f, 0, 1.2f},
     .filter = {.cutoffHarmonic = 2, .resonanceDecibels = 3, .envelopeAttack = 1.2f, .envelopeDecay = 2.0f,
                .envelopeSustain = 0.4f, .envelopeRelease = 1.2f, .envelopeCents = 3000, .lfoCents = 250},
     .layered = true, .transientSeconds = 0},
    // synth effects
    {.spectrum = {1.0f, 1.0f, {1, 0.3f, 0.6f, 0.2f, 0.7f, 0.2f, 0.5f, 0.1f}, 24}, .envelope = {0.3f, 4.0f, 8, 1.5f},
     .filter = {.cutoffHarmonic = 4, .resonanceDecibels = 8, .lfoCents = 600}, .layered = true,
     .transientSeconds = 0},
    // ethnic
    {.model = M::plucked, .envelope = {0.002f, 2.5f, kDies, 0.3f}, .decayTimecentsPerKey = -30,
     .filter = kDarkening, .velocityTimbre = true, .transientSeconds = 0.1f, .brightness = 0.8f},
    // percussive
    {.model = M::mallet, .spectrum = {0.0f, 1.0f, {1, 0.1f, 0.3f, 0.05f, 0.15f, 0, 0.1f, 0}, 8},
     .envelope = {0.001f, 1.0f, kDies, 0.2f}, .decayTimecentsPerKey = -30, .velocityTimbre = true,
     .transientSeconds = 0.08f, .brightness = 0.6f, .modes = {2.4f, 3.9f, 5.6f}},
    // sound effects
    {.model = M::noise, .spectrum = {0.0f, 1.0f, kFlat, 1}, .envelope = {0.05f, 1.0f, 0, 0.5f}},
}};

struct ProgramRecipe {
    std::uint8_t program;
    VoiceRecipe recipe;
};

constexpr FilterRecipe kSynthPluck{.cutoffHarmonic = 2, .resonanceDecibels = 8, .envelopeAttack = 0.002f,
                                   .envelopeDecay = 0.4f, .envelopeSustain = 0.8f, .envelopeRelease = 0.1f,
                                   .envelopeCents = 3600};

constexpr std::array<ProgramRecipe, 30> kOwnRecipes{{
    {4, {.model = M::electricPiano, .spectrum = {2.5f, 1.0f, kFlat, 8}, .envelope = {0.002f, 5.0f, kDies, 0.3f},
         .decayTimecentsPerKey = -30, .velocityTimbre = true, .transientSeconds = 0.08f, .brightness = 0.6f,
         .modes = {7.1f, 0, 0}}},
    {5, {.model = M::electricPiano, .spectrum = {1.8f, 0.6f, kFlat, 12}, .envelope = {0.002f, 4.0f, kDies, 0.3f},
         .decayTimecentsPerKey = -30, .velocityTimbre = true, .transientSeconds = 0.06f, .brightness = 0.8f,
         .modes = {13.3f, 0, 0}}},
    {6, {.model = M::plucked, .envelope = {0.001f, 3.0f, kDies, 0.2f}, .decayTimecentsPerKey = -30,
         .transientSeconds = 0.08f, .brightness = 0.95f}},
    {7, {.model = M::plucked, .envelope = {0.001f, 1.5f, kDies, 0.1f}, .decayTimecentsPerKey = -30,
         .filter = {.cutoffHarmonic = 3, .resonanceDecibels = 6, .envelopeDecay = 0.5f, .envelopeCents = 2400},
         .velocityTimbre = true, .transientSeconds = 0.05f, .brightness = 0.9f}},
    {11, {.model = M::mallet, .spectrum = {0.0f, 1.0f, {1, 0, 0.05f, 0, 0, 0, 0, 0}, 4},
          .envelope = {0.001f, 4.0f, kDies, 0.8f}, .transientSeconds = 0.1f,
          .modes = {4.0f, 10.0f, 0}}},
    {12, {.model = M::mallet, .spectrum = {0.0f, 1.0f, {1, 0, 0.02f, 0, 0, 0, 0, 0}, 4},
          .envelope = {0.001f, 1.2f, kDies, 0.2f}, .decayTimecentsPerKey = -40, .transientSeconds = 0.08f,
          .brightness = 0.4f, .modes = {3.99f, 10.6f, 0}}},
    {13, {.model = M::mallet, .spectrum = {0.0f, 1.0f, {1, 0, 0.2f, 0, 0.05f, 0, 0, 0}, 6},
          .envelope = {0.001f, 0.8f, kDies, 0.15f}, .decayTimecentsPerKey = -40, .transientSeconds = 0.06f,
          .brightness = 0.9f, .modes = {3.0f, 6.2f, 0}}},
    {14, {.model = M::mallet, .spectrum = {0.0f, 1.0f, {1, 0.4f, 0.3f, 0.2f, 0.1f, 0, 0, 0}, 6},
          .envelope = {0.001f, 5.0f, kDies, 1.5f}, .transientSeconds = 0.15f, .brightness = 0.8f,
          .modes = {2.0f * 1.19f, 3.0f * 1.12f, 4.2f}}},
    {15, {.model = M::piano, .spectrum = {1.0f, 1.0f, kFlat, 30}, .envelope = {0.001f, 3.5f, kDies, 0.4f},
          .decayTimecentsPerKey = -30, .filter = kDarkening, .transientSeconds = 0.08f, .brightness = 0.9f}},
    {19, {.model = M::organ, .spectrum = {0.6f, 1.0f, {1, 1, 0.8f, 1, 0.5f, 0.8f, 0.3f, 0.6f}, 24},
          .envelope = {0.08f, 0.2f, 0, 0.4f}, .transientSeconds = 0.02f}},
    {20, {.model = M::reed, .spectrum = {0.9f, 0.8f, kFlat, 24}, .envelope = {0.05f, 0.3f, 1, 0.15f},
          .transientSeconds = 0.04f}},
    {21, {.model = M::reed, .spectrum = {0.7f, 0.9f, kFlat, 30}, .envelope = {0.03f, 0.3f, 1, 0.15f},
          .layered = true, .transientSeconds = 0.04f}},
    {22, {.model = M::reed, .spectrum = {0.8f, 0.5f, kFlat, 24}, .envelope = {0.02f, 0.3f, 2, 0.1f},
          .vibratoCents = 14, .velocityTimbre = true, .transientSeconds = 0.04f}},
    {29, {.spectrum = {0.6f, 1.0f, kFlat, 40}, .envelope = {0.003f, 3.0f, 10, 0.2f},
          .filter = {.cutoffHarmonic = 6, .envelopeDecay = 1.0f, .envelopeSustain = 0.5f, .envelopeCents = 1800}}},
    {30, {.spectrum = {0.5f, 1.0f, kFlat, 40}, .envelope = {0.003f, 3.0f, 8, 0.2f},
          .filter = {.cutoffHarmonic = 8, .resonanceDecibels = 4, .envelopeDecay = 1.0f, .envelopeSustain = 0.5f,
                     .envelopeCents = 1800}}},
    {38, {.spectrum = {1.0f, 1.0f, kFlat, 40}, .envelope = {0.003f, 2.5f, kDies, 0.1f}, .filter = kSynthPluck,
          .velocityTimbre = true}},
    {39, {.spectrum = {1.0f, 0.0f, kFlat, 40}, .envelope = {0.003f, 2.5f, kDies, 0.1f}, .filter = kSynthPluck,
          .velocityTimbre = true}},
    {45, {.model = M::plucked, .envelope = {0.002f, 1.2f, kDies, 0.15f}, .decayTimecentsPerKey = -20,
          .transientSeconds = 0.06f, .brightness = 0.4f}},
    {46, {.model = M::plucked, .envelope = {0.002f, 3.5f, kDies, 0.5f}, .decayTimecentsPerKey = -30,
          .filter = kDarkening, .transientSeconds = 0.1f, .brightness = 0.45f}},
    {47, {.model = M::mallet, .spectrum = {0.8f, 0.6f, {1, 0.5f, 0.3f, 0.2f, 0, 0, 0, 0}, 4},
          .envelope = {0.002f, 2.0f, kDies, 0.8f}, .transientSeconds = 0.15f, .brightness = 0.3f,
          .modes = {1.5f, 1.98f, 2.44f}}},
    {52, {.model = M::reed, .spectrum = {1.4f, 1.0f, {1, 0.6f, 1.2f, 0.4f, 0.2f, 0.5f, 0.1f, 0.2f}, 20},
          .envelope = {0.2f, 1.0f, 2, 0.5f}, .vibratoCents = 14, .layered = true, .transientSeconds = 0.04f}},
    {53, {.model = M::pipe, .spectrum = {2.0f, 1.0f, {1, 0.8f, 0.4f, 0.2f, 0, 0, 0, 0}, 10},
          .envelope = {0.1f, 1.0f, 2, 0.4f}, .vibratoCents = 16, .transientSeconds = 0.05f}},
    {55, {.model = M::brass, .spectrum = {0.7f, 1.0f, kFlat, 30}, .envelope = {0.002f, 0.6f, kDies, 0.3f},
          .layered = true, .transientSeconds = 0.03f}},
    {62, {.spectrum = {0.9f, 1.0f, kFlat, 40}, .envelope = {0.02f, 0.4f, 3, 0.2f},
          .filter = {.cutoffHarmonic = 2, .resonanceDecibels = 5, .envelopeAttack = 0.08f, .envelopeDecay = 0.5f,
                     .envelopeSustain = 0.6f, .envelopeCents = 3000},
          .layered = true, .velocityTimbre = true}},
    {80, {.spectrum = {1.0f, 0.0f, kFlat, 40}, .envelope = {0.005f, 0.2f, 0, 0.1f}, .vibratoCents = 8,
          .filter = {.cutoffHarmonic = 6, .envelopeCents = 1200, .lfoCents = 0}}},
    {81, {.spectrum = {1.0f, 1.0f, kFlat, 40}, .envelope = {0.005f, 0.2f, 0, 0.1f}, .vibratoCents = 8,
          .filter = {.cutoffHarmonic = 5, .resonanceDecibels = 6, .envelopeDecay = 0.3f, .envelopeSustain = 0.5f,
                     .envelopeCents = 2400}}},
    {109, {.model = M::reed, .spectrum = {0.6f, 0.9f, kFlat, 30}, .envelope = {0.05f, 0.3f, 0, 0.2f},
           .transientSeconds = 0.05f}},
    {110, {.model = M::bowed, .spectrum = {0.9f, 1.0f, kFlat, 40}, .envelope = {0.06f, 1.0f, 2, 0.2f},
           .vibratoCents = 18, .transientSeconds = 0.06f}},
    {111, {.model = M::reed, .spectrum = {0.6f, 0.7f, kFlat, 30}, .envelope = {0.03f, 0.3f, 1, 0.12f},
           .vibratoCents = 20, .transientSeconds = 0.05f}},
    {116, {.model = M::mallet, .spectrum = {0.5f, 0.5f, {1, 0.3f, 0.1f, 0, 0, 0, 0, 0}, 4},
           .envelope = {0.001f, 1.2f, kDies, 0.3f}, .transientSeconds = 0.12f, .brightness = 0.2f,
           .modes = {1.59f, 2.14f, 2.3f}}},
}};

} // namespace

const VoiceRecipe& recipeForProgram(std::uint8_t program)
{
    for (const ProgramRecipe& own : kOwnRecipes) {
        if (own.program == program) {
            return own.recipe;
        }
    }
    return kFamilies[(program & 127) / 8];
}

std::vector<float> harmonicAmplitudes(std::uint8_t program, std::uint32_t count, float rolloffOffset)
{
    const Spectrum& spectrum = recipeForProgram(program).spectrum;
    // The eight programs of a family run from a little darker to a little brighter than the family's spectrum.
    // Flat spectra (rolloff 0) are given partial by partial and stay as they are.
    float rolloff = spectrum.rolloff == 0.0f
                        ? 0.0f
                        : std::max(0.3f, spectrum.rolloff + rolloffOffset +
                                             0.08f * (3.5f - static_cast<float>(program % 8)) / 3.5f);
    std::vector<float> amplitudes(std::min<std::uint32_t>(count, spectrum.maxHarmonic), 0.0f);
    for (std::size_t i = 0; i < amplitudes.size(); ++i) {
        std::size_t h = i + 1;
        float shape = i < spectrum.shape.size() ? spectrum.shape[i] : 1.0f;
        float even = h % 2 == 0 ? spectrum.evenGain : 1.0f;
        amplitudes[i] = shape * even * std::pow(static_cast<float>(h), -rolloff);
    }
    return amplitudes;
}

float brightnessOf(std::uint8_t program)
{
    float base = recipeForProgram(program).brightness;
    return std::clamp(base + 0.1f * (static_cast<float>(program % 8) - 3.5f) / 3.5f, 0.05f, 1.0f);
}

} // namespace bankgen
