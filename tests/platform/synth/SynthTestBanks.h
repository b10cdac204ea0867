#pragma once
// Small banks for the synthesizer tests, in both formats, made of one looped 440 Hz sine played at different root
// keys: a preset rooted at key 69 sounds at 440 Hz on key 69, one rooted at 57 at 880 Hz, one rooted at 81 at 220 Hz.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace synth_test {

inline constexpr double kRootFrequencyHz = 440.0;

struct SinePreset {
    uint16_t bank;  // as the sound-bank model numbers it: 128 x MSB + LSB, kits at 128
    uint8_t program;
    uint8_t rootKey;
};

bool writeSineSoundFont(const std::filesystem::path& path, const std::vector<SinePreset>& presets);
// DLS instruments at bank 128 become drum kits; the others carry the bank as its LSB (banks below 128).
bool writeSineDLS(const std::filesystem::path& path, const std::vector<SinePreset>& presets);

// Program 0 rooted at key 69 (440 Hz), program 1 rooted at 57 (880 Hz), both in bank 0.
bool writeSineSoundFont(const std::filesystem::path& path);
bool writeSineDLS(const std::filesystem::path& path);

}  // namespace synth_test
