// One General MIDI program set, as the sound-bank files store it: samples, 128 melodic instruments and one drum-kit
// instrument. The bank writers lay it out in SoundFont 2 or DLS form; the units are those of SoundFont 2
// (timecents, centibels, tenths of a percent for pan).
//
// Thread contract: plain values; buildProgramSet is a pure function, callable from any thread.
#pragma once

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

// Pitch vibrato from the modulation LFO, starting after a delay.
struct Vibrato {
    std::int16_t delayTimecents = 0;
    std::int16_t frequencyCents = 0; // absolute cents: 0 is 8.176 Hz
    std::int16_t depthCents = 0;
};

struct Region {
    std::uint8_t keyLo = 0;
    std::uint8_t keyHi = 127;
    std::uint32_t sample = 0;       // index into ProgramSet::samples
    std::uint8_t rootKey = 60;      // the key that plays the sample at its own pitch
    bool looped = false;
    Envelope envelope;
    std::int16_t attenuationCentibels = 0;
    std::int16_t pan = 0;           // -500 left .. 500 right
    std::uint16_t exclusiveClass = 0;
    std::optional<Vibrato> vibrato;
};

struct GeneratedInstrument {
    std::string name;
    std::vector<Region> regions; // key ranges in ascending order, not overlapping
};

struct ProgramSet {
    std::vector<GeneratedSample> samples;
    std::vector<GeneratedInstrument> melodic; // index = program number, 128 of them
    GeneratedInstrument drums;
};

ProgramSet buildProgramSet();

// Conversions into the set's units.
std::int16_t secondsToTimecents(double seconds);
std::int16_t hertzToAbsoluteCents(double hertz);
std::int16_t decibelsToCentibels(double attenuationDecibels);

} // namespace bankgen
