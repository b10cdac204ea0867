#pragma once
// A pull-model graph of nodes in 32-bit float stereo. Nodes are attached, connected (each node's output feeds one
// input bus of one other node) and pulled from the output node by the engine's output: a sound card on its own thread,
// the caller (manual rendering, files) or nobody (the null output).
//
// The whole graph runs at the output's sample rate; the format given to connect() is recorded for the nodes to report
// (its channel count must be 2), not converted.
//
// Threads: every operation is for the one control thread that owns the engine. The graph may change while the
// engine runs; the render thread then switches to the new graph at its next cycle and never waits.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audioengine/AudioOutput.h"
#include "platform/audioengine/MixerNode.h"
#include "platform/audioengine/Node.h"
#include "platform/audioengine/OutputNode.h"
#include "platform/audioengine/RenderPlan.h"

namespace audioengine {

class Engine final : private RenderSource {
public:
    // Largest block one node renders at a time; larger pulls are sliced.
    static constexpr uint32_t kMaximumFramesToRender = 4096;

    // An engine with the null output at the audio session's preferred rate.
    Engine();
    // An engine with the given output (the null output when none is given).
    explicit Engine(std::unique_ptr<AudioOutput> output);
    ~Engine() override;
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Graph. attach() refuses (false) a node that belongs to another engine; attaching twice is harmless.
    bool attach(const std::shared_ptr<Node>& node);
    // Disconnects the node's input and output and removes it. The node may be attached again later.
    void detach(const std::shared_ptr<Node>& node);
    // Connects source's output to destination: to its bus 0, or to the lowest free bus of a mixer. A previous
    // connection of source's output or of that bus is replaced. Refused (false) when a node is not attached here, a
    // connection would make a loop, the format is not stereo, or a node has no such bus.
    bool connect(const std::shared_ptr<Node>& source, const std::shared_ptr<Node>& destination,
                 const AudioFormat& format);
    bool connect(const std::shared_ptr<Node>& source, const std::shared_ptr<Node>& destination,
                 uint32_t destinationBus, const AudioFormat& format);
    void disconnectNodeOutput(const std::shared_ptr<Node>& node);
    void disconnectNodeInput(const std::shared_ptr<Node>& node);
    std::vector<std::shared_ptr<Node>> attachedNodes() const { return nodes_; }

    // Made with the engine, attached and connected to the output node. The output node's output format (bus 0) is
    // the output's format, as the hardware format.
    const std::shared_ptr<MixerNode>& mainMixerNode() const { return mainMixer_; }
    const std::shared_ptr<OutputNode>& outputNode() const { return outputNode_; }
    // The output's format: two channels at its rate.
    AudioFormat outputFormat() const;

    // Lifecycle. prepare() readies every node that feeds the output; start() prepares when needed and starts the
    // output. Failures return false and, when error is given, say why there.
    bool prepare(std::string* error = nullptr);
    bool start(std::string* error = nullptr);
    // Stops pulling and keeps the nodes prepared.
    void pause();
    void stop();
    bool isRunning() const { return running_.load(); }

    // Replaces the output while the engine is stopped (false while running).
    bool setOutput(std::unique_ptr<AudioOutput> output);
    // Hands the output over while the engine is stopped, leaving a null output of its rate in its place; nullptr
    // while running.
    std::unique_ptr<AudioOutput> takeOutput();
    AudioOutput& output() const { return *output_; }

    // Manual rendering: renders frames frames into left and right on the caller's thread. Only with a
    // ManualRenderingOutput and while running; false otherwise.
    bool renderOffline(uint32_t frames, float* left, float* right) noexcept;

    // Frames rendered since the first start.
    int64_t sampleTime() const { return sampleTime_.load(std::memory_order_relaxed); }

    // Text for log lines: output, state and the connections.
    std::string description() const;

    // The format of a connection at a node's bus (input or output), for Node. Control thread.
    AudioFormat connectionFormat(const Node* node, uint32_t bus, bool input) const;

private:
    struct Connection {
        Node* source;
        Node* destination;
        uint32_t bus;
        AudioFormat format;
    };

    void renderFrames(uint32_t frames, float* left, float* right) noexcept override;
    bool isAttached(const Node* node) const;
    bool reaches(const Node* from, const Node* to) const;
    void removeConnectionsIf(bool (*match)(const Connection&, const Node*), const Node* node);
    // Rebuilds the render plan after a graph change and, when prepared, readies its new nodes.
    void graphChanged();
    bool prepareNodes(const RenderPlan& plan, std::string* error);
    void publish(std::unique_ptr<RenderPlan> plan);

    std::unique_ptr<AudioOutput> output_;
    std::shared_ptr<MixerNode> mainMixer_;
    std::shared_ptr<OutputNode> outputNode_;
    std::vector<std::shared_ptr<Node>> nodes_;
    std::vector<Connection> connections_;
    std::vector<Node*> preparedNodes_;
    bool prepared_ = false;
    std::atomic<bool> running_{false};

    std::unique_ptr<RenderPlan> plan_;           // owned by the control thread
    std::atomic<RenderPlan*> activePlan_{nullptr};  // what the render thread reads
    std::atomic<uint64_t> cycleCounter_{0};      // odd while a cycle runs
    std::atomic<int64_t> sampleTime_{0};
};

}  // namespace audioengine
