#pragma once
// Stereo sample storage of one node: two channel buffers of a fixed capacity, allocated while rendering is stopped.

#include <cstdint>
#include <vector>

namespace audioengine {

// Two channel pointers into a block of frames; what the render path passes between nodes.
struct StereoChannels {
    float* left = nullptr;
    float* right = nullptr;
};

class ChannelBuffers {
public:
    // Control thread only, never while the owner renders.
    void allocate(uint32_t capacityFrames);
    uint32_t capacity() const { return capacity_; }

    // Any thread once allocated.
    StereoChannels channels() { return {left_.data(), right_.data()}; }

private:
    std::vector<float> left_;
    std::vector<float> right_;
    uint32_t capacity_ = 0;
};

}  // namespace audioengine
