#include "Orvo_Tunedeck_Extension/dsp/BufferedInputBus.h"

#include <algorithm>

void BufferedInputBus::init(const AudioFormat& format, std::uint32_t maxChannels) {
    bus_ = std::make_shared<AUAudioUnitBus>(format);
    maxChannels_ = maxChannels;
}

void BufferedInputBus::allocateRenderResources(std::uint32_t frames) {
    maxFrames_ = frames;
    const std::uint32_t channels =
        std::min({bus_->format().channelCount, maxChannels_, AudioBufferList::kMaxBuffers});
    pcmBuffer_.assign(channels, std::vector<float>(frames, 0.0f));
    allocatedList_ = AudioBufferList{};
    allocatedList_.mNumberBuffers = channels;
    for (std::uint32_t channel = 0; channel < channels; ++channel)
        allocatedList_.mBuffers[channel] = {1, static_cast<std::uint32_t>(frames * sizeof(float)),
                                            pcmBuffer_[channel].data()};
    renderList_ = allocatedList_;
    originalAudioBufferList_ = &allocatedList_;
    mutableAudioBufferList_ = &renderList_;
}

void BufferedInputBus::deallocateRenderResources() {
    pcmBuffer_.clear();
    originalAudioBufferList_ = nullptr;
    mutableAudioBufferList_ = nullptr;
}
