// Waveform synthesis for the generated sound banks: additive single cycles, seeded noise and drum sounds. Every
// function is deterministic: the same arguments give the same points on every run and machine.
//
// Thread contract: pure functions; any thread.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace bankgen {

// The rate of every generated sample. At 44000 Hz the A notes have whole periods: 440 Hz is 100 points.
inline constexpr std::uint32_t kSampleRateHz = 44000;

// Period in points of the A note `key` (33, 45, 57, 69, 81, 93) at kSampleRateHz.
std::uint32_t periodOfA(std::uint8_t key);

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

// Drum sounds as signals in -1..1 at kSampleRateHz; the seeds make their noise fixed.
std::vector<double> kickSignal();
std::vector<double> snareSignal();
// A tom at about 98 Hz (key 43), with a short downward sweep.
std::vector<double> tomSignal();
std::vector<double> clapSignal();
std::vector<double> woodSignal();
std::vector<double> shakerSignal();
// `length` points of noise for looping, high-passed `differences` times (1: cymbal, 2: hi-hat).
std::vector<double> loopNoiseSignal(std::uint32_t length, int differences, std::uint32_t seed);

} // namespace bankgen
