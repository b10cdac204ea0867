#pragma once

#include <cmath>
#include <cstdint>

// The MIDI data byte of a per-channel parameter value, a fraction of full scale: trunc(value × 127) (0.79 gives 100,
// 0.5 gives 63, 1.0 gives 127). Hosts may write bank and program values up to 127; products above 127 give 127,
// negative ones and NaN give 0, so no byte of 0x80 or more is ever sent. Pure.
constexpr std::uint8_t parameterDataByte(float value) noexcept {
    const float product = value * 127.0f;
    if (!(product > 0.0f)) {
        return 0;
    }
    return product >= 127.0f ? 127 : static_cast<std::uint8_t>(product);
}

// The synthesizer gain in decibels of the main volume value: value × 108 − 96 (0 gives −96, 1 gives +12). Pure.
constexpr float mainVolumeDecibels(float value) noexcept { return value * 108.0f - 96.0f; }
