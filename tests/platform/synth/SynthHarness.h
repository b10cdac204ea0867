#pragma once
// Drives a MIDISynthUnit the way a host does: allocated at a sample rate, rendered buffer after buffer through its
// render block, with MIDI events in the render list or sent through musicDeviceMIDIEvent. Also the signal
// measurements the tests compare with.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/synth/MIDISynthUnit.h"

namespace synth_test {

inline constexpr double kSampleRateHz = 48000.0;
inline constexpr uint32_t kMaximumFrames = 4096;

// MIDI events of one render list, each at a frame offset of the buffer ("immediate" times).
class EventList {
public:
    EventList& midi(uint32_t offsetFrames, uint8_t status, uint8_t data1, uint8_t data2 = 0);
    // The head of the list, linked in the order added; valid while the list lives and is not changed.
    const AURenderEvent* head();

private:
    std::vector<AURenderEvent> events_;
};

class SynthHarness {
public:
    explicit SynthHarness(double sampleRateHz = kSampleRateHz);

    MIDISynthUnit& unit() { return unit_; }
    foundation::OSStatus loadBank(const std::filesystem::path& path);
    foundation::OSStatus setPreload(bool on);

    // One render call of frames frames (at most kMaximumFrames); the left channel after it.
    std::vector<float> render(uint32_t frames, const AURenderEvent* events = nullptr);
    // frames frames in calls of 512 frames without events; the left channel.
    std::vector<float> renderFor(uint32_t frames);

private:
    MIDISynthUnit unit_;
    AURenderBlock renderBlock_;
    double sampleTime_ = 0.0;
    std::vector<float> right_;
};

// Root mean square of samples [from, to).
double rms(const std::vector<float>& samples, size_t from, size_t to);
// Fundamental frequency of samples [from, to) in Hz: the first strong autocorrelation peak gives the period
// roughly, the peak near twenty periods refines it.
double fundamentalHz(const std::vector<float>& samples, size_t from, size_t to, double sampleRateHz = kSampleRateHz);
// Index of the first sample whose magnitude exceeds threshold, or samples.size().
size_t firstSound(const std::vector<float>& samples, float threshold = 0.0f);

}  // namespace synth_test
