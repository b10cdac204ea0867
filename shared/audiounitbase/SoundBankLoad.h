#pragma once
// How the instrument's last sound-bank load went, as a unit property its hosts read: the bank file a sound set (or
// the host) asked for and whether the synthesizer took it. A host that chose a sound set learns from it whether the
// set's bank is what plays, or which file is missing.
//
// Read through AUAudioUnit::getProperty(kSoundBankLoadProperty, kAudioUnitScope_Global, 0, &load, sizeof load) on
// the control thread. Units without a synthesizer answer kAudioUnitErr_InvalidProperty.

#include <filesystem>

#include "platform/audiounit/AUUnitProperties.h"
#include "platform/foundation/Status.h"

// In the range the platform leaves to units' own properties.
inline constexpr AudioUnitPropertyID kSoundBankLoadProperty = 64000;

struct SoundBankLoad {
    // The bank file asked for; empty before the first load.
    std::filesystem::path bank;
    // noErr: the synthesizer plays bank. kAudio_FileNotFoundError: there is no such file (the previous bank stays).
    // kAudioUnitErr_Uninitialized: nothing was loaded yet. Otherwise the synthesizer's refusal.
    foundation::OSStatus status = foundation::kAudioUnitErr_Uninitialized;
};
