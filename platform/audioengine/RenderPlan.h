#pragma once
// The graph as the render thread walks it: the nodes that feed the output, in an order where every node comes after
// its inputs. Built on the control thread, then only read; replaced as a whole when the graph changes.

#include <cstdint>
#include <vector>

#include "platform/audioengine/Node.h"

namespace audioengine {

class RenderPlan {
public:
    struct Link {
        Node* source;
        Node* destination;
        uint32_t bus;
    };

    // Orders the nodes upstream of output along links. Control thread.
    RenderPlan(Node* output, const std::vector<Link>& links);

    // The nodes the plan renders, inputs first. Control thread.
    const std::vector<Node*>& nodes() const { return nodes_; }

    // Renders one cycle into destination (silence when nothing feeds the output). Render thread.
    void render(const RenderCycle& cycle, StereoChannels destination) noexcept;

private:
    struct Step {
        Node* node;
        uint32_t firstInput;  // into inputSteps_
        uint32_t inputCount;
    };

    void visit(Node* node, const std::vector<Link>& links);

    std::vector<Node*> nodes_;
    std::vector<Step> steps_;
    std::vector<uint32_t> inputSteps_;
    std::vector<StereoChannels> scratchInputs_;
    int32_t rootStep_ = -1;
};

}  // namespace audioengine
