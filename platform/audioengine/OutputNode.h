#pragma once
// The end of the graph: what reaches its one input goes to the engine's output (sound card, file, manual caller).

#include "platform/audioengine/Node.h"

namespace audioengine {

class OutputNode final : public Node {
public:
    std::string name() const override { return "output"; }
    uint32_t numberOfInputs() const override { return 1; }
    uint32_t numberOfOutputs() const override { return 0; }

protected:
    bool prepare(double, uint32_t, std::string&) override { return true; }
    // The engine copies the input to its output itself; the node never renders.
    void render(const RenderCycle&, const StereoChannels*, uint32_t, StereoChannels) noexcept override {}
};

}  // namespace audioengine
