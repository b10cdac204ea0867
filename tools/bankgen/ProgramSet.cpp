#include "tools/bankgen/ProgramSet.h"

#include "Orvo_Tunedeck_Extension/catalogue/GeneralMidiProgramTable.h"
#include "tools/bankgen/DrumKit.h"
#include "tools/bankgen/LoopedSamples.h"
#include "tools/bankgen/MelodicVoices.h"
#include "tools/bankgen/Synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace bankgen {

namespace {

// Each program has one region per octave, rooted on an A so that its loop holds exactly one period.
struct KeySplit {
    std::uint8_t rootKey;
    std::uint8_t keyLo;
    std::uint8_t keyHi;
};

constexpr std::array<KeySplit, 5> kSplits{{
    {45, 0, 50},
    {57, 51, 62},
    {69, 63, 74},
    {81, 75, 86},
    {93, 87, 127},
}};

// Partials stay below this when a region's highest key (taken at most as key 105) plays.
constexpr double kHighestPartialHz = 18000.0;
constexpr std::uint8_t kHighestKeyWithoutAliasing = 105;

double keyToHz(std::uint8_t key)
{
    return 440.0 * std::exp2((key - 69) / 12.0);
}

std::uint32_t harmonicLimit(const KeySplit& split)
{
    std::uint8_t top = std::min(split.keyHi, kHighestKeyWithoutAliasing);
    auto byKey = static_cast<std::uint32_t>(kHighestPartialHz / keyToHz(top));
    std::uint32_t byPeriod = periodOfA(split.rootKey) / 2 - 1;
    return std::max<std::uint32_t>(1, std::min(byKey, byPeriod));
}

std::string trimmed(std::string_view name)
{
    std::size_t end = name.find_last_not_of(' ');
    return std::string(name.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

Envelope envelopeOf(const VoiceRecipe& recipe)
{
    const EnvelopeSeconds& e = recipe.envelope;
    return {secondsToTimecents(e.attack), secondsToTimecents(e.decay), decibelsToCentibels(e.sustainDecibels),
            secondsToTimecents(e.release), recipe.decayTimecentsPerKey};
}

// A singer's or player's vibrato: about five and a half wobbles a second, setting in after a third of a second.
std::optional<Vibrato> vibratoOf(const VoiceRecipe& recipe)
{
    if (recipe.vibratoCents == 0) {
        return std::nullopt;
    }
    return Vibrato{secondsToTimecents(0.35), hertzToAbsoluteCents(5.5),
                   static_cast<std::int16_t>(std::lround(recipe.vibratoCents))};
}

GeneratedInstrument melodicInstrument(std::uint8_t program, std::string name, std::vector<GeneratedSample>& samples,
                                      std::uint32_t noiseSample)
{
    const VoiceRecipe& recipe = recipeForProgram(program);
    GeneratedInstrument instrument{std::move(name), {}};
    Region region;
    region.looped = true;
    region.envelope = envelopeOf(recipe);
    region.vibrato = vibratoOf(recipe);
    region.attenuationCentibels = decibelsToCentibels(recipe.attenuationDecibels);
    if (recipe.noise) {
        region.sample = noiseSample;
        // The sound effects take the noise a major third apart from one program to the next, from rumble to hiss.
        region.rootKey = static_cast<std::uint8_t>(45 + 4 * (program % 8));
        instrument.regions.push_back(region);
        return instrument;
    }
    for (const KeySplit& split : kSplits) {
        std::vector<float> amplitudes = harmonicAmplitudes(program, harmonicLimit(split));
        char sampleName[20];
        std::snprintf(sampleName, sizeof sampleName, "P%03u A%d", static_cast<unsigned>(program),
                      split.rootKey / 12 - 1);
        samples.push_back(cycleSample(sampleName, split.rootKey, amplitudes, 0.6));
        region.keyLo = split.keyLo;
        region.keyHi = split.keyHi;
        region.sample = static_cast<std::uint32_t>(samples.size() - 1);
        region.rootKey = split.rootKey;
        instrument.regions.push_back(region);
    }
    return instrument;
}

} // namespace

std::int16_t secondsToTimecents(double seconds)
{
    return static_cast<std::int16_t>(std::clamp(std::lround(1200.0 * std::log2(seconds)), -12000L, 8000L));
}

std::int16_t hertzToAbsoluteCents(double hertz)
{
    // Absolute cents count from 8.176 Hz, the pitch of key 0.
    return static_cast<std::int16_t>(std::lround(1200.0 * std::log2(hertz / 8.176)));
}

std::int16_t decibelsToCentibels(double attenuationDecibels)
{
    return static_cast<std::int16_t>(std::clamp(std::lround(attenuationDecibels * 10.0), 0L, 1440L));
}

ProgramSet buildProgramSet()
{
    ProgramSet set;
    // Sound effects share one looped noise; each plays it from its own root key.
    set.samples.push_back(noiseSample("Noise", 1, 0xeffec7, 0.6));
    auto names = generalMidiProgramTable();
    for (unsigned program = 0; program < 128; ++program) {
        set.melodic.push_back(melodicInstrument(static_cast<std::uint8_t>(program), trimmed(names[program].name),
                                                set.samples, 0));
    }
    addDrumKit(set);
    return set;
}

} // namespace bankgen
