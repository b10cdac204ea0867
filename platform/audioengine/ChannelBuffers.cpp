#include "platform/audioengine/ChannelBuffers.h"

namespace audioengine {

void ChannelBuffers::allocate(uint32_t capacityFrames) {
    left_.assign(capacityFrames, 0.0f);
    right_.assign(capacityFrames, 0.0f);
    capacity_ = capacityFrames;
}

}  // namespace audioengine
