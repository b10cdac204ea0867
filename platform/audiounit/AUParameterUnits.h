#pragma once
// Codes of the parameter units and option flags, with the platform's values: they are stored in presets and shown
// by diagnostics.

#include <cstdint>

enum AudioUnitParameterUnit : std::uint32_t {
    kAudioUnitParameterUnit_Generic = 0,
    kAudioUnitParameterUnit_Indexed = 1,
    kAudioUnitParameterUnit_Boolean = 2,
    kAudioUnitParameterUnit_Percent = 3,
    kAudioUnitParameterUnit_Seconds = 4,
    kAudioUnitParameterUnit_SampleFrames = 5,
    kAudioUnitParameterUnit_Phase = 6,
    kAudioUnitParameterUnit_Rate = 7,
    kAudioUnitParameterUnit_Hertz = 8,
    kAudioUnitParameterUnit_Cents = 9,
    kAudioUnitParameterUnit_RelativeSemiTones = 10,
    kAudioUnitParameterUnit_MIDINoteNumber = 11,
    kAudioUnitParameterUnit_MIDIController = 12,
    kAudioUnitParameterUnit_Decibels = 13,
    kAudioUnitParameterUnit_LinearGain = 14,
    kAudioUnitParameterUnit_Degrees = 15,
    kAudioUnitParameterUnit_EqualPowerCrossfade = 16,
    kAudioUnitParameterUnit_MixerFaderCurve1 = 17,
    kAudioUnitParameterUnit_Pan = 18,
    kAudioUnitParameterUnit_Meters = 19,
    kAudioUnitParameterUnit_AbsoluteCents = 20,
    kAudioUnitParameterUnit_Octaves = 21,
    kAudioUnitParameterUnit_BPM = 22,
    kAudioUnitParameterUnit_Beats = 23,
    kAudioUnitParameterUnit_Milliseconds = 24,
    kAudioUnitParameterUnit_Ratio = 25,
    kAudioUnitParameterUnit_CustomUnit = 26,
};

using AudioUnitParameterOptions = std::uint32_t;

enum : AudioUnitParameterOptions {
    kAudioUnitParameterFlag_CFNameRelease = 1u << 4,
    kAudioUnitParameterFlag_OmitFromPresets = 1u << 13,
    kAudioUnitParameterFlag_PlotHistory = 1u << 14,
    kAudioUnitParameterFlag_MeterReadOnly = 1u << 15,
    kAudioUnitParameterFlag_DisplayMask = (7u << 16) | (1u << 22),
    kAudioUnitParameterFlag_DisplaySquareRoot = 1u << 16,
    kAudioUnitParameterFlag_DisplaySquared = 2u << 16,
    kAudioUnitParameterFlag_DisplayCubed = 3u << 16,
    kAudioUnitParameterFlag_DisplayCubeRoot = 4u << 16,
    kAudioUnitParameterFlag_DisplayExponential = 5u << 16,
    kAudioUnitParameterFlag_HasClump = 1u << 20,
    kAudioUnitParameterFlag_ValuesHaveStrings = 1u << 21,
    kAudioUnitParameterFlag_DisplayLogarithmic = 1u << 22,
    kAudioUnitParameterFlag_IsHighResolution = 1u << 23,
    kAudioUnitParameterFlag_NonRealTime = 1u << 24,
    kAudioUnitParameterFlag_CanRamp = 1u << 25,
    kAudioUnitParameterFlag_ExpertMode = 1u << 26,
    kAudioUnitParameterFlag_HasCFNameString = 1u << 27,
    kAudioUnitParameterFlag_IsGlobalMeta = 1u << 28,
    kAudioUnitParameterFlag_IsElementMeta = 1u << 29,
    kAudioUnitParameterFlag_IsReadable = 1u << 30,
    kAudioUnitParameterFlag_IsWritable = 1u << 31,
};
