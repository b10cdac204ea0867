#pragma once
// Our stand-in for the platform's General MIDI synthesizer unit: a multitimbral instrument (no input bus, one
// stereo output bus, no MIDI output) that plays a SoundFont 2 or DLS bank through one instance of our SoundFont
// library.
//
// What callers use:
// - property kMusicDeviceProperty_SoundBankURL (1100, global scope, element 0; a std::filesystem::path of
//   sizeof(std::filesystem::path)): loads the bank, told apart by content. A missing file gives
//   kAudio_FileNotFoundError, an unreadable or foreign one kAudioUnitErr_InvalidFile; the previous bank then stays.
// - property kAUMIDISynthProperty_EnablePreload (4119, global scope, element 0; a std::uint32_t): while non-zero,
//   bank selects and program changes sent through musicDeviceMIDIEvent only load the instrument they name (an error
//   status when there is no bank to load from) and change nothing that plays; other messages play as usual.
// - musicDeviceMIDIEvent: one short message for the next render, offsetFrames into it; data values above 127 are
//   masked to seven bits.
// - parameters kMIDISynthParameter_GainDecibels (900: dB, -96 to +24, values outside are taken at the nearer end)
//   and kMIDISynthParameter_CoarseTuneSemitones (901: whole semitones for every melodic channel, the fraction
//   truncated toward zero; drum kits keep their pitch).
// - the render block: renders the requested frames over the output buffers and applies the MIDI and parameter
//   events of the list at their frames (times outside the buffer at its first or last frame).
//
// Bank selects follow the rule of BankSelect.h; every channel starts at program 0, the drum channel with the
// standard kit.
//
// Threads: properties, parameters, reset and allocation on the control thread; musicDeviceMIDIEvent from any thread
// (while preloading, from the control thread); the render block on the render thread, where nothing allocates,
// locks, waits or logs. A render that meets a bank being swapped in outputs silence.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audiounit/AUAudioUnit.h"
#include "platform/synth/BankSelect.h"
#include "platform/synth/LibraryRateBridge.h"
#include "platform/synth/OutputGain.h"
#include "platform/synth/RenderGate.h"
#include "platform/synth/SynthInstance.h"
#include "platform/synth/SynthMIDI.h"

inline constexpr AUParameterAddress kMIDISynthParameter_GainDecibels = 900;
inline constexpr AUParameterAddress kMIDISynthParameter_CoarseTuneSemitones = 901;

// 'aumu', 'msyn', 'appl'.
inline constexpr AudioComponentDescription kMIDISynthDescription{0x61756D75, 0x6D73796E, 0x6170706C, 0, 0};

class MIDISynthUnit final : public AUAudioUnit {
public:
    // Throws AudioUnitStatusError (kAudioUnitErr_FailedInitialization) when the library cannot be started.
    explicit MIDISynthUnit(const AudioComponentDescription& description = kMIDISynthDescription);
    ~MIDISynthUnit() override;

    // Throws kAudioUnitErr_FormatNotSupported for an output rate outside 12000 to 192000 Hz. A new library rate
    // restarts the library at that rate with the bank loaded so far. The library renders at 24000 to 96000 Hz:
    // below, at twice the output rate, above, at half, with a half-band filter between (LibraryRateBridge.h).
    void allocateRenderResources() override;
    // Silences every sounding note at once.
    void reset() override;
    // The delay of the half-band filter in seconds at the allocated rate: 15.5 output frames below 24000 Hz, 31
    // above 96000 Hz, none between.
    double latency() const override;
    AUInternalRenderBlock internalRenderBlock() override;

    foundation::OSStatus setProperty(AudioUnitPropertyID property, AudioUnitScope scope, AudioUnitElement element,
                                     const void* data, uint32_t size) override;
    foundation::OSStatus musicDeviceMIDIEvent(uint32_t status, uint32_t data1, uint32_t data2,
                                              uint32_t offsetFrames) override;

    std::vector<int32_t> channelCapabilities() const override { return {0, 2}; }
    bool canPerformOutput() const override { return true; }

    // The bank file loaded last; empty before the first. Control thread.
    std::filesystem::path soundBankPath() const;
    bool isPreloading() const { return preloading_.load(); }

private:
    foundation::OSStatus loadSoundBankProperty(const std::filesystem::path& path);
    foundation::OSStatus preload(uint8_t status, uint8_t data1, uint8_t data2);
    void takeParameter(AUParameterAddress address, AUValue value);

    foundation::OSStatus render(const AudioTimeStamp* timestamp, AUAudioFrameCount frameCount,
                                int64_t outputBusNumber, AudioBufferList* outputData,
                                const AURenderEvent* events) noexcept;
    void renderSpan(float* left, float* right, uint32_t from, uint32_t to) noexcept;
    void applyRenderEvent(const AURenderEvent& event) noexcept;
    void takeParameterValuesForRender() noexcept;

    mutable std::mutex controlMutex_;  // serialises the control thread's work on the instance
    synth::RenderGate gate_;
    std::unique_ptr<synth::SynthInstance> instance_;
    std::filesystem::path bankPath_;
    std::atomic<bool> preloading_{false};
    synth::ChannelBankSelect preloadBanks_;  // control thread, under controlMutex_
    double latencySeconds_ = 0.0;             // control thread, under controlMutex_

    // Parameter values as the control thread (or a render-list event) last set them.
    std::atomic<float> gainDecibels_{0.0f};
    std::atomic<int> coarseTuneSemitones_{0};

    // Render thread (or the control thread inside the gate).
    synth::SynthMIDI midi_;
    synth::OutputGain gain_;
    std::vector<float> scratch_;  // the right channel of a mono output
    synth::LibraryRateBridge rateBridge_;
};
