#pragma once
// The reverb's factory presets: the shape of the simulated space.

#include <array>
#include <cstddef>
#include <cstdint>

namespace audioengine {

enum class ReverbPreset : int32_t {
    smallRoom = 0,
    mediumRoom = 1,
    largeRoom = 2,
    mediumHall = 3,
    largeHall = 4,
    plate = 5,
    mediumChamber = 6,
    largeChamber = 7,
    cathedral = 8,
    largeRoom2 = 9,
    mediumHall2 = 10,
    mediumHall3 = 11,
    largeHall2 = 12,
};

struct ReverbShape {
    double sizeScale;     // multiplies the base delay lengths
    double decaySeconds;  // time to fall by 60 dB
    double damping;       // 0 (bright) to 1 (dark): share of the high end lost per pass
    double preDelaySeconds;
};

inline constexpr double kMaximumReverbSizeScale = 1.6;
inline constexpr double kMaximumReverbPreDelaySeconds = 0.03;

inline constexpr std::array<ReverbShape, 13> kReverbShapes{{
    {0.55, 0.6, 0.35, 0.002},  // small room
    {0.75, 0.9, 0.35, 0.005},  // medium room
    {1.00, 1.3, 0.30, 0.008},  // large room
    {1.15, 1.9, 0.25, 0.012},  // medium hall
    {1.35, 2.6, 0.25, 0.018},  // large hall
    {0.70, 1.6, 0.10, 0.000},  // plate
    {0.85, 1.3, 0.30, 0.006},  // medium chamber
    {1.05, 1.8, 0.30, 0.009},  // large chamber
    {1.60, 4.5, 0.20, 0.025},  // cathedral
    {1.10, 1.5, 0.40, 0.010},  // large room 2
    {1.20, 2.0, 0.30, 0.014},  // medium hall 2
    {1.25, 2.2, 0.35, 0.015},  // medium hall 3
    {1.45, 3.0, 0.30, 0.020},  // large hall 2
}};

// The shape of a preset; unknown values give the medium room.
constexpr const ReverbShape& reverbShape(ReverbPreset preset) {
    const auto index = static_cast<int32_t>(preset);
    return index >= 0 && index < static_cast<int32_t>(kReverbShapes.size()) ? kReverbShapes[static_cast<size_t>(index)]
                                                                            : kReverbShapes[1];
}

}  // namespace audioengine
