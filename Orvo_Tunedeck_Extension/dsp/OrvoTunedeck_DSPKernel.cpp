#include "Orvo_Tunedeck_Extension/dsp/OrvoTunedeck_DSPKernel.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Orvo_Tunedeck_Extension/dsp/KernelInstanceIds.h"
#include "platform/foundation/Folders.h"
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/korvelsynth.h"
#include "shared/globals/Print.h"

OrvoTunedeck_DSPKernel::OrvoTunedeck_DSPKernel() : instance(KernelInstanceIds::acquire()) { createLibraryInstance(); }

OrvoTunedeck_DSPKernel::~OrvoTunedeck_DSPKernel() {
    if (synth != nullptr) {
        KorvelFinalize(instance);
        synth = nullptr;
        player = nullptr;
    }
    KernelInstanceIds::release(instance);
}

void OrvoTunedeck_DSPKernel::createLibraryInstance() {
    const auto resources = foundation::resourcesFolder();
    const std::string folder = resources ? resources->string() : std::string();
    const std::string soundfontPath = folder + SOUNDFONT;
    // Both paths must fit the library record's path buffers whole; a cut path would name another file.
    if (folder.empty() || soundfontPath.size() >= kPathBytes) {
        safeprint("Failed to get app path!");
        return;
    }
    std::memcpy(path1, folder.c_str(), folder.size() + 1);
    safeprint("Resource location is: " + folder);

    KorvelInitialize(path1, soundfontPath.c_str(), instance);
    synth = KorvelGetSynth(instance);
    if (synth == nullptr) {
        safeprint("ERROR: The internal synthesizer / sequencer could not be created.");
        return;
    }
    // The instrument is what a user hears: it renders with the product's sound, not the library's defaults.
    korvel_synth_set_profile(synth, &korvel_product_profile);
    std::memcpy(synth->resource_path, path1, folder.size() + 1);
    std::memcpy(synth->soundfont_path, soundfontPath.c_str(), soundfontPath.size() + 1);
}

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

void OrvoTunedeck_DSPKernel::process(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept {
    float* left = nullptr;
    float* right = nullptr;
    if (synth == nullptr || !outputChannels(frameCount, bufferOffset, left, right)) return;
    // The library renders at most kLibraryMaxFrames per call.
    for (AUAudioFrameCount done = 0; done < frameCount;) {
        const AUAudioFrameCount slice = std::min(frameCount - done, kLibraryMaxFrames);
        korvelsynth_process(instance, static_cast<int>(slice), left + done, right + done);
        done += slice;
    }
}

void OrvoTunedeck_DSPKernel::processCompander(AUAudioFrameCount frameCount, AUAudioFrameCount bufferOffset) noexcept {
    if (limiterResetPending.exchange(false, std::memory_order_acquire)) compander.resetState();
    float* left = nullptr;
    float* right = nullptr;
    if (!outputChannels(frameCount, bufferOffset, left, right)) return;
    compander.process(left, right, frameCount);
}

void OrvoTunedeck_DSPKernel::handleMIDIEvent(const AUMIDIEvent& event) noexcept {
    if (synth == nullptr || event.length == 0) return;
    if (event.length >= 4) {
        // A longer message continues past data inside the same event.
        korvelsynth_midi_long_message(instance, event.data, event.length);
        return;
    }
    korvelsynth_midi_short_message(instance, event.data[0], event.length > 1 ? event.data[1] : 0,
                                   event.length > 2 ? event.data[2] : 0);
}
