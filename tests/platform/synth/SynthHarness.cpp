#include "tests/platform/synth/SynthHarness.h"

#include <cmath>
#include <cstring>

namespace synth_test {

EventList& EventList::midi(uint32_t offsetFrames, uint8_t status, uint8_t data1, uint8_t data2) {
    AURenderEvent event{};
    event.MIDI.eventSampleTime = kAUEventSampleTimeImmediate + offsetFrames;
    event.MIDI.eventType = AURenderEventMIDI;
    event.MIDI.length = 3;
    event.MIDI.data[0] = status;
    event.MIDI.data[1] = data1;
    event.MIDI.data[2] = data2;
    events_.push_back(event);
    return *this;
}

const AURenderEvent* EventList::head() {
    for (size_t i = 0; i < events_.size(); ++i)
        events_[i].head.next = i + 1 < events_.size() ? &events_[i + 1] : nullptr;
    return events_.empty() ? nullptr : events_.data();
}

SynthHarness::SynthHarness(double sampleRateHz) : right_(kMaximumFrames) {
    unit_.outputBusses()[0]->setFormat(AudioFormat::standard(sampleRateHz, 2));
    unit_.setMaximumFramesToRender(kMaximumFrames);
    unit_.allocateRenderResources();
    renderBlock_ = unit_.renderBlock();
}

foundation::OSStatus SynthHarness::loadBank(const std::filesystem::path& path) {
    return unit_.setProperty(kMusicDeviceProperty_SoundBankURL, kAudioUnitScope_Global, 0, &path, sizeof path);
}

foundation::OSStatus SynthHarness::setPreload(bool on) {
    const uint32_t value = on ? 1 : 0;
    return unit_.setProperty(kAUMIDISynthProperty_EnablePreload, kAudioUnitScope_Global, 0, &value, sizeof value);
}

std::vector<float> SynthHarness::render(uint32_t frames, const AURenderEvent* events) {
    std::vector<float> left(frames, 1.0f);
    AudioBufferList buffers = stereoBufferList(left.data(), right_.data(), frames);
    AudioTimeStamp timestamp;
    timestamp.mSampleTime = sampleTime_;
    timestamp.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    const foundation::OSStatus status = renderBlock_(&flags, &timestamp, frames, 0, &buffers, events, nullptr);
    if (status != foundation::noErr) left.assign(frames, NAN);
    sampleTime_ += frames;
    return left;
}

std::vector<float> SynthHarness::renderFor(uint32_t frames) {
    std::vector<float> all;
    while (all.size() < frames) {
        const auto part = render(std::min<uint32_t>(512, frames - static_cast<uint32_t>(all.size())));
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

double rms(const std::vector<float>& samples, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += double{samples[i]} * samples[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

namespace {

double autocorrelation(const std::vector<float>& samples, size_t from, size_t to, size_t lag) {
    double sum = 0.0;
    for (size_t i = from; i + lag < to; ++i) sum += double{samples[i]} * samples[i + lag];
    return sum / static_cast<double>(to - from - lag);
}

// The lag of the largest autocorrelation in [low, high], refined by a parabola through it and its neighbours.
double peakLag(const std::vector<float>& samples, size_t from, size_t to, size_t low, size_t high) {
    size_t best = low;
    double bestValue = -1e300;
    for (size_t lag = low; lag <= high; ++lag) {
        const double value = autocorrelation(samples, from, to, lag);
        if (value > bestValue) {
            bestValue = value;
            best = lag;
        }
    }
    const double before = autocorrelation(samples, from, to, best - 1);
    const double after = autocorrelation(samples, from, to, best + 1);
    const double curvature = before - 2.0 * bestValue + after;
    return curvature < 0.0 ? static_cast<double>(best) + 0.5 * (before - after) / curvature
                           : static_cast<double>(best);
}

}  // namespace

double fundamentalHz(const std::vector<float>& samples, size_t from, size_t to, double sampleRateHz) {
    const double energy = autocorrelation(samples, from, to, 0);
    if (energy <= 0.0) return 0.0;
    // The first lag past the central lobe where the autocorrelation is a strong local maximum.
    size_t lag = 2;
    while (lag < 2000 && autocorrelation(samples, from, to, lag) > 0.0) ++lag;
    size_t period = 0;
    for (; lag < 2000 && period == 0; ++lag) {
        const double value = autocorrelation(samples, from, to, lag);
        if (value > 0.5 * energy && value >= autocorrelation(samples, from, to, lag - 1) &&
            value >= autocorrelation(samples, from, to, lag + 1))
            period = lag;
    }
    if (period == 0) return 0.0;
    constexpr size_t kPeriods = 20;
    const double coarse = peakLag(samples, from, to, period - 1, period + 1);
    const auto around = static_cast<size_t>(std::lround(coarse * kPeriods));
    const size_t spread = period / 4;
    return sampleRateHz * kPeriods / peakLag(samples, from, to, around - spread, around + spread);
}

size_t firstSound(const std::vector<float>& samples, float threshold) {
    for (size_t i = 0; i < samples.size(); ++i)
        if (std::fabs(samples[i]) > threshold) return i;
    return samples.size();
}

}  // namespace synth_test
