#pragma once
// An output that starts and stops but never pulls: for engines whose nodes are rendered by someone else.

#include "platform/audioengine/AudioOutput.h"

namespace audioengine {

class NullOutput final : public AudioOutput {
public:
    explicit NullOutput(double sampleRateHz) : sampleRate_(sampleRateHz) {}

    std::string description() const override { return "null output"; }
    double sampleRate() const override { return sampleRate_; }
    bool start(RenderSource&, std::string&) override { return true; }
    void stop() override {}

private:
    double sampleRate_;
};

}  // namespace audioengine
