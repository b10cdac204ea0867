#pragma once
// Identifiers of the unit properties that callers set through AUAudioUnit::setProperty, with the platform's values.

#include <cstdint>

using AudioUnitPropertyID = std::uint32_t;
using AudioUnitScope = std::uint32_t;
using AudioUnitElement = std::uint32_t;

inline constexpr AudioUnitScope kAudioUnitScope_Global = 0;
inline constexpr AudioUnitScope kAudioUnitScope_Input = 1;
inline constexpr AudioUnitScope kAudioUnitScope_Output = 2;

// A music device's sound bank: the value is a std::filesystem::path naming the bank file.
inline constexpr AudioUnitPropertyID kMusicDeviceProperty_SoundBankURL = 1100;
// A MIDI synthesizer's preload switch: a std::uint32_t; while 1, program changes load instruments instead of playing.
inline constexpr AudioUnitPropertyID kAUMIDISynthProperty_EnablePreload = 4119;
