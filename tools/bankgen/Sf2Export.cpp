#include "tools/bankgen/Sf2Export.h"

#include <algorithm>
#include <cmath>

namespace bankgen {

namespace {

enum : std::uint16_t {
    kVibLfoToPitch = 6,
    kInitialFilterCutoff = 8,
    kInitialFilterQ = 9,
    kModLfoToFilterCutoff = 10,
    kModEnvToFilterCutoff = 11,
    kModEnvAttack = 26,
    kModEnvDecay = 28,
    kModEnvSustain = 29,
    kModEnvRelease = 30,
    kFineTune = 52,
    kModLfoDelay = 21,
    kModLfoFrequency = 22,
    kVibLfoDelay = 23,
    kVibLfoFrequency = 24,
    kVolEnvAttack = 34,
    kVolEnvDecay = 36,
    kVolEnvSustain = 37,
    kKeyToVolEnvDecay = 40,
    kLoopContinuously = 1,
};

// SoundFont players take about 0.4 of a zone's attenuation (the convention of the sound cards the format was made
// for), and banks are voiced for it: a level change of c centibels is written as c / 0.4. Sustain levels count in
// full and stay as they are.
constexpr double kPlayersAttenuationShare = 0.4;

std::int16_t attenuationForPlayers(std::int16_t levelCentibels)
{
    return static_cast<std::int16_t>(
        std::clamp(std::lround(levelCentibels / kPlayersAttenuationShare), -1440L, 1440L));
}

sf2::Sample sampleOf(const GeneratedSample& generated)
{
    sf2::Sample sample;
    sample.name = generated.name;
    sample.data = generated.points;
    sample.rate = generated.rateHz;
    sample.root_key = generated.rootKey;
    if (generated.loop) {
        sample.loop_start = generated.loop->start;
        sample.loop_end = generated.loop->end;
    } else {
        // A one-shot sample still names a loop inside its points, as readers expect; it is never played.
        sample.loop_start = 1;
        sample.loop_end = static_cast<std::uint32_t>(generated.points.size()) - 1;
    }
    return sample;
}

sf2::Zone zoneOf(const Region& region, const ProgramSet& set)
{
    sf2::Zone zone;
    zone.link = static_cast<std::uint16_t>(region.sample);
    zone.key_range(region.keyLo, region.keyHi);
    if (region.velLo != 0 || region.velHi != 127) {
        zone.vel_range(region.velLo, region.velHi);
    }
    zone.gen(kVolEnvAttack, region.envelope.attackTimecents)
        .gen(kVolEnvDecay, region.envelope.decayTimecents)
        .gen(kVolEnvSustain, region.envelope.sustainCentibels)
        .gen(sf2::RELEASE_VOL_ENV, region.envelope.releaseTimecents);
    if (region.envelope.decayTimecentsPerKey != 0) {
        zone.gen(kKeyToVolEnvDecay, region.envelope.decayTimecentsPerKey);
    }
    if (region.vibrato) {
        zone.gen(kVibLfoDelay, region.vibrato->delayTimecents)
            .gen(kVibLfoFrequency, region.vibrato->frequencyCents)
            .gen(kVibLfoToPitch, region.vibrato->depthCents);
    }
    const FilterMotion& f = region.filter;
    if (f.cutoffCents != kOpenCutoffCents) {
        zone.gen(kInitialFilterCutoff, f.cutoffCents);
    }
    if (f.resonanceCentibels != 0) {
        zone.gen(kInitialFilterQ, f.resonanceCentibels);
    }
    if (f.envelopeToCutoffCents != 0) {
        zone.gen(kModEnvAttack, f.envelopeAttackTimecents)
            .gen(kModEnvDecay, f.envelopeDecayTimecents)
            .gen(kModEnvSustain, f.envelopeSustainPerMille)
            .gen(kModEnvRelease, f.envelopeReleaseTimecents)
            .gen(kModEnvToFilterCutoff, f.envelopeToCutoffCents);
    }
    if (f.lfoToCutoffCents != 0) {
        zone.gen(kModLfoDelay, f.lfoDelayTimecents)
            .gen(kModLfoFrequency, f.lfoFrequencyCents)
            .gen(kModLfoToFilterCutoff, f.lfoToCutoffCents);
    }
    if (region.coarseTune != 0) {
        zone.gen(sf2::COARSE_TUNE, region.coarseTune);
    }
    if (region.fineTune != 0) {
        zone.gen(kFineTune, region.fineTune);
    }
    if (region.attenuationCentibels != 0) {
        zone.gen(sf2::ATTENUATION, attenuationForPlayers(region.attenuationCentibels));
    }
    if (region.pan != 0) {
        zone.gen(sf2::PAN, region.pan);
    }
    if (region.looped) {
        zone.gen(sf2::SAMPLE_MODES, kLoopContinuously);
    }
    if (region.exclusiveClass != 0) {
        zone.gen(sf2::EXCLUSIVE_CLASS, static_cast<std::int16_t>(region.exclusiveClass));
    }
    if (region.rootKey != set.samples[region.sample].rootKey) {
        zone.gen(sf2::OVERRIDING_ROOT_KEY, region.rootKey);
    }
    return zone;
}

sf2::Instrument instrumentOf(const GeneratedInstrument& generated, const ProgramSet& set)
{
    sf2::Instrument instrument{generated.name, {}};
    for (const Region& region : generated.regions) {
        instrument.zones.push_back(zoneOf(region, set));
    }
    return instrument;
}

void addIfSet(sf2::Zone& zone, std::uint16_t generator, std::int16_t amount)
{
    if (amount != 0) {
        zone.gen(generator, amount);
    }
}

// A variation tone: one preset zone per layer on its program's instrument, whose generators add to the
// instrument's.
std::vector<sf2::Zone> variationZones(const VariationChanges& changes, std::uint8_t program)
{
    std::vector<sf2::Zone> zones;
    for (const VariationLayer& layer : changes.layers) {
        sf2::Zone zone;
        zone.link = program;
        addIfSet(zone, kInitialFilterCutoff, changes.cutoffCents);
        addIfSet(zone, kModEnvToFilterCutoff, changes.envelopeToCutoffCents);
        addIfSet(zone, kVolEnvAttack, changes.attackTimecents);
        addIfSet(zone, kVolEnvDecay, changes.decayTimecents);
        addIfSet(zone, kVolEnvSustain, changes.sustainCentibels);
        addIfSet(zone, sf2::RELEASE_VOL_ENV, changes.releaseTimecents);
        addIfSet(zone, sf2::PAN, layer.pan);
        addIfSet(zone, sf2::ATTENUATION, attenuationForPlayers(layer.attenuationCentibels));
        addIfSet(zone, sf2::COARSE_TUNE, layer.semitones);
        addIfSet(zone, kFineTune, layer.cents);
        zones.push_back(std::move(zone));
    }
    return zones;
}

} // namespace

sf2::Bank toSoundFont2(const ProgramSet& set, std::span<const PresetSlot> layout, const std::string& bankName)
{
    sf2::Bank bank;
    bank.name = bankName;
    for (const GeneratedSample& sample : set.samples) {
        bank.samples.push_back(sampleOf(sample));
    }
    // Instruments in the order melodic, kits, variations; a preset links to the one it plays.
    std::vector<const GeneratedInstrument*> order;
    for (const GeneratedInstrument& instrument : set.melodic) {
        order.push_back(&instrument);
    }
    for (const PlacedInstrument& kit : set.kits) {
        order.push_back(&kit.instrument);
    }
    for (const GeneratedInstrument* instrument : order) {
        bank.instruments.push_back(instrumentOf(*instrument, set));
    }
    for (const PresetSlot& slot : layout) {
        sf2::Preset preset;
        preset.name = slot.name;
        preset.bank = slot.bank;
        preset.program = slot.program;
        auto variation = std::find_if(set.variations.begin(), set.variations.end(), [&](const PlacedVariation& v) {
            return !slot.drums && v.bank == slot.bank && v.program == slot.program;
        });
        if (variation != set.variations.end()) {
            preset.zones = variationZones(variation->changes, variation->program);
        } else {
            const GeneratedInstrument* plays = &set.instrumentFor(slot.bank, slot.program);
            sf2::Zone zone;
            zone.link = static_cast<std::uint16_t>(std::find(order.begin(), order.end(), plays) - order.begin());
            preset.zones.push_back(zone);
        }
        bank.presets.push_back(std::move(preset));
    }
    return bank;
}

} // namespace bankgen
