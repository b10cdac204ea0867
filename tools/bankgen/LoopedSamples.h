// Looped samples of the program set. Each loop holds whole periods of its root key's pitch and is preceded by a
// lead-in equal to its own end, so that interpolation before the loop start reads the points the loop repeats.
//
// Thread contract: pure functions; any thread.
#pragma once

#include "tools/bankgen/ProgramSet.h"

#include <cstdint>
#include <span>

namespace bankgen {

// One period of the A note rootKey (33, 45, ... 93) holding harmonic partials (Synthesis.h: additiveCycles).
GeneratedSample cycleSample(const char* name, std::uint8_t rootKey, std::uint32_t rateHz,
                            std::span<const float> amplitudes, double peak);

// 0.1 s of seeded noise, high-passed `differences` times, whose loop is 44 periods of its root key 69 (440 Hz).
GeneratedSample noiseSample(const char* name, std::uint32_t rateHz, int differences, std::uint32_t seed, double peak);

} // namespace bankgen
