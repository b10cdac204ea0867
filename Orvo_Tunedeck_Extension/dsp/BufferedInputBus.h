#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audiounit/AUAudioUnitBus.h"
#include "platform/audiounit/AudioBufferList.h"

// An input bus with its own sample storage: the bus (format and switches) and, while allocated, one buffer of
// maxFrames frames per channel of the bus's format, as a buffer list.
//
// Thread contract: control thread, while rendering is stopped.
class BufferedInputBus {
public:
    // A bus in format carrying at most maxChannels channels; no storage yet.
    void init(const AudioFormat& format, std::uint32_t maxChannels);

    // Storage for frames frames in the bus's current format (at most two channels).
    void allocateRenderResources(std::uint32_t frames);
    // Drops the storage; both list pointers become nullptr.
    void deallocateRenderResources();

    AUAudioUnitBus* bus() const { return bus_.get(); }
    std::uint32_t maxFrames() const { return maxFrames_; }
    // The list as allocated, and the one a renderer may repoint; nullptr while not allocated.
    const AudioBufferList* originalAudioBufferList() const { return originalAudioBufferList_; }
    AudioBufferList* mutableAudioBufferList() const { return mutableAudioBufferList_; }

private:
    std::shared_ptr<AUAudioUnitBus> bus_;
    std::uint32_t maxChannels_ = 0;
    std::uint32_t maxFrames_ = 0;
    std::vector<std::vector<float>> pcmBuffer_;
    AudioBufferList allocatedList_;
    AudioBufferList renderList_;
    const AudioBufferList* originalAudioBufferList_ = nullptr;
    AudioBufferList* mutableAudioBufferList_ = nullptr;
};
