#include "tools/bankgen/MelodicVoices.h"

#include <cmath>

namespace bankgen {

namespace {

constexpr std::array<float, 8> kFlat{1, 1, 1, 1, 1, 1, 1, 1};
constexpr float kDies = 100.0f;

// One per family, in General MIDI order.
constexpr std::array<VoiceRecipe, 16> kFamilies{{
    // piano: bright hammer partials, dying away
    {{1.3f, 0.9f, {1, 0.9f, 0.7f, 0.8f, 0.5f, 0.4f, 0.3f, 0.3f}, 40}, {0.002f, 6.0f, kDies, 0.35f}, 0, false, -40, 0},
    // chromatic percussion: sparse bell-like partials
    {{0.0f, 1.0f, {1, 0.05f, 0.45f, 0.02f, 0.25f, 0, 0.12f, 0}, 8}, {0.001f, 3.0f, kDies, 0.6f}, 0, false, -30, 0},
    // organ: drawbar partials, held
    {{0.0f, 1.0f, {1, 0.8f, 0.6f, 0.5f, 0, 0.4f, 0, 0.3f}, 8}, {0.005f, 0.1f, 0, 0.08f}, 2, false},
    // guitar: plucked, dying away
    {{1.4f, 0.8f, {1, 1, 0.8f, 0.6f, 0.5f, 0.3f, 0.3f, 0.2f}, 30}, {0.002f, 4.0f, kDies, 0.3f}, 0, false, -30, 0},
    // bass: dark, dying away slowly
    {{1.7f, 1.0f, {1, 0.8f, 0.5f, 0.4f, 0.3f, 0.2f, 0.1f, 0.1f}, 20}, {0.003f, 5.0f, kDies, 0.15f}, 0, false, -20, 0},
    // strings: bowed, slow attack
    {{1.0f, 1.0f, kFlat, 40}, {0.12f, 1.0f, 3, 0.35f}, 2, false, 0, 12},
    // ensemble: softer saw, slower attack
    {{1.2f, 1.0f, kFlat, 30}, {0.25f, 1.0f, 2, 0.6f}, 3, false, 0, 8},
    // brass: bright, quick swell
    {{0.8f, 1.0f, {0.7f, 1, 1, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f}, 30}, {0.04f, 0.4f, 4, 0.15f}, 3, false, 0, 6},
    // reed: odd partials first
    {{1.0f, 0.35f, kFlat, 24}, {0.03f, 0.3f, 2, 0.12f}, 2, false, 0, 10},
    // pipe: nearly a sine, breathy start
    {{2.4f, 0.5f, kFlat, 8}, {0.06f, 0.3f, 1, 0.15f}, 0, false, 0, 10},
    // synth lead: saw
    {{1.0f, 1.0f, kFlat, 40}, {0.005f, 0.2f, 0, 0.1f}, 4, false},
    // synth pad: warm, slow
    {{1.5f, 1.0f, kFlat, 24}, {0.6f, 1.5f, 0, 1.2f}, 3, false},
    // synth effects: shimmering partials, long release
    {{1.0f, 1.0f, {1, 0.3f, 0.6f, 0.2f, 0.7f, 0.2f, 0.5f, 0.1f}, 24}, {0.3f, 4.0f, 8, 1.5f}, 4, false},
    // ethnic: plucked and nasal
    {{1.1f, 0.7f, {1, 0.6f, 0.9f, 0.5f, 0.7f, 0.4f, 0.5f, 0.3f}, 30}, {0.002f, 2.5f, kDies, 0.3f}, 0, false, -30, 0},
    // percussive: struck, short
    {{0.0f, 1.0f, {1, 0.1f, 0.5f, 0.05f, 0.3f, 0, 0.15f, 0}, 8}, {0.001f, 1.0f, kDies, 0.2f}, 0, false, -30, 0},
    // sound effects: noise
    {{0.0f, 1.0f, kFlat, 1}, {0.05f, 1.0f, 0, 0.5f}, 6, true},
}};

struct ProgramRecipe {
    std::uint8_t program;
    VoiceRecipe recipe;
};

constexpr std::array<ProgramRecipe, 12> kOwnRecipes{{
    {19, {{0.6f, 1.0f, {1, 1, 0.8f, 1, 0.5f, 0.8f, 0.3f, 0.6f}, 24}, {0.08f, 0.2f, 0, 0.4f}, 4, false}},  // church
    {29, {{0.6f, 1.0f, kFlat, 40}, {0.003f, 3.0f, 10, 0.2f}, 5, false}},                                // overdrive
    {30, {{0.5f, 1.0f, kFlat, 40}, {0.003f, 3.0f, 8, 0.2f}, 6, false}},                                 // distortion
    {45, {{1.1f, 1.0f, kFlat, 30}, {0.002f, 1.2f, kDies, 0.15f}, 0, false, -20}},                       // pizzicato
    {46, {{1.6f, 0.9f, kFlat, 24}, {0.002f, 3.5f, kDies, 0.5f}, 0, false, -30}},                        // harp
    {47, {{0.8f, 0.6f, {1, 0.5f, 0.3f, 0.2f, 0, 0, 0, 0}, 4}, {0.002f, 2.0f, kDies, 0.8f}, 0, false}},  // timpani
    {55, {{0.7f, 1.0f, kFlat, 30}, {0.002f, 0.6f, kDies, 0.3f}, 0, false}},                             // orchestra hit
    {80, {{1.0f, 0.0f, kFlat, 40}, {0.005f, 0.2f, 0, 0.1f}, 5, false}},                                 // square
    {81, {{1.0f, 1.0f, kFlat, 40}, {0.005f, 0.2f, 0, 0.1f}, 5, false}},                                 // saw
    {116, {{0.5f, 0.5f, {1, 0.3f, 0.1f, 0, 0, 0, 0, 0}, 4}, {0.001f, 1.2f, kDies, 0.3f}, 0, false}},    // taiko
    {123, {{3.0f, 0.0f, kFlat, 3}, {0.02f, 0.5f, 0, 0.1f}, 3, false}},                                  // bird
    {124, {{0.9f, 0.0f, kFlat, 8}, {0.005f, 0.1f, 0, 0.05f}, 6, false}},                                // telephone
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

std::vector<float> harmonicAmplitudes(std::uint8_t program, std::uint32_t count)
{
    const Spectrum& spectrum = recipeForProgram(program).spectrum;
    // The eight programs of a family run from a little darker to a little brighter than the family's spectrum.
    // Flat spectra (rolloff 0) are given partial by partial and stay as they are.
    float rolloff = spectrum.rolloff == 0.0f
                        ? 0.0f
                        : spectrum.rolloff + 0.08f * (3.5f - static_cast<float>(program % 8)) / 3.5f;
    std::vector<float> amplitudes(std::min<std::uint32_t>(count, spectrum.maxHarmonic), 0.0f);
    for (std::size_t i = 0; i < amplitudes.size(); ++i) {
        std::size_t h = i + 1;
        float shape = i < spectrum.shape.size() ? spectrum.shape[i] : 1.0f;
        float even = h % 2 == 0 ? spectrum.evenGain : 1.0f;
        amplitudes[i] = shape * even * std::pow(static_cast<float>(h), -rolloff);
    }
    return amplitudes;
}

} // namespace bankgen
