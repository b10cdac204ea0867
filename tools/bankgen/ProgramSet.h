// One program set, as a sound-bank file stores it: samples, the 128 melodic instruments, the variation tones of the
// file's program table and a drum kit per kit program. The bank writers lay it out in SoundFont 2 or DLS form; the
// units are those of SoundFont 2 (timecents, centibels, cents, tenths of a percent for pan and levels).
//
// Thread contract: plain values; buildProgramSet is a pure function, callable from any thread.
#pragma once

#include "tools/bankgen/BankLayout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bankgen {

struct SampleLoop {
    std::uint32_t start = 0; // first point of the loop
    std::uint32_t end = 0;   // first point after the loop
};

struct GeneratedSample {
    std::string name;
    std::vector<std::int16_t> points;
    std::uint32_t rateHz = 0;
    std::uint8_t rootKey = 60;
    std::optional<SampleLoop> loop; // none for one-shot samples
};

// Volume envelope.
struct Envelope {
    std::int16_t attackTimecents = -12000;
    std::int16_t decayTimecents = -12000;
    std::int16_t sustainCentibels = 0; // attenuation while held
    std::int16_t releaseTimecents = -12000;
    // Change of the decay time per key above key 60; negative values make higher notes die away sooner.
    std::int16_t decayTimecentsPerKey = 0;
};

// Pitch vibrato from the vibrato LFO, starting after a delay.
struct Vibrato {
    std::int16_t delayTimecents = 0;
    std::int16_t frequencyCents = 0; // absolute cents: 0 is 8.176 Hz
    std::int16_t depthCents = 0;
};

// The low-pass filter's cutoff, in absolute cents, that leaves it open.
inline constexpr std::int16_t kOpenCutoffCents = 13500;

// Modulation envelope and where it and the modulation LFO take the low-pass filter.
struct FilterMotion {
    std::int16_t cutoffCents = kOpenCutoffCents; // initial cutoff in absolute cents
    std::int16_t resonanceCentibels = 0;
    std::int16_t envelopeAttackTimecents = -12000;
    std::int16_t envelopeDecayTimecents = -12000;
    std::int16_t envelopeSustainPerMille = 0; // drop from the envelope's peak while held, 1000 is all of it
    std::int16_t envelopeReleaseTimecents = -12000;
    std::int16_t envelopeToCutoffCents = 0;
    std::int16_t lfoDelayTimecents = -12000; // the modulation LFO, which only moves the cutoff
    std::int16_t lfoFrequencyCents = 0;      // absolute cents: 0 is 8.176 Hz
    std::int16_t lfoToCutoffCents = 0;
};

struct Region {
    std::uint8_t keyLo = 0;
    std::uint8_t keyHi = 127;
    std::uint8_t velLo = 0;
    std::uint8_t velHi = 127;
    std::uint32_t sample = 0;       // index into ProgramSet::samples
    std::uint8_t rootKey = 60;      // the key that plays the sample at its own pitch
    bool looped = false;
    Envelope envelope;
    // The level change it means, in full; the SoundFont 2 writer restates it for the players' convention.
    std::int16_t attenuationCentibels = 0;
    std::int16_t pan = 0;           // -500 left .. 500 right
    std::uint16_t exclusiveClass = 0;
    std::optional<Vibrato> vibrato;
    std::int16_t coarseTune = 0; // semitones
    std::int16_t fineTune = 0;   // cents
    FilterMotion filter;
};

struct GeneratedInstrument {
    std::string name;
    std::vector<Region> regions; // key ranges in ascending order; layers and velocity zones overlap
};

// A kit at kDrumBank and its program.
struct PlacedInstrument {
    std::uint16_t bank;
    std::uint8_t program;
    GeneratedInstrument instrument;
};

// One layer of a variation tone: added to every region of its program.
struct VariationLayer {
    std::int16_t cents;
    std::int16_t semitones;
    std::int16_t pan;
    std::int16_t attenuationCentibels; // in full, as Region's
};

// How a variation tone changes its program: its layers, and what it adds to every region of each.
struct VariationChanges {
    std::vector<VariationLayer> layers;
    std::int16_t cutoffCents = 0;
    std::int16_t envelopeToCutoffCents = 0;
    std::int16_t attackTimecents = 0;
    std::int16_t decayTimecents = 0;
    std::int16_t releaseTimecents = 0;
    std::int16_t sustainCentibels = 0;
};

struct PlacedVariation {
    std::uint16_t bank;
    std::uint8_t program;
    VariationChanges changes;
    GeneratedInstrument instrument; // the program's regions with the changes
};

struct ProgramSet {
    std::vector<GeneratedSample> samples;
    std::vector<GeneratedInstrument> melodic; // index = program number, 128 of them
    std::vector<PlacedInstrument> kits;       // one per kit program, the standard kit (program 0) first
    std::vector<PlacedVariation> variations;  // the variation tones of the file's program table

    // The instrument a preset at this bank and program plays: its own when it has one, else the kit of the same
    // program (or the standard kit) for kDrumBank, else the melodic program.
    const GeneratedInstrument& instrumentFor(std::uint16_t bank, std::uint8_t program) const;
};

// The set of a bank file: its voicing, and the variation tones and kits of its program table.
ProgramSet buildProgramSet(const BankFile& file);

// Conversions into the set's units.
std::int16_t secondsToTimecents(double seconds);
std::int16_t hertzToAbsoluteCents(double hertz);
std::int16_t decibelsToCentibels(double attenuationDecibels);

// Both formats time a volume decay as a fall of 100 dB (1000 cB), so a level that is to reach a sustain of S cB
// below full in t seconds has a decay time of t / (S / 1000). The share S / 1000; 1 for a sustain at full level or
// at silence (nothing to reach, or all 100 dB).
double sustainShareOfDecay(std::int16_t sustainCentibels);

} // namespace bankgen
