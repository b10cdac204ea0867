#pragma once
// Where the engine's output goes. An output pulls stereo blocks from its render source: on a thread of its own (a
// sound card), on the caller's thread (manual rendering, files), or never (the null output).

#include <cstdint>
#include <string>

namespace audioengine {

// The engine's side of an output.
class RenderSource {
public:
    virtual ~RenderSource() = default;
    // Renders frames frames of the graph into left and right. Called by one thread at a time; never allocates, locks or
    // waits. Blocks larger than the engine's maximum are rendered in slices.
    virtual void renderFrames(uint32_t frames, float* left, float* right) noexcept = 0;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Text for log lines, e.g. "ALSA PCM 'null'". Any thread.
    virtual std::string description() const = 0;
    // The rate at which the output takes samples; the engine renders at this rate. Any thread.
    virtual double sampleRate() const = 0;

    // Begins taking samples from source. Control thread. On failure returns false with a readable reason in error
    // and nothing is pulled.
    virtual bool start(RenderSource& source, std::string& error) = 0;
    // Stops taking samples; returns only after the last pull has finished. Control thread; harmless when stopped.
    virtual void stop() = 0;
};

}  // namespace audioengine
