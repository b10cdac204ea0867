#include "tools/bankgen/ProgramSet.h"

#include "Orvo_Tunedeck_Extension/catalogue/GeneralMidiProgramTable.h"
#include "tools/bankgen/DrumKit.h"
#include "tools/bankgen/LoopedSamples.h"
#include "tools/bankgen/MelodicVoices.h"
#include "tools/bankgen/Synthesis.h"
#include "tools/bankgen/Tones.h"
#include "tools/bankgen/Variations.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <span>

namespace bankgen {

namespace {

// Each program has one region per octave, rooted on an A so that its loop holds whole periods.
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

// Partials stay below this (and below the rate's limit) when a region's highest key (at most key 105) plays.
constexpr double kHighestPartialHz = 18000.0;
constexpr std::uint8_t kHighestKeyWithoutAliasing = 105;
// Every program is levelled to this RMS (of full scale) over its first 0.3 s, so that programs play equally loud,
// and as loud as the instruments of common General MIDI banks play.
constexpr double kProgramLevel = 0.25;
constexpr double kLevelSeconds = 0.3;
// The second layer of ensembles and pads sounds this much below the first.
constexpr std::int16_t kSecondLayerCentibels = 90;
// Soft notes of the velocity-layered families play below this velocity.
constexpr std::uint8_t kLoudVelocity = 80;

double keyToHz(std::uint8_t key)
{
    return 440.0 * std::exp2((key - 69) / 12.0);
}

std::uint32_t harmonicLimit(const KeySplit& split, std::uint8_t keyHi, const Voicing& voicing)
{
    std::uint8_t top = std::min(keyHi, kHighestKeyWithoutAliasing);
    double highest = std::min(kHighestPartialHz, 0.42 * voicing.rateHz);
    auto byKey = static_cast<std::uint32_t>(highest / keyToHz(top));
    std::uint32_t byPeriod = periodOfA(split.rootKey, voicing.rateHz) / 2 - 1;
    return std::max<std::uint32_t>(1, std::min(byKey, byPeriod));
}

std::string trimmed(std::string_view name)
{
    std::size_t end = name.find_last_not_of(' ');
    return std::string(name.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

Envelope envelopeOf(const VoiceRecipe& recipe, const Voicing& voicing)
{
    const EnvelopeSeconds& e = recipe.envelope;
    std::int16_t sustain = decibelsToCentibels(e.sustainDecibels);
    double decaySeconds = e.decay * voicing.timeScale / sustainShareOfDecay(sustain);
    return {secondsToTimecents(e.attack), secondsToTimecents(decaySeconds), sustain,
            secondsToTimecents(e.release * voicing.timeScale), recipe.decayTimecentsPerKey};
}

// A singer's or player's vibrato: about five and a half wobbles a second, setting in after a third of a second.
std::optional<Vibrato> vibratoOf(const VoiceRecipe& recipe, const Voicing& voicing)
{
    auto depth = static_cast<std::int16_t>(std::lround(recipe.vibratoCents * voicing.vibratoScale));
    if (depth == 0) {
        return std::nullopt;
    }
    return Vibrato{secondsToTimecents(0.35), hertzToAbsoluteCents(5.5), depth};
}

FilterMotion filterOf(const VoiceRecipe& recipe, std::uint8_t rootKey, const Voicing& voicing)
{
    const FilterRecipe& f = recipe.filter;
    FilterMotion motion;
    if (f.cutoffHarmonic > 0) {
        motion.cutoffCents = static_cast<std::int16_t>(std::clamp<int>(
            hertzToAbsoluteCents(f.cutoffHarmonic * keyToHz(rootKey)) + voicing.cutoffOffsetCents, 1500, kOpenCutoffCents));
    }
    motion.resonanceCentibels = decibelsToCentibels(f.resonanceDecibels);
    if (f.envelopeCents != 0) {
        motion.envelopeAttackTimecents = secondsToTimecents(f.envelopeAttack);
        motion.envelopeDecayTimecents = secondsToTimecents(f.envelopeDecay * voicing.timeScale);
        motion.envelopeSustainPerMille = static_cast<std::int16_t>(std::lround(1000.0 * f.envelopeSustain));
        motion.envelopeReleaseTimecents = secondsToTimecents(f.envelopeRelease * voicing.timeScale);
        motion.envelopeToCutoffCents = static_cast<std::int16_t>(std::lround(f.envelopeCents));
    }
    if (f.lfoCents != 0) {
        // A slow sweep, setting in with the vibrato's delay.
        motion.lfoDelayTimecents = secondsToTimecents(0.35);
        motion.lfoFrequencyCents = hertzToAbsoluteCents(0.7);
        motion.lfoToCutoffCents = static_cast<std::int16_t>(std::lround(f.lfoCents));
    }
    return motion;
}

// The regions of one split: a soft and a loud zone where loudness changes the timbre, and for ensembles and pads,
// where the voicing layers them, a quieter second layer detuned against the first (an octave up for pads) and
// placed across the stereo field. The first layer stays in tune; the second is quiet enough that their beating
// leaves the level steady.
void addSplitRegions(GeneratedInstrument& instrument, const Region& region, const VoiceRecipe& recipe,
                     const Voicing& voicing, bool octaveLayer)
{
    std::vector<Region> regions{region};
    if (voicing.velocityLayers && recipe.velocityTimbre) {
        Region soft = region;
        soft.velHi = kLoudVelocity - 1;
        int open = soft.filter.cutoffCents >= kOpenCutoffCents ? hertzToAbsoluteCents(10.0 * keyToHz(region.rootKey))
                                                               : soft.filter.cutoffCents;
        soft.filter.cutoffCents = static_cast<std::int16_t>(std::clamp<int>(open - 1200, 1500, kOpenCutoffCents));
        soft.filter.envelopeToCutoffCents = static_cast<std::int16_t>(soft.filter.envelopeToCutoffCents * 6 / 10);
        regions[0].velLo = kLoudVelocity;
        regions.push_back(soft);
    }
    bool layered = recipe.layered && voicing.ensembleDetuneCents > 0;
    for (Region& each : regions) {
        if (!layered) {
            instrument.regions.push_back(each);
            continue;
        }
        Region second = each;
        each.pan = static_cast<std::int16_t>(-voicing.layerPan);
        second.pan = voicing.layerPan;
        second.fineTune = static_cast<std::int16_t>(std::lround(voicing.ensembleDetuneCents));
        second.coarseTune = octaveLayer ? 12 : 0;
        second.attenuationCentibels = static_cast<std::int16_t>(second.attenuationCentibels + kSecondLayerCentibels);
        instrument.regions.push_back(each);
        instrument.regions.push_back(second);
    }
}

// The share of a tone's level that the region's filter passes at its most open (a 12 dB per octave slope over the
// harmonics of the settled tone); 1 for an open filter.
double filterShare(const GeneratedSample& sample, std::span<const float> harmonics, const FilterMotion& filter)
{
    if (filter.cutoffCents >= kOpenCutoffCents || harmonics.empty()) {
        return 1.0;
    }
    double cutoffHz = 8.176 * std::exp2((filter.cutoffCents + std::max<int>(0, filter.envelopeToCutoffCents)) / 1200.0);
    double cutoffHarmonic = cutoffHz / keyToHz(sample.rootKey);
    double all = 0.0;
    double passed = 0.0;
    for (std::size_t h = 0; h < harmonics.size(); ++h) {
        double power = static_cast<double>(harmonics[h]) * harmonics[h];
        all += power;
        passed += power / (1.0 + std::pow((static_cast<double>(h) + 1.0) / cutoffHarmonic, 4.0));
    }
    return std::sqrt(passed / all);
}

// The level the voicing's programs are brought to.
double programLevel(const Voicing& voicing)
{
    return kProgramLevel * std::pow(10.0, voicing.programLevelDecibels / 20.0);
}

// The attenuation that brings a sample to `target`, less what the region's filter takes away.
std::int16_t levelling(const GeneratedSample& sample, std::span<const float> harmonics, const FilterMotion& filter,
                       double target)
{
    double level = onsetLevel(sample, kLevelSeconds) * filterShare(sample, harmonics, filter);
    return level > target ? decibelsToCentibels(20.0 * std::log10(level / target)) : 0;
}

GeneratedInstrument melodicInstrument(std::uint8_t program, std::string name, std::vector<GeneratedSample>& samples,
                                      std::uint32_t noiseSample, const Voicing& voicing)
{
    const VoiceRecipe& recipe = recipeForProgram(program);
    GeneratedInstrument instrument{std::move(name), {}};
    Region region;
    region.looped = true;
    region.envelope = envelopeOf(recipe, voicing);
    region.vibrato = vibratoOf(recipe, voicing);
    if (recipe.model == ToneModel::noise) {
        region.sample = noiseSample;
        region.attenuationCentibels = levelling(samples[noiseSample], {}, region.filter, programLevel(voicing));
        // The sound effects take the noise a major third apart from one program to the next, from rumble to hiss.
        region.rootKey = static_cast<std::uint8_t>(45 + 4 * (program % 8));
        instrument.regions.push_back(region);
        return instrument;
    }
    for (std::size_t s = 0; s < kSplits.size() && kSplits[s].rootKey <= voicing.topRootKey; ++s) {
        const KeySplit& split = kSplits[s];
        // The top region reaches up to key 127.
        std::uint8_t keyHi = split.rootKey == voicing.topRootKey ? 127 : split.keyHi;
        std::vector<float> amplitudes =
            harmonicAmplitudes(program, harmonicLimit(split, keyHi, voicing), voicing.rolloffOffset);
        char sampleName[20];
        std::snprintf(sampleName, sizeof sampleName, "P%03u A%d", static_cast<unsigned>(program),
                      split.rootKey / 12 - 1);
        ToneRequest request{recipe.model,
                            split.rootKey,
                            voicing.rateHz,
                            amplitudes,
                            recipe.transientSeconds * voicing.transientScale,
                            // A brighter voicing plucks and strikes harder.
                            std::clamp(brightnessOf(program) - voicing.rolloffOffset, 0.05f, 1.0f),
                            voicing.inharmonicityScale,
                            recipe.modes,
                            static_cast<std::uint32_t>(voicing.seed + 131u * program + s)};
        samples.push_back(renderTone(sampleName, request));
        region.keyLo = split.keyLo;
        region.keyHi = keyHi;
        region.sample = static_cast<std::uint32_t>(samples.size() - 1);
        region.rootKey = split.rootKey;
        region.filter = filterOf(recipe, split.rootKey, voicing);
        const double target = programLevel(voicing);
        driveToLevel(samples.back(), target / filterShare(samples.back(), amplitudes, region.filter), kLevelSeconds);
        region.attenuationCentibels = levelling(samples.back(), amplitudes, region.filter, target);
        addSplitRegions(instrument, region, recipe, voicing, recipe.model == ToneModel::additive);
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

double sustainShareOfDecay(std::int16_t sustainCentibels)
{
    return sustainCentibels > 0 && sustainCentibels < 1000 ? sustainCentibels / 1000.0 : 1.0;
}

const GeneratedInstrument& ProgramSet::instrumentFor(std::uint16_t bank, std::uint8_t program) const
{
    if (bank == kDrumBank) {
        auto kit = std::find_if(kits.begin(), kits.end(), [&](const PlacedInstrument& k) { return k.program == program; });
        return kit != kits.end() ? kit->instrument : kits.front().instrument;
    }
    auto own = std::find_if(variations.begin(), variations.end(), [&](const PlacedVariation& v) {
        return v.bank == bank && v.program == program;
    });
    return own != variations.end() ? own->instrument : melodic[program & 127];
}

ProgramSet buildProgramSet(const BankFile& file)
{
    const Voicing& voicing = file.voicing;
    ProgramSet set;
    // Sound effects share one looped noise; each plays it from its own root key.
    set.samples.push_back(noiseSample("Noise", voicing.rateHz, 1, voicing.seed, 0.6));
    auto names = generalMidiProgramTable();
    for (unsigned program = 0; program < 128; ++program) {
        set.melodic.push_back(melodicInstrument(static_cast<std::uint8_t>(program), trimmed(names[program].name),
                                                set.samples, 0, voicing));
    }
    for (const PresetSlot& slot : presetLayout(file.table)) {
        if (!slot.drums && slot.bank != 0) {
            const GeneratedInstrument& base = set.melodic[slot.program];
            VariationChanges changes = variationChanges(base, slot.name, slot.bank);
            GeneratedInstrument varied = withChanges(base, changes, slot.name);
            set.variations.push_back({slot.bank, slot.program, std::move(changes), std::move(varied)});
        }
    }
    addDrumKits(set, voicing);
    return set;
}

} // namespace bankgen
