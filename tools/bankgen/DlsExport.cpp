#include "tools/bankgen/DlsExport.h"

#include <algorithm>

namespace bankgen {

namespace {

// Connection codes of the format's articulation blocks; the vibrato LFO's are level 2 codes.
enum : std::uint16_t {
    kSourceNone = 0x0000,
    kSourceLfo = 0x0001,
    kSourceKeyNumber = 0x0003,
    kSourceEg2 = 0x0005,
    kSourceVibrato = 0x0009,
    kDestinationGain = 0x0001,
    kDestinationPitch = 0x0003,
    kDestinationPan = 0x0004,
    kDestinationLfoFrequency = 0x0104,
    kDestinationLfoDelay = 0x0105,
    kDestinationVibratoFrequency = 0x0114,
    kDestinationVibratoDelay = 0x0115,
    kDestinationEg1Attack = 0x0206,
    kDestinationEg1Decay = 0x0207,
    kDestinationEg1Release = 0x0209,
    kDestinationEg1Sustain = 0x020a,
    kDestinationEg2Attack = 0x030a,
    kDestinationEg2Decay = 0x030b,
    kDestinationEg2Release = 0x030d,
    kDestinationEg2Sustain = 0x030e,
    kDestinationFilterCutoff = 0x0500,
    kDestinationFilterQ = 0x0501,
};

// Sustain is a level in tenths of a percent. The set holds the drop from full level as SoundFont 2 stores it, which
// readers take as tenths of a percent of the envelope's range (1000 is silence); the level is what remains.
double sustainPerMille(std::int16_t drop)
{
    return std::max(0, 1000 - drop);
}

dls::Wave waveOf(const GeneratedSample& sample)
{
    dls::Wave wave;
    wave.name = sample.name;
    wave.points = sample.points;
    wave.rate = sample.rateHz;
    dls::SampleRecord record;
    record.unity_note = sample.rootKey;
    if (sample.loop) {
        record.loop = dls::Loop{0, sample.loop->start, sample.loop->end - sample.loop->start};
    }
    wave.sample = record;
    return wave;
}

dls::Region regionOf(const Region& region, const ProgramSet& set)
{
    const GeneratedSample& sample = set.samples[region.sample];
    dls::Region out;
    out.key_lo = region.keyLo;
    out.key_hi = region.keyHi;
    out.vel_lo = region.velLo;
    out.vel_hi = region.velHi;
    out.key_group = region.exclusiveClass;
    out.pool_index = region.sample;
    dls::SampleRecord record;
    record.unity_note = region.rootKey;
    if (region.looped && sample.loop) {
        record.loop = dls::Loop{0, sample.loop->start, sample.loop->end - sample.loop->start};
    }
    out.sample = record;
    dls::Articulation articulation;
    const Envelope& e = region.envelope;
    // The key number scales the decay over keys 0..127 where the set changes it per key from key 60; the base
    // decay moves so that key 60 keeps the set's decay time.
    double keyScale = -128.0 * e.decayTimecentsPerKey;
    articulation.connections = {
        dls::connection(kSourceNone, kDestinationEg1Attack, e.attackTimecents),
        dls::connection(kSourceNone, kDestinationEg1Decay, e.decayTimecents + 60.0 * e.decayTimecentsPerKey),
        dls::connection(kSourceNone, kDestinationEg1Sustain, sustainPerMille(e.sustainCentibels)),
        dls::connection(kSourceNone, kDestinationEg1Release, e.releaseTimecents),
    };
    if (e.decayTimecentsPerKey != 0) {
        articulation.connections.push_back(dls::connection(kSourceKeyNumber, kDestinationEg1Decay, keyScale));
    }
    if (region.vibrato) {
        articulation.level2 = true;
        articulation.connections.insert(
            articulation.connections.end(),
            {dls::connection(kSourceNone, kDestinationVibratoDelay, region.vibrato->delayTimecents),
             dls::connection(kSourceNone, kDestinationVibratoFrequency, region.vibrato->frequencyCents),
             dls::connection(kSourceVibrato, kDestinationPitch, region.vibrato->depthCents)});
    }
    const FilterMotion& f = region.filter;
    if (f.cutoffCents != kOpenCutoffCents) {
        articulation.connections.push_back(dls::connection(kSourceNone, kDestinationFilterCutoff, f.cutoffCents));
    }
    if (f.resonanceCentibels != 0) {
        articulation.connections.push_back(dls::connection(kSourceNone, kDestinationFilterQ, f.resonanceCentibels));
    }
    if (f.envelopeToCutoffCents != 0) {
        articulation.connections.insert(
            articulation.connections.end(),
            {dls::connection(kSourceNone, kDestinationEg2Attack, f.envelopeAttackTimecents),
             dls::connection(kSourceNone, kDestinationEg2Decay, f.envelopeDecayTimecents),
             dls::connection(kSourceNone, kDestinationEg2Sustain, sustainPerMille(f.envelopeSustainPerMille)),
             dls::connection(kSourceNone, kDestinationEg2Release, f.envelopeReleaseTimecents),
             dls::connection(kSourceEg2, kDestinationFilterCutoff, f.envelopeToCutoffCents)});
    }
    if (f.lfoToCutoffCents != 0) {
        articulation.connections.insert(
            articulation.connections.end(),
            {dls::connection(kSourceNone, kDestinationLfoDelay, f.lfoDelayTimecents),
             dls::connection(kSourceNone, kDestinationLfoFrequency, f.lfoFrequencyCents),
             dls::connection(kSourceLfo, kDestinationFilterCutoff, f.lfoToCutoffCents)});
    }
    // The region's pitch in cents: its semitones and cents together.
    if (region.coarseTune != 0 || region.fineTune != 0) {
        articulation.connections.push_back(
            dls::connection(kSourceNone, kDestinationPitch, 100.0 * region.coarseTune + region.fineTune));
    }
    if (region.attenuationCentibels != 0) {
        articulation.connections.push_back(
            dls::connection(kSourceNone, kDestinationGain, -static_cast<double>(region.attenuationCentibels)));
    }
    if (region.pan != 0) {
        articulation.connections.push_back(dls::connection(kSourceNone, kDestinationPan, region.pan));
    }
    out.articulation = articulation;
    return out;
}

} // namespace

dls::Bank toDls(const ProgramSet& set, std::span<const PresetSlot> layout, const std::string& bankName)
{
    dls::Bank bank;
    bank.name = bankName;
    for (const GeneratedSample& sample : set.samples) {
        bank.waves.push_back(waveOf(sample));
    }
    for (const PresetSlot& slot : layout) {
        const GeneratedInstrument& source = set.instrumentFor(slot.bank, slot.program);
        dls::Instrument instrument;
        instrument.name = slot.name;
        instrument.program = slot.program;
        instrument.drums = slot.drums;
        // Bank select as the format stores it: controller 0 in bits 8..14, controller 32 in bits 0..6.
        instrument.bank = slot.drums ? 0u : ((slot.bank / 128u) << 8) | (slot.bank % 128u);
        for (const Region& region : source.regions) {
            instrument.regions.push_back(regionOf(region, set));
        }
        bank.instruments.push_back(std::move(instrument));
    }
    return bank;
}

} // namespace bankgen
