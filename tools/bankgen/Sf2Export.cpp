#include "tools/bankgen/Sf2Export.h"

namespace bankgen {

namespace {

enum : std::uint16_t {
    kModLfoToPitch = 5,
    kModLfoDelay = 21,
    kModLfoFrequency = 22,
    kVolEnvAttack = 34,
    kVolEnvDecay = 36,
    kVolEnvSustain = 37,
    kKeyToVolEnvDecay = 40,
    kLoopContinuously = 1,
};

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
    zone.gen(kVolEnvAttack, region.envelope.attackTimecents)
        .gen(kVolEnvDecay, region.envelope.decayTimecents)
        .gen(kVolEnvSustain, region.envelope.sustainCentibels)
        .gen(sf2::RELEASE_VOL_ENV, region.envelope.releaseTimecents);
    if (region.envelope.decayTimecentsPerKey != 0) {
        zone.gen(kKeyToVolEnvDecay, region.envelope.decayTimecentsPerKey);
    }
    if (region.vibrato) {
        zone.gen(kModLfoDelay, region.vibrato->delayTimecents)
            .gen(kModLfoFrequency, region.vibrato->frequencyCents)
            .gen(kModLfoToPitch, region.vibrato->depthCents);
    }
    if (region.attenuationCentibels != 0) {
        zone.gen(sf2::ATTENUATION, region.attenuationCentibels);
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

} // namespace

sf2::Bank toSoundFont2(const ProgramSet& set, std::span<const PresetSlot> layout, const std::string& bankName)
{
    sf2::Bank bank;
    bank.name = bankName;
    for (const GeneratedSample& sample : set.samples) {
        bank.samples.push_back(sampleOf(sample));
    }
    for (const GeneratedInstrument& instrument : set.melodic) {
        bank.instruments.push_back(instrumentOf(instrument, set));
    }
    bank.instruments.push_back(instrumentOf(set.drums, set));
    auto drumInstrument = static_cast<std::uint16_t>(set.melodic.size());
    for (const PresetSlot& slot : layout) {
        sf2::Preset preset;
        preset.name = slot.name;
        preset.bank = slot.bank;
        preset.program = slot.program;
        sf2::Zone zone;
        zone.link = slot.drums ? drumInstrument : slot.program;
        preset.zones.push_back(zone);
        bank.presets.push_back(std::move(preset));
    }
    return bank;
}

} // namespace bankgen
