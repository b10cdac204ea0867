#include "platform/audioengine/Node.h"

#include "platform/audioengine/Engine.h"

namespace audioengine {

AudioFormat Node::inputFormat(uint32_t bus) const {
    return engine_ != nullptr ? engine_->connectionFormat(this, bus, true) : AudioFormat{};
}

AudioFormat Node::outputFormat(uint32_t bus) const {
    return engine_ != nullptr ? engine_->connectionFormat(this, bus, false) : AudioFormat{};
}

bool Node::prepare(double, uint32_t maxFrames, std::string&) {
    if (output_.capacity() != maxFrames) output_.allocate(maxFrames);
    return true;
}

}  // namespace audioengine
