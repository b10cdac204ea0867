#pragma once
// Base of every node of the engine graph. A node has at most one output bus, which feeds at most one other node, and
// zero or more input buses. The engine pulls the graph from its output: each node renders its block of frames into
// its own output buffers from the output buffers of its inputs.
//
// Threads: the public accessors are for the control thread (the one that owns the engine), except where noted.
// prepare() runs on the control thread while the node is not rendered; render() runs on the render thread only.

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/audioengine/ChannelBuffers.h"
#include "platform/audiounit/AudioFormat.h"

namespace audioengine {

class Engine;

// What one render cycle tells the nodes.
struct RenderCycle {
    int64_t sampleTime = 0;  // first frame of the cycle on the engine's time line
    uint32_t frames = 0;     // frames in this cycle; never above the prepared maximum
    double sampleRate = 0.0;
};

class Node {
public:
    virtual ~Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    virtual std::string name() const = 0;
    // Input buses the node takes (a mixer: many).
    virtual uint32_t numberOfInputs() const = 0;
    virtual uint32_t numberOfOutputs() const { return 1; }

    // Formats of the current connections; an unconnected bus reports the engine's format when attached.
    AudioFormat inputFormat(uint32_t bus) const;
    AudioFormat outputFormat(uint32_t bus) const;

    // Processing latency in seconds.
    virtual double latency() const { return 0.0; }
    // Sample time of the last cycle that rendered this node, or -1 before the first. Any thread.
    int64_t lastRenderSampleTime() const { return lastRenderSampleTime_.load(std::memory_order_relaxed); }

    Engine* engine() const { return engine_; }

protected:
    Node() = default;

    // Makes the node ready to render blocks of up to maxFrames at sampleRate. Control thread, node not rendering.
    // The default allocates the output buffers. A failure fills error and returns false.
    virtual bool prepare(double sampleRate, uint32_t maxFrames, std::string& error);
    // Renders cycle.frames frames into output from the given inputs (inputCount entries, in bus order; a bus without a
    // connection is absent). Render thread only: no allocation, no lock, no wait.
    virtual void render(const RenderCycle& cycle, const StereoChannels* inputs, uint32_t inputCount,
                        StereoChannels output) noexcept = 0;
    // Called when the node leaves its engine. Control thread.
    virtual void detached() {}

    ChannelBuffers& outputBuffers() { return output_; }

private:
    friend class Engine;
    friend class RenderPlan;

    Engine* engine_ = nullptr;
    ChannelBuffers output_;
    std::atomic<int64_t> lastRenderSampleTime_{-1};
};

}  // namespace audioengine
