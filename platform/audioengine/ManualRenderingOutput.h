#pragma once
// An output that renders only when asked, on the caller's thread: offline rendering and tests. The same input always
// gives the same samples.

#include <atomic>
#include <cstdint>

#include "platform/audioengine/AudioOutput.h"

namespace audioengine {

class ManualRenderingOutput : public AudioOutput {
public:
    explicit ManualRenderingOutput(double sampleRateHz) : sampleRate_(sampleRateHz) {}

    std::string description() const override { return "manual rendering"; }
    double sampleRate() const override { return sampleRate_; }
    bool start(RenderSource& source, std::string& error) override;
    void stop() override;

    // Renders the next frames frames of the graph into left and right (each holding frames samples). Returns false,
    // writing nothing, while the engine is not running. One thread at a time, never concurrently with stop().
    bool render(uint32_t frames, float* left, float* right) noexcept;

private:
    double sampleRate_;
    std::atomic<RenderSource*> source_{nullptr};
};

}  // namespace audioengine
