#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeck_DSPKernel.h"

#include "Orvo_Tunedeck_Extension/dsp/KernelInstanceIds.h"

OrvoTunedeck_DSPKernel::OrvoTunedeck_DSPKernel() : instance(KernelInstanceIds::acquire()) {}

OrvoTunedeck_DSPKernel::~OrvoTunedeck_DSPKernel() { KernelInstanceIds::release(instance); }

std::uint32_t OrvoTunedeck_DSPKernel::instanceCount() { return KernelInstanceIds::liveCount(); }

void OrvoTunedeck_DSPKernel::init(std::int32_t channelCount, double sampleRate) noexcept {
    fSamplerate = static_cast<float>(sampleRate);
    compander.setSamplerate(fSamplerate);
    numChannels = channelCount;
    compander.resetState();
    limiterResetPending.store(false, std::memory_order_relaxed);
}

void OrvoTunedeck_DSPKernel::setSamplerate(float rate) noexcept {
    fSamplerate = rate;
    compander.setSamplerate(rate);
}

void OrvoTunedeck_DSPKernel::setRenderBuffers(AudioBufferList* list, std::int64_t busNumber) noexcept {
    renderBuffers = list;
    currentInBusIndex = busNumber;
    currentOutBusIndex = busNumber;
}

void OrvoTunedeck_DSPKernel::clearRenderBuffers() noexcept {
    renderBuffers = nullptr;
    currentInBusIndex = 0;
    currentOutBusIndex = 0;
}

bool OrvoTunedeck_DSPKernel::outputChannels(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset,
                                            float*& left, float*& right) const noexcept {
    // One list serves as input and output, and only bus 0 has one.
    if (renderBuffers == nullptr || currentInBusIndex != 0 || currentOutBusIndex != 0) return false;
    if (frameCount > maxFrames || bypassed() || numChannels != 2) return false;
    if (renderBuffers->mNumberBuffers < 2) return false;
    const std::uint64_t bytesNeeded = (std::uint64_t{bufferOffset} + frameCount) * sizeof(float);
    for (std::uint32_t channel = 0; channel < 2; ++channel) {
        const AudioBuffer& buffer = renderBuffers->mBuffers[channel];
        if (buffer.mData == nullptr || buffer.mDataByteSize < bytesNeeded) return false;
    }
    left = static_cast<float*>(renderBuffers->mBuffers[0].mData) + bufferOffset;
    right = static_cast<float*>(renderBuffers->mBuffers[1].mData) + bufferOffset;
    return true;
}

void OrvoTunedeck_DSPKernel::process(AUAudioFrameCount, AUAudioFrameCount) noexcept {}

void OrvoTunedeck_DSPKernel::processCompander(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept {
    if (limiterResetPending.exchange(false, std::memory_order_acquire)) compander.resetState();
    float* left = nullptr;
    float* right = nullptr;
    if (!outputChannels(frameCount, bufferOffset, left, right)) return;
    compander.process(left, right, frameCount);
}

void OrvoTunedeck_DSPKernel::handleMIDIEvent(const AUMIDIEvent&) noexcept {}
