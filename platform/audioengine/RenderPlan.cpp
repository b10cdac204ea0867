#include "platform/audioengine/RenderPlan.h"

#include <algorithm>

namespace audioengine {

namespace {

int32_t stepOf(const std::vector<Node*>& nodes, const Node* node) {
    const auto found = std::find(nodes.begin(), nodes.end(), node);
    return found == nodes.end() ? -1 : static_cast<int32_t>(found - nodes.begin());
}

std::vector<RenderPlan::Link> inputsOf(const Node* node, const std::vector<RenderPlan::Link>& links) {
    std::vector<RenderPlan::Link> inputs;
    for (const auto& link : links)
        if (link.destination == node) inputs.push_back(link);
    std::sort(inputs.begin(), inputs.end(), [](const auto& a, const auto& b) { return a.bus < b.bus; });
    return inputs;
}

}  // namespace

RenderPlan::RenderPlan(Node* output, const std::vector<Link>& links) {
    const auto feeding = inputsOf(output, links);
    if (feeding.empty()) return;
    visit(feeding.front().source, links);
    rootStep_ = stepOf(nodes_, feeding.front().source);
    size_t widest = 0;
    for (const auto& step : steps_) widest = std::max<size_t>(widest, step.inputCount);
    scratchInputs_.resize(widest);
}

void RenderPlan::visit(Node* node, const std::vector<Link>& links) {
    if (stepOf(nodes_, node) >= 0) return;
    const auto inputs = inputsOf(node, links);
    for (const auto& input : inputs) visit(input.source, links);
    Step step{node, static_cast<uint32_t>(inputSteps_.size()), static_cast<uint32_t>(inputs.size())};
    for (const auto& input : inputs) inputSteps_.push_back(static_cast<uint32_t>(stepOf(nodes_, input.source)));
    nodes_.push_back(node);
    steps_.push_back(step);
}

void RenderPlan::render(const RenderCycle& cycle, StereoChannels destination) noexcept {
    if (rootStep_ < 0) {
        std::fill_n(destination.left, cycle.frames, 0.0f);
        std::fill_n(destination.right, cycle.frames, 0.0f);
        return;
    }
    for (const Step& step : steps_) {
        for (uint32_t i = 0; i < step.inputCount; ++i)
            scratchInputs_[i] = steps_[inputSteps_[step.firstInput + i]].node->outputBuffers().channels();
        step.node->render(cycle, scratchInputs_.data(), step.inputCount, step.node->outputBuffers().channels());
        step.node->lastRenderSampleTime_.store(cycle.sampleTime, std::memory_order_relaxed);
    }
    const StereoChannels root = steps_[static_cast<size_t>(rootStep_)].node->outputBuffers().channels();
    std::copy_n(root.left, cycle.frames, destination.left);
    std::copy_n(root.right, cycle.frames, destination.right);
}

}  // namespace audioengine
