#pragma once
// An output to an ALSA PCM device, fed by a thread of its own. The device is used without blocking calls: a device
// that does not take samples can neither hang start() nor stop(). ALSA's "null" device runs this whole path on
// machines without a sound card.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/audioengine/AudioOutput.h"

struct _snd_pcm;

namespace audioengine {

class AlsaOutput final : public AudioOutput {
public:
    explicit AlsaOutput(std::string device = "default", double sampleRateHz = 48000.0, uint32_t periodFrames = 256,
                        uint32_t periods = 3);
    ~AlsaOutput() override;

    std::string description() const override { return "ALSA PCM '" + device_ + "'"; }
    double sampleRate() const override { return sampleRate_; }
    // Opens and configures the device (interleaved stereo, 32-bit float or else 16-bit, at the given rate) and starts
    // the output thread. A missing or busy device, or one that cannot take the rate, fails at once with a reason.
    bool start(RenderSource& source, std::string& error) override;
    void stop() override;
    // Opens and configures the device as start() does, then closes it again: empty when it would play, else the
    // reason. Not while started.
    std::string probe();

    // Frames handed to the device since start. Any thread.
    uint64_t framesDelivered() const { return framesDelivered_.load(); }
    // Why the output thread gave up, empty while it runs or after a clean stop. Any thread.
    std::string failure() const;

private:
    void run(RenderSource& source);
    bool open(std::string& error);
    bool configure(std::string& error);
    bool write(const void* frames, uint32_t count);

    std::string device_;
    double sampleRate_;
    uint32_t periodFrames_;
    uint32_t periods_;
    _snd_pcm* pcm_ = nullptr;
    bool floatSamples_ = true;
    std::vector<float> left_, right_, interleavedFloat_;
    std::vector<int16_t> interleaved16_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<uint64_t> framesDelivered_{0};
    std::atomic<int> failureCode_{0};  // the ALSA error that stopped the output thread
};

}  // namespace audioengine
