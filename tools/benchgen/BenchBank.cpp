#include "tools/benchgen/BenchBank.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace benchgen {

namespace {

using bankgen::FilterMotion;
using bankgen::GeneratedInstrument;
using bankgen::Region;

constexpr bankgen::BankFile kBenchBank{"bench.sf2", bankgen::BankFormat::soundFont2,
                                       ProgramTable::generalMidi, bankgen::kBankFiles[2].voicing};

constexpr int kPrograms = 128;
constexpr std::uint8_t kFirstPad = 88;
constexpr std::uint8_t kLastPad = 95;
// Strings, ensembles and choirs ring on like the pads.
constexpr std::uint8_t kFirstEnsemble = 48;
constexpr std::uint8_t kLastEnsemble = 54;
// One program in this many keeps its own filter, as the few open zones of real banks do.
constexpr int kOpenEvery = 16;
// Programs whose number leaves this remainder modulo 3 get no second layer.
constexpr int kSingleLayerRemainder = 0;
constexpr std::int16_t kLayerDetuneCents = 7;
constexpr std::int16_t kLayerPan = 200;
constexpr std::int16_t kLayerCentibels = 60;

// A closed cut-off between about 650 Hz and 1.4 kHz that the modulation envelope opens by two to three octaves at
// the note's start and lets fall back to a share of that over one to three seconds.
FilterMotion sweptFilter(int index, std::int16_t releaseTimecents)
{
    FilterMotion motion;
    motion.cutoffCents = static_cast<std::int16_t>(7600 + 120 * (index % 12));
    motion.resonanceCentibels = static_cast<std::int16_t>(30 * (index % 4));
    motion.envelopeAttackTimecents = bankgen::secondsToTimecents(0.005 + 0.01 * (index % 3));
    motion.envelopeDecayTimecents = bankgen::secondsToTimecents(1.0 + 0.25 * (index % 9));
    motion.envelopeSustainPerMille = static_cast<std::int16_t>(500 + 40 * (index % 6));
    motion.envelopeReleaseTimecents = releaseTimecents;
    motion.envelopeToCutoffCents = static_cast<std::int16_t>(2400 + 100 * (index % 13));
    return motion;
}

void sweepFilters(GeneratedInstrument& instrument, int index)
{
    for (Region& region : instrument.regions) {
        region.filter = sweptFilter(index, region.envelope.releaseTimecents);
    }
}

// 3 to 10 seconds, by the region's place.
void lengthenReleases(GeneratedInstrument& instrument, int index)
{
    int n = index;
    for (Region& region : instrument.regions) {
        region.envelope.releaseTimecents = bankgen::secondsToTimecents(3.0 + (n++ % 8));
        region.filter.envelopeReleaseTimecents = region.envelope.releaseTimecents;
    }
}

// Two regions sound together when they share a key and a velocity.
bool layered(const GeneratedInstrument& instrument)
{
    const auto& regions = instrument.regions;
    for (std::size_t i = 0; i < regions.size(); ++i) {
        for (std::size_t j = i + 1; j < regions.size(); ++j) {
            const Region& a = regions[i];
            const Region& b = regions[j];
            if (a.keyLo <= b.keyHi && b.keyLo <= a.keyHi && a.velLo <= b.velHi && b.velLo <= a.velHi) {
                return true;
            }
        }
    }
    return false;
}

// A second layer on every region: detuned, across the stereo field and a little quieter.
void addLayer(GeneratedInstrument& instrument)
{
    std::vector<Region> seconds;
    for (Region& region : instrument.regions) {
        Region second = region;
        region.pan = static_cast<std::int16_t>(region.pan - kLayerPan);
        second.pan = static_cast<std::int16_t>(second.pan + kLayerPan);
        second.fineTune = static_cast<std::int16_t>(second.fineTune + kLayerDetuneCents);
        second.attenuationCentibels = static_cast<std::int16_t>(second.attenuationCentibels + kLayerCentibels);
        seconds.push_back(second);
    }
    instrument.regions.insert(instrument.regions.end(), seconds.begin(), seconds.end());
}

} // namespace

const bankgen::BankFile& benchBankFile()
{
    return kBenchBank;
}

bankgen::ProgramSet buildBenchSet()
{
    bankgen::ProgramSet set = bankgen::buildProgramSet(kBenchBank);
    for (int program = 0; program < kPrograms; ++program) {
        GeneratedInstrument& instrument = set.melodic[static_cast<std::size_t>(program)];
        if ((program >= kFirstPad && program <= kLastPad) || (program >= kFirstEnsemble && program <= kLastEnsemble)) {
            lengthenReleases(instrument, program);
        }
        if (program % kOpenEvery != kOpenEvery - 1) {
            sweepFilters(instrument, program);
        }
        if (program % 3 != kSingleLayerRemainder && !layered(instrument)) {
            addLayer(instrument);
        }
    }
    int index = 0;
    for (bankgen::PlacedInstrument& kit : set.kits) {
        lengthenReleases(kit.instrument, index);
        sweepFilters(kit.instrument, index++);
    }
    return set;
}

} // namespace benchgen
