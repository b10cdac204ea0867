#pragma once

#include <array>

#include "platform/audiounit/AUParameterUnits.h"
#include "platform/audiounit/RenderEvent.h"

// The layout of the instrument's parameter tree: five global parameters, then ten groups of one parameter per MIDI
// channel. Plain constant data.
namespace TunedeckParameterLayout {

inline constexpr int kChannels = 16;

struct GlobalParameter {
    AUParameterAddress address;
    const char* key;
    const char* name;
    AudioUnitParameterUnit unit;
    AUValue minValue;
    AUValue maxValue;
    AUValue buildValue;
};

inline constexpr const char* kGlobalGroupIdentifier = "kTunedeckGlobal";
inline constexpr const char* kGlobalGroupName = "Orvo Tunedeck Global";

inline constexpr std::array<GlobalParameter, 5> kGlobalParameters{{
    {1001, "kTunedeckVolume", "Main Volume", kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 0.78f},
    {1002, "kTunedeckTranspose", "Main Transpose", kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 0.5f},
    {1003, "kTunedeckBank", "GM Mode", kAudioUnitParameterUnit_CustomUnit, 0.0f, 127.0f, 0.0f},
    {1004, "kTunedeckSound", "Internal Sound", kAudioUnitParameterUnit_Boolean, 0.0f, 1.0f, 1.0f},
    {1005, "kTunedeckMIDIOut", "MIDI Output", kAudioUnitParameterUnit_Boolean, 0.0f, 1.0f, 1.0f},
}};

// One group of sixteen: the parameter of channel ch (0 to 15) has address base + ch, key keyPrefix + ch and
// display name "Channel " + (ch + 1) + nameSuffix.
struct ChannelGroup {
    const char* identifier;
    const char* name;
    AUParameterAddress base;
    const char* keyPrefix;
    const char* nameSuffix;
    AudioUnitParameterUnit unit;
    AUValue minValue;
    AUValue maxValue;
    AUValue buildValue;
};

inline constexpr std::array<ChannelGroup, 10> kChannelGroups{{
    {"kTunedeckMutes", "Orvo Tunedeck Mutes", 1016, "kTunedeckMute", " Mute", kAudioUnitParameterUnit_Boolean,
     0.0f, 1.0f, 0.0f},
    {"kTunedeckLevels", "Orvo Tunedeck Levels", 1032, "kTunedeckLevel", " Level", kAudioUnitParameterUnit_Generic,
     0.0f, 1.0f, 0.78f},
    {"kTunedeckPans", "Orvo Tunedeck Pans", 1048, "kTunedeckPan", " Pan", kAudioUnitParameterUnit_Generic, 0.0f,
     1.0f, 0.5f},
    {"kTunedeckBanksMSB", "Orvo Tunedeck Banks MSB", 1064, "kTunedeckBankMSB", " Bank MSB",
     kAudioUnitParameterUnit_MIDIController, 0.0f, 127.0f, 0.0f},
    {"kTunedeckBanksLSB", "Orvo Tunedeck Banks LSB", 1080, "kTunedeckBankLSB", " Bank LSB",
     kAudioUnitParameterUnit_MIDIController, 0.0f, 127.0f, 0.0f},
    {"kTunedeckPrograms", "Orvo Tunedeck Programs", 1096, "kTunedeckBankProgram", " Program",
     kAudioUnitParameterUnit_MIDIController, 0.0f, 127.0f, 0.0f},
    {"kTunedeckPitchbends", "Orvo Tunedeck PitchBends", 1112, "kTunedeckPitchBend", " PitchBend",
     kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 0.5f},
    {"kTunedeckModWheels", "Orvo Tunedeck ModWheels", 1128, "kTunedeckModWheel", " ModWheel",
     kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 0.0f},
    {"kTunedeckControlers1", "Orvo Tunedeck Controlers1", 1144, "kTunedeckController1_", " Controller1",
     kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 0.5f},
    {"kTunedeckControlers2", "Orvo Tunedeck Controlers2", 1160, "kTunedeckController2_", " Controller2",
     kAudioUnitParameterUnit_Generic, 0.0f, 1.0f, 0.5f},
}};

// Readable and writable, nothing else.
inline constexpr AudioUnitParameterOptions kParameterFlags =
    kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable;

}  // namespace TunedeckParameterLayout
