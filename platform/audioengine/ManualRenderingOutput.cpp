#include "platform/audioengine/ManualRenderingOutput.h"

namespace audioengine {

bool ManualRenderingOutput::start(RenderSource& source, std::string&) {
    source_.store(&source);
    return true;
}

void ManualRenderingOutput::stop() { source_.store(nullptr); }

bool ManualRenderingOutput::render(uint32_t frames, float* left, float* right) noexcept {
    RenderSource* source = source_.load();
    if (source == nullptr || left == nullptr || right == nullptr) return false;
    source->renderFrames(frames, left, right);
    return true;
}

}  // namespace audioengine
