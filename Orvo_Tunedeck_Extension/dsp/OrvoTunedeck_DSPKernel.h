#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "Orvo_Tunedeck_Extension/dsp/Compander2.h"
#include "Orvo_Tunedeck_Extension/dsp/DSPKernel.h"
#include "Orvo_Tunedeck_Extension/dsp/ParameterStore.h"
#include "platform/audiounit/AudioBufferList.h"

struct _korvel_synth_t;
struct _korvel_player_t;

// A callback the kernel may give its owner; stored, never called.
using KernelCallbackBlock = std::function<void()>;

// The instrument's kernel. Holds the parameter store, the live path's output limiter, per-call render state (host
// buffer list and bus) and, for its whole life, a korvel synthesizer loaded with resources/"soundfont6.sf2".
//
// The constructor logs the resource folder, or an error when that folder or the synthesizer cannot be had; in the
// latter case the kernel keeps running without the library.
//
// Thread contract: construction, destruction, init and setSamplerate on the control thread while rendering is
// stopped; parameter access, bypass and limiter reset requests from any thread; the render entry points (from
// DSPKernel, and setRenderBuffers / clearRenderBuffers) on the render thread only. The library's instance table is
// shared by all kernels without a lock: the synthesizer path (process, handleMIDIEvent) must not overlap the
// construction or destruction of any kernel. The limiter path never touches the library.
class OrvoTunedeck_DSPKernel : public DSPKernel {
public:
    static constexpr AUAudioFrameCount kDefaultMaxFrames = 4096;
    // Largest frame count of one library render call; longer slices are rendered in parts.
    static constexpr AUAudioFrameCount kLibraryMaxFrames = 2048;

    OrvoTunedeck_DSPKernel();
    ~OrvoTunedeck_DSPKernel() override;
    OrvoTunedeck_DSPKernel(const OrvoTunedeck_DSPKernel&) = delete;
    OrvoTunedeck_DSPKernel& operator=(const OrvoTunedeck_DSPKernel&) = delete;

    // Set-up for an output format: sample rate (Hz) for the kernel and the limiter, channel count; resets the
    // limiter state.
    void init(std::int32_t channelCount, double sampleRate) noexcept;

    float samplerate() const noexcept { return fSamplerate; }
    // New limiter timings for rate without resetting its state.
    void setSamplerate(float rate) noexcept;

    AUAudioFrameCount maximumFrames() const noexcept { return maxFrames; }
    void setMaximumFrames(AUAudioFrameCount frames) noexcept { maxFrames = frames; }

    bool bypassed() const noexcept { return bBypass.load(std::memory_order_relaxed); }
    void setBypass(bool bypass) noexcept { bBypass.store(bypass, std::memory_order_relaxed); }
    // The limiter's peaks and factors go back to their start before it next runs.
    void requestLimiterReset() noexcept { limiterResetPending.store(true, std::memory_order_release); }

    AUValue getParameter(AUParameterAddress address) const noexcept { return fParameters.get(address); }
    void setParameter(AUParameterAddress address, AUValue value) noexcept override { fParameters.set(address, value); }

    // Render thread: the one buffer list of this call, as input and output, and the bus it is for; cleared again
    // with clearRenderBuffers before the call returns.
    void setRenderBuffers(AudioBufferList* list, std::int64_t busNumber) noexcept;
    void clearRenderBuffers() noexcept;

    // The library instance renders frameCount frames into the current output list from bufferOffset, in parts of
    // at most kLibraryMaxFrames; nothing without an instance or a usable list.
    void process(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept override;
    // The limiter runs in place over frameCount frames from bufferOffset; nothing without a usable list.
    void processCompander(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept override;
    // Messages of four bytes or more go to the library as long (system-exclusive) messages, shorter ones as short
    // messages with the missing data bytes 0; nothing without an instance.
    void handleMIDIEvent(const AUMIDIEvent& event) noexcept override;

    // This kernel's library instance identifier; distinct among live kernels.
    std::uint32_t instanceId() const noexcept { return instance; }
    // The library instance's synthesizer, or nullptr when it could not be made.
    _korvel_synth_t* librarySynth() const noexcept { return synth; }

    // Control thread, while rendering is stopped. Set through the adapter; the kernel never calls it.
    KernelCallbackBlock kernelCallback;
    // Stays false; nothing consults it.
    bool midiThru = false;
    // The library's MIDI file player of this kernel's instance: the kernel never loads a file, so it stays null.
    _korvel_player_t* player = nullptr;

    static constexpr const char* SOUNDFONT = "/soundfont6.sf2";
    static constexpr std::size_t kPathBytes = 1024;
    // Kernels alive now.
    static std::uint32_t instanceCount();

private:
    // Left and right of the current output list from bufferOffset, when the list has room for frameCount frames
    // there and the kernel may render (not bypassed, two channels, at most maxFrames frames); otherwise false.
    bool outputChannels(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset, float*& left,
                        float*& right) const noexcept;
    void createLibraryInstance();

    std::uint32_t instance;
    AudioBufferList* renderBuffers = nullptr;
    std::int64_t currentInBusIndex = 0;
    std::int64_t currentOutBusIndex = 0;
    std::int32_t numChannels = 2;
    float fSamplerate = 48000.0f;
    ParameterStore fParameters;
    AUAudioFrameCount maxFrames = kDefaultMaxFrames;
    std::atomic<bool> bBypass{false};
    std::atomic<bool> limiterResetPending{false};
    Compander2 compander;
    char path1[kPathBytes] = {};
    _korvel_synth_t* synth = nullptr;
};
