// Waveform synthesis for the generated sound banks: additive single cycles and seeded noise. Every function is
// deterministic: the same arguments give the same points on every run and machine.
//
// Thread contract: pure functions; any thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace bankgen {

// Period in points of the A note `key` (33, 45, 57, 69, 81, 93) at rateHz.
std::uint32_t periodOfA(std::uint8_t key, std::uint32_t rateHz);

// `cycles` repetitions of one period of `period` points holding sine partials: harmonic h + 1 at amplitude
// amplitudes[h], all starting at phase 0. Scaled so the loudest point is `peak` (0..1) of full scale.
std::vector<std::int16_t> additiveCycles(std::uint32_t period, std::span<const float> amplitudes, int cycles,
                                         double peak);

// A xorshift generator with a fixed seed, so that noise is the same on every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    // Uniform in -1..1.
    double next();

private:
    std::uint32_t state_;
};

// Converts signal values in -1..1 to points with the loudest at `peak` of full scale.
std::vector<std::int16_t> toPoints(std::span<const double> signal, double peak);

// `length` points of noise for looping, high-passed `differences` times (1: cymbal, 2: hi-hat).
std::vector<double> loopNoiseSignal(std::uint32_t length, int differences, std::uint32_t seed);

} // namespace bankgen
