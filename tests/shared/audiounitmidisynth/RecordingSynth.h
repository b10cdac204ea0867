#pragma once
// A stand-in for the synthesizer that writes down, as text, every sound-bank and preload property set on it and
// every MIDI message sent to it, and fails on request. Registered under the synthesizer's description before any
// wrapper runs, so the wrapper's create() finds it first.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/audiounit/AUAudioUnit.h"

namespace midisynth_test {

class RecordingSynth final : public AUAudioUnit {
public:
    using AUAudioUnit::AUAudioUnit;

    // Whether units made from now on name a MIDI output.
    static inline bool reportsMIDIOutput = false;

    AUInternalRenderBlock internalRenderBlock() override {
        return [](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount, int64_t, AudioBufferList*,
                  const AURenderEvent*, const AURenderPullInputBlock&) { return foundation::noErr; };
    }
    std::vector<std::string> MIDIOutputNames() const override {
        return namesMIDIOutput_ ? std::vector<std::string>{"Synth MIDI Out"} : std::vector<std::string>{};
    }

    // "1100 <file name>", "4119 <value>".
    foundation::OSStatus setProperty(AudioUnitPropertyID property, AudioUnitScope, AudioUnitElement,
                                     const void* data, uint32_t) override {
        if (property == kMusicDeviceProperty_SoundBankURL) {
            calls.push_back("1100 " + static_cast<const std::filesystem::path*>(data)->filename().string());
            return bankStatus;
        }
        const uint32_t value = *static_cast<const uint32_t*>(data);
        calls.push_back("4119 " + std::to_string(value));
        return value != 0 ? enableStatus : disableStatus;
    }

    // "B9 00 78": the status byte and the two data values in hexadecimal, as sent (not cut to seven bits).
    foundation::OSStatus musicDeviceMIDIEvent(uint32_t status, uint32_t data1, uint32_t data2, uint32_t) override {
        char text[32];
        std::snprintf(text, sizeof text, "%02X %02X %02X", status, data1, data2);
        calls.push_back(text);
        return (status & 0xF0) == 0xC0 && failingProgram == data1 ? foundation::kAudio_ParamError : foundation::noErr;
    }

    std::vector<std::string> calls;
    foundation::OSStatus bankStatus = foundation::noErr;
    foundation::OSStatus enableStatus = foundation::noErr;
    foundation::OSStatus disableStatus = foundation::noErr;
    std::optional<uint32_t> failingProgram;

private:
    bool namesMIDIOutput_ = reportsMIDIOutput;
};

}  // namespace midisynth_test
