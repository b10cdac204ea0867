#pragma once

#include <cstdint>

// One buffer of audio: mNumberChannels interleaved channels, mDataByteSize bytes at mData.
struct AudioBuffer {
    std::uint32_t mNumberChannels = 0;
    std::uint32_t mDataByteSize = 0;
    void* mData = nullptr;
};

// The buffers of one render call. Units here render 32-bit float, non-interleaved: one buffer per channel, and at
// most two channels (stereo), so the list has room for two buffers in place. Field order and widths of the
// entries are fixed.
//
// Plain data; the thread that renders owns the buffers during the call.
struct AudioBufferList {
    static constexpr std::uint32_t kMaxBuffers = 2;

    std::uint32_t mNumberBuffers = 0;
    AudioBuffer mBuffers[kMaxBuffers];
};

// A list of two non-interleaved float channels of frameCount frames each over the caller's left and right storage.
// The list does not own the storage.
constexpr AudioBufferList stereoBufferList(float* left, float* right, std::uint32_t frameCount) {
    const auto bytes = static_cast<std::uint32_t>(frameCount * sizeof(float));
    AudioBufferList list;
    list.mNumberBuffers = 2;
    list.mBuffers[0] = {1, bytes, left};
    list.mBuffers[1] = {1, bytes, right};
    return list;
}
