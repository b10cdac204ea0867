#pragma once
// An engine with manual rendering at 48 kHz, rendering into vectors.

#include <memory>
#include <vector>

#include "platform/audioengine/Engine.h"
#include "platform/audioengine/ManualRenderingOutput.h"

namespace audioengine::testing {

struct Rendered {
    std::vector<float> left;
    std::vector<float> right;
};

class ManualEngine {
public:
    static constexpr double kRate = 48000.0;

    ManualEngine() : engine(std::make_unique<ManualRenderingOutput>(kRate)) {}

    Rendered render(uint32_t frames) {
        Rendered out{std::vector<float>(frames), std::vector<float>(frames)};
        rendered = engine.renderOffline(frames, out.left.data(), out.right.data());
        return out;
    }

    AudioFormat format() const { return engine.outputFormat(); }

    Engine engine;
    bool rendered = false;
};

}  // namespace audioengine::testing
