#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeckDSPKernelAdapter.h"

namespace {

constexpr double kStartSampleRate = 48000.0;
constexpr std::uint32_t kChannels = 2;

AUParameterAddress storeAddress(std::int32_t address) {
    return address < 0 ? 0 : static_cast<AUParameterAddress>(address);
}

}  // namespace

OrvoTunedeckDSPKernelAdapter::OrvoTunedeckDSPKernelAdapter() {
    const AudioFormat format = AudioFormat::standard(kStartSampleRate, kChannels);
    _kernel.init(static_cast<std::int32_t>(format.channelCount), format.sampleRate);
    _inputBus1.init(format, kChannels);
    _outputBus1 = std::make_shared<AUAudioUnitBus>(format);
}

void OrvoTunedeckDSPKernelAdapter::setParameter(const AUParameter& parameter, AUValue value) noexcept {
    _kernel.setParameter(parameter.address(), value);
}

AUValue OrvoTunedeckDSPKernelAdapter::valueForParameter(const AUParameter& parameter) const noexcept {
    return _kernel.getParameter(parameter.address());
}

void OrvoTunedeckDSPKernelAdapter::setParameterEx(std::int32_t address, AUValue value) noexcept {
    _kernel.setParameter(storeAddress(address), value);
}

AUValue OrvoTunedeckDSPKernelAdapter::getParameterEx(std::int32_t address) const noexcept {
    return _kernel.getParameter(storeAddress(address));
}

void OrvoTunedeckDSPKernelAdapter::setShouldBypassEffect(bool bypass) noexcept {
    _kernel.setBypass(bypass);
    _kernel.requestLimiterReset();
}

void OrvoTunedeckDSPKernelAdapter::allocateRenderResources() {
    _inputBus1.allocateRenderResources(maximumFramesToRender());
    const AudioFormat& format = _outputBus1->format();
    _kernel.init(static_cast<std::int32_t>(format.channelCount), format.sampleRate);
}

void OrvoTunedeckDSPKernelAdapter::setKernelCallbackBlock(KernelCallbackBlock block) {
    _kernelCallbackBlock = block;
    _kernel.kernelCallback = std::move(block);
}

AUInternalRenderBlock OrvoTunedeckDSPKernelAdapter::internalRenderBlock() const {
    return [](AudioUnitRenderActionFlags*, const AudioTimeStamp*, AUAudioFrameCount, std::int64_t, AudioBufferList*,
              const AURenderEvent*, const AURenderPullInputBlock&) -> foundation::OSStatus { return foundation::noErr; };
}

void OrvoTunedeckDSPKernelAdapter::deallocateRenderResources() { _inputBus1.deallocateRenderResources(); }

foundation::OSStatus OrvoTunedeckDSPKernelAdapter::render2(AudioUnitRenderActionFlags*, const AudioTimeStamp*,
                                                           AUAudioFrameCount frameCount, std::int64_t outputBusNumber,
                                                           AudioBufferList* outputData, const AURenderEvent*,
                                                           const AURenderPullInputBlock*) noexcept {
    if (frameCount > maximumFramesToRender()) return foundation::kAudioUnitErr_TooManyFramesToProcess;
    _kernel.setRenderBuffers(outputData, outputBusNumber);
    _kernel.processCompander(frameCount, 0);
    _kernel.clearRenderBuffers();
    return foundation::noErr;
}

foundation::OSStatus OrvoTunedeckDSPKernelAdapter::render(AudioUnitRenderActionFlags*, const AudioTimeStamp* timestamp,
                                                          AUAudioFrameCount frameCount, std::int64_t outputBusNumber,
                                                          AudioBufferList* outputData,
                                                          const AURenderEvent* realtimeEventListHead,
                                                          const AURenderPullInputBlock*) noexcept {
    if (frameCount > maximumFramesToRender()) return foundation::kAudioUnitErr_TooManyFramesToProcess;
    static constexpr AudioTimeStamp kStart{};
    _kernel.setRenderBuffers(outputData, outputBusNumber);
    _kernel.processWithEvents(timestamp != nullptr ? *timestamp : kStart, frameCount, realtimeEventListHead,
                              _outputEventBlock ? &_outputEventBlock : nullptr);
    _kernel.clearRenderBuffers();
    return foundation::noErr;
}
