// Drum sounds as signals in -1..1: kick, snare and tom shaped by a kit's character, and the hand percussion the kits
// share. The seeds make their noise the same on every run.
//
// Thread contract: pure functions; any thread.
#pragma once

#include <cstdint>
#include <vector>

namespace bankgen {

// The drums that give a kit its character.
struct DrumShape {
    float kickHz;           // where the kick's pitch settles
    float kickSweepHz;      // how far above it the kick starts
    float kickSweepSeconds;
    float kickDecaySeconds;
    float kickClick;        // level of the beater's click
    float snareHz;
    float snareToneDecaySeconds;
    float snareNoiseDecaySeconds;
    float snareNoise;       // level of the wires against the head
    bool brush;             // a brush's swish instead of a stick's hit
    float tomSweep;         // the tom's pitch starts this fraction above its own
    float tomDecaySeconds;
    float tomNoise;
    bool timpani;           // kettle modes instead of a tom's head
};

std::vector<double> kickSignal(const DrumShape& shape, std::uint32_t rateHz, std::uint32_t seed);
std::vector<double> snareSignal(const DrumShape& shape, std::uint32_t rateHz, std::uint32_t seed);
// A tom at about 98 Hz (key 43).
std::vector<double> tomSignal(const DrumShape& shape, std::uint32_t rateHz, std::uint32_t seed);
std::vector<double> clapSignal(std::uint32_t rateHz, std::uint32_t seed);
std::vector<double> woodSignal(std::uint32_t rateHz);
std::vector<double> shakerSignal(std::uint32_t rateHz, std::uint32_t seed);
// A falling electronic sweep, for the effects kit.
std::vector<double> zapSignal(std::uint32_t rateHz);

} // namespace bankgen
