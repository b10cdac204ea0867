#pragma once
// Small banks for the synthesizer tests, in both formats: program 0 plays a looped sine rooted at key 69, so that
// key 69 sounds at 440 Hz; program 1 plays the same sine rooted an octave lower (880 Hz at key 69).

#include <filesystem>

namespace synth_test {

inline constexpr double kRootFrequencyHz = 440.0;

bool writeSineSoundFont(const std::filesystem::path& path);
bool writeSineDLS(const std::filesystem::path& path);

}  // namespace synth_test
