#include "platform/audioengine/Engine.h"

#include <algorithm>
#include <thread>

#include "platform/audioengine/AudioSession.h"
#include "platform/audioengine/DenormalGuard.h"
#include "platform/audioengine/ManualRenderingOutput.h"
#include "platform/audioengine/NullOutput.h"

namespace audioengine {

Engine::Engine() : Engine(std::make_unique<NullOutput>(AudioSession::sharedInstance().preferredSampleRate())) {}

Engine::Engine(std::unique_ptr<AudioOutput> output)
    : output_(output ? std::move(output)
                     : std::make_unique<NullOutput>(AudioSession::sharedInstance().preferredSampleRate())),
      mainMixer_(std::make_shared<MixerNode>()),
      outputNode_(std::make_shared<OutputNode>()) {
    attach(outputNode_);
    attach(mainMixer_);
    connect(mainMixer_, outputNode_, outputFormat());
}

Engine::~Engine() {
    stop();
    publish(nullptr);
    for (const auto& node : nodes_) {
        node->detached();
        node->engine_ = nullptr;
    }
}

AudioFormat Engine::outputFormat() const { return AudioFormat::standard(output_->sampleRate(), 2); }

bool Engine::isAttached(const Node* node) const {
    return node != nullptr && node->engine_ == this;
}

bool Engine::attach(const std::shared_ptr<Node>& node) {
    if (!node) return false;
    if (node->engine_ == this) return true;
    if (node->engine_ != nullptr) return false;
    node->engine_ = this;
    nodes_.push_back(node);
    return true;
}

void Engine::detach(const std::shared_ptr<Node>& node) {
    if (!isAttached(node.get()) || node == outputNode_ || node == mainMixer_) return;
    removeConnectionsIf([](const Connection& c, const Node* n) { return c.source == n || c.destination == n; },
                        node.get());
    graphChanged();
    std::erase(preparedNodes_, node.get());
    node->detached();
    node->engine_ = nullptr;
    std::erase(nodes_, node);
}

bool Engine::reaches(const Node* from, const Node* to) const {
    if (from == to) return true;
    for (const auto& c : connections_)
        if (c.destination == from && reaches(c.source, to)) return true;
    return false;
}

bool Engine::connect(const std::shared_ptr<Node>& source, const std::shared_ptr<Node>& destination,
                     const AudioFormat& format) {
    if (!destination) return false;
    uint32_t bus = 0;
    if (destination->numberOfInputs() > 1) {
        while (bus < destination->numberOfInputs() &&
               std::any_of(connections_.begin(), connections_.end(), [&](const Connection& c) {
                   return c.destination == destination.get() && c.bus == bus && c.source != source.get();
               }))
            ++bus;
    }
    return connect(source, destination, bus, format);
}

bool Engine::connect(const std::shared_ptr<Node>& source, const std::shared_ptr<Node>& destination,
                     uint32_t destinationBus, const AudioFormat& format) {
    if (!source || !destination || !isAttached(source.get()) || !isAttached(destination.get())) return false;
    if (source->numberOfOutputs() == 0 || destinationBus >= destination->numberOfInputs()) return false;
    if (format.channelCount != 2 || !format.isValid()) return false;
    if (reaches(source.get(), destination.get())) return false;
    std::erase_if(connections_, [&](const Connection& c) {
        return c.source == source.get() || (c.destination == destination.get() && c.bus == destinationBus);
    });
    connections_.push_back({source.get(), destination.get(), destinationBus, format});
    graphChanged();
    return true;
}

void Engine::removeConnectionsIf(bool (*match)(const Connection&, const Node*), const Node* node) {
    std::erase_if(connections_, [&](const Connection& c) { return match(c, node); });
}

void Engine::disconnectNodeOutput(const std::shared_ptr<Node>& node) {
    if (!isAttached(node.get())) return;
    removeConnectionsIf([](const Connection& c, const Node* n) { return c.source == n; }, node.get());
    graphChanged();
}

void Engine::disconnectNodeInput(const std::shared_ptr<Node>& node) {
    if (!isAttached(node.get())) return;
    removeConnectionsIf([](const Connection& c, const Node* n) { return c.destination == n; }, node.get());
    graphChanged();
}

AudioFormat Engine::connectionFormat(const Node* node, uint32_t bus, bool input) const {
    for (const auto& c : connections_) {
        if (input && c.destination == node && c.bus == bus) return c.format;
        if (!input && c.source == node && bus == 0) return c.format;
    }
    return outputFormat();
}

void Engine::graphChanged() {
    std::vector<RenderPlan::Link> links;
    links.reserve(connections_.size());
    for (const auto& c : connections_) links.push_back({c.source, c.destination, c.bus});
    auto plan = std::make_unique<RenderPlan>(outputNode_.get(), links);
    if (prepared_) prepareNodes(*plan, nullptr);
    publish(std::move(plan));
}

bool Engine::prepareNodes(const RenderPlan& plan, std::string* error) {
    for (Node* node : plan.nodes()) {
        if (std::find(preparedNodes_.begin(), preparedNodes_.end(), node) != preparedNodes_.end()) continue;
        std::string reason;
        if (!node->prepare(output_->sampleRate(), kMaximumFramesToRender, reason)) {
            if (error != nullptr) *error = node->name() + ": " + reason;
            return false;
        }
        preparedNodes_.push_back(node);
    }
    return true;
}

void Engine::publish(std::unique_ptr<RenderPlan> plan) {
    RenderPlan* previous = activePlan_.exchange(plan.get());
    // A cycle that began before the exchange may still read the previous plan: wait for it to end. Only the control
    // thread waits; the render thread never does.
    const uint64_t cycle = cycleCounter_.load();
    if (previous != nullptr && (cycle & 1U) != 0U)
        while (cycleCounter_.load() == cycle) std::this_thread::yield();
    plan_ = std::move(plan);
}

bool Engine::prepare(std::string* error) {
    if (!plan_) graphChanged();
    if (!prepareNodes(*plan_, error)) return false;
    prepared_ = true;
    return true;
}

bool Engine::start(std::string* error) {
    if (running_.load()) return true;
    if (!prepare(error)) return false;
    std::string reason;
    if (!output_->start(*this, reason)) {
        if (error != nullptr) *error = reason;
        return false;
    }
    running_.store(true);
    return true;
}

void Engine::pause() {
    if (!running_.load()) return;
    output_->stop();
    running_.store(false);
}

void Engine::stop() {
    pause();
    preparedNodes_.clear();
    prepared_ = false;
}

bool Engine::setOutput(std::unique_ptr<AudioOutput> output) {
    if (running_.load() || !output) return false;
    output_ = std::move(output);
    preparedNodes_.clear();
    prepared_ = false;
    for (auto& c : connections_)
        if (c.destination == outputNode_.get()) c.format = outputFormat();
    return true;
}

std::unique_ptr<AudioOutput> Engine::takeOutput() {
    if (running_.load()) return nullptr;
    std::unique_ptr<AudioOutput> taken = std::move(output_);
    setOutput(std::make_unique<NullOutput>(taken->sampleRate()));
    return taken;
}

bool Engine::renderOffline(uint32_t frames, float* left, float* right) noexcept {
    auto* manual = dynamic_cast<ManualRenderingOutput*>(output_.get());
    return manual != nullptr && manual->render(frames, left, right);
}

void Engine::renderFrames(uint32_t frames, float* left, float* right) noexcept {
    DenormalGuard denormals;
    cycleCounter_.fetch_add(1);
    RenderPlan* plan = activePlan_.load();
    uint32_t done = 0;
    while (done < frames) {
        const uint32_t slice = std::min(frames - done, kMaximumFramesToRender);
        const RenderCycle cycle{sampleTime_.load(std::memory_order_relaxed), slice, output_->sampleRate()};
        const StereoChannels destination{left + done, right + done};
        if (plan != nullptr) {
            plan->render(cycle, destination);
        } else {
            std::fill_n(destination.left, slice, 0.0f);
            std::fill_n(destination.right, slice, 0.0f);
        }
        sampleTime_.fetch_add(slice, std::memory_order_relaxed);
        done += slice;
    }
    cycleCounter_.fetch_add(1);
}

std::string Engine::description() const {
    std::string text = "engine (" + output_->description() + ", " + outputFormat().description() + ", " +
                       (running_.load() ? "running" : "stopped") + ")";
    for (const auto& c : connections_)
        text += "\n  " + c.source->name() + " -> " + c.destination->name() + " bus " + std::to_string(c.bus) + " " +
                c.format.description();
    return text;
}

}  // namespace audioengine
