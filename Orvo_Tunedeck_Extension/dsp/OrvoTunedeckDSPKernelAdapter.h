#pragma once

#include <cstdint>
#include <memory>

#include "Orvo_Tunedeck_Extension/dsp/BufferedInputBus.h"
#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeck_DSPKernel.h"
#include "platform/audiounit/AUAudioUnitBus.h"
#include "platform/audiounit/AUParameterTree.h"
#include "platform/audiounit/AURenderBlocks.h"
#include "platform/foundation/Status.h"

// What the audio unit talks to for its signal processing: owns the kernel (parameter store, output limiter, library
// instance), the output bus and an input-bus holder, and offers two render entry points: render2, the live path
// (limiter in place over what the platform synthesizer rendered), and render, the kernel's own synthesizer path
// (the library instance renders the buffer, taking the MIDI of the event list at its frames).
//
// Thread contract, per group of operations:
// - construction, destruction, allocate/deallocate, setSamplerate, setMaximumFramesToRender, the MIDI output block:
//   control thread, while rendering is stopped;
// - parameter access, bypass and reset: any thread (reset and bypass take effect before the next limiter run);
// - render2 and render: render thread only; no allocation, no locks. render uses the synthesizer library, whose
//   instance table all kernels share: it must not overlap the construction or destruction of any adapter.
class OrvoTunedeckDSPKernelAdapter {
public:
    // Kernel, output bus and input-bus holder in the standard format at 48000 Hz, two channels.
    OrvoTunedeckDSPKernelAdapter();
    OrvoTunedeckDSPKernelAdapter(const OrvoTunedeckDSPKernelAdapter&) = delete;
    OrvoTunedeckDSPKernelAdapter& operator=(const OrvoTunedeckDSPKernelAdapter&) = delete;

    AUAudioUnitBus* inputBus1() const { return _inputBus1.bus(); }
    const std::shared_ptr<AUAudioUnitBus>& outputBus1() const { return _outputBus1; }

    // The store holds addresses 1001 to 1175; other addresses are ignored on set and read as 0.
    void setParameter(const AUParameter& parameter, AUValue value) noexcept;
    AUValue valueForParameter(const AUParameter& parameter) const noexcept;
    void setParameterEx(std::int32_t address, AUValue value) noexcept;
    AUValue getParameterEx(std::int32_t address) const noexcept;

    // Largest frame count a render call accepts (4096 at start).
    AUAudioFrameCount maximumFramesToRender() const noexcept { return _kernel.maximumFrames(); }
    void setMaximumFramesToRender(AUAudioFrameCount frames) noexcept { _kernel.setMaximumFrames(frames); }

    bool shouldBypassEffect() const noexcept { return _kernel.bypassed(); }
    // Bypass on or off, and the limiter starts afresh.
    void setShouldBypassEffect(bool bypass) noexcept;
    // Bypass on or off only.
    void setBypass(bool bypass) noexcept { _kernel.setBypass(bypass); }

    // Input-bus storage of maximumFramesToRender frames; the kernel set up for the output bus's format; the
    // limiter starts afresh.
    void allocateRenderResources();
    void deallocateRenderResources();
    // The limiter starts afresh.
    void reset() noexcept { _kernel.requestLimiterReset(); }

    float getSamplerate() const noexcept { return _kernel.samplerate(); }
    // New rate for the kernel and the limiter's timings; the limiter keeps its state.
    void setSamplerate(float rate) noexcept { _kernel.setSamplerate(rate); }

    void setAUMIDIOutputEventBlock(AUMIDIOutputEventBlock block) { _outputEventBlock = std::move(block); }
    const AUMIDIOutputEventBlock& getAUMIDIOutputEventBlock() const { return _outputEventBlock; }
    // The host's blocks, stored for the kernel's use; nothing calls them yet.
    void setAUHostMusicalContextBlock(AUHostMusicalContextBlock block) { _musicalContext = std::move(block); }
    const AUHostMusicalContextBlock& getAUHostMusicalContextBlock() const { return _musicalContext; }
    void setAUScheduleMIDIEventBlock(AUScheduleMIDIEventBlock block) { _scheduleMIDIEventBlock = std::move(block); }
    const AUScheduleMIDIEventBlock& getAUScheduleMIDIEventBlock() const { return _scheduleMIDIEventBlock; }
    void setAUHostTransportStateBlock(AUHostTransportStateBlock block) { _transportStateBlock = std::move(block); }
    const AUHostTransportStateBlock& getAUHostTransportStateBlock() const { return _transportStateBlock; }
    // Kept here and handed to the kernel's kernelCallback.
    void setKernelCallbackBlock(KernelCallbackBlock block);
    const KernelCallbackBlock& getKernelCallbackBlock() const { return _kernelCallbackBlock; }

    // A render block that renders nothing and answers noErr; the unit renders through render2 instead.
    AUInternalRenderBlock internalRenderBlock() const;

    // The kernel, for inspection.
    const OrvoTunedeck_DSPKernel& kernel() const noexcept { return _kernel; }

    // Live path, called after the synthesizer wrote outputData: runs the limiter in place over frameCount frames of
    // the two channels. kAudioUnitErr_TooManyFramesToProcess above maximumFramesToRender, buffers untouched. A
    // list that is not stereo float, a bus other than 0, bypass or a mono format leave the audio unlimited. The
    // events, the time stamp and the pull block are not used.
    foundation::OSStatus render2(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                                 AUAudioFrameCount frameCount, std::int64_t outputBusNumber,
                                 AudioBufferList* outputData, const AURenderEvent* realtimeEventListHead,
                                 const AURenderPullInputBlock* pullInputBlock) noexcept;

    // Synthesizer path: the library instance renders frameCount frames into outputData (overwriting it), sliced at
    // the sample times of the events so each MIDI event takes effect at its frame; parameter events set the store.
    // Events due at or after the buffer's end are taken after the last slice. kAudioUnitErr_TooManyFramesToProcess
    // above maximumFramesToRender, buffers untouched; without a library instance, a usable stereo list, or with
    // bypass, the buffers stay as they are. A missing time stamp counts as sample time 0.
    foundation::OSStatus render(AudioUnitRenderActionFlags* actionFlags, const AudioTimeStamp* timestamp,
                                AUAudioFrameCount frameCount, std::int64_t outputBusNumber,
                                AudioBufferList* outputData, const AURenderEvent* realtimeEventListHead,
                                const AURenderPullInputBlock* pullInputBlock) noexcept;

private:
    OrvoTunedeck_DSPKernel _kernel;
    BufferedInputBus _inputBus1;
    AUHostMusicalContextBlock _musicalContext;
    AUMIDIOutputEventBlock _outputEventBlock;
    AUHostTransportStateBlock _transportStateBlock;
    AUScheduleMIDIEventBlock _scheduleMIDIEventBlock;
    KernelCallbackBlock _kernelCallbackBlock;
    std::shared_ptr<AUAudioUnitBus> _outputBus1;
};
