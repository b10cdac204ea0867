// The half-band filter against its design, both ways: tones up to 0.4 of the lower rate pass at unit gain, tones
// that would fold back (halving) or the images of tones (doubling) are 70 dB down, the output lags by 31 frames of
// the higher rate, and the response does not depend on how the input is split into blocks.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/synth/HalfBandFilter.h"

namespace synth_test {
namespace {

constexpr double kHigherRateHz = 44100.0;
constexpr double kLowerRateHz = kHigherRateHz / 2.0;

std::vector<float> tone(double frequencyHz, double rateHz, std::size_t frames) {
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * frequencyHz * i / rateHz));
    return samples;
}

// Peak of the output after the filter has settled.
double settledPeak(const std::vector<float>& output) {
    double peak = 0.0;
    for (std::size_t i = output.size() / 2; i < output.size(); ++i) peak = std::max(peak, std::fabs(double{output[i]}));
    return peak;
}

// The input halved or doubled in calls of blockFrames frames of the lower rate; the left channel, after checking
// that the right one, fed the same, came out the same.
std::vector<float> halve(const std::vector<float>& input, std::uint32_t blockFrames) {
    synth::HalfBandFilter filter(blockFrames);
    std::vector<float> left(input.size() / 2), right(input.size() / 2);
    for (std::size_t done = 0; done < left.size(); done += blockFrames) {
        const auto frames = static_cast<std::uint32_t>(std::min<std::size_t>(blockFrames, left.size() - done));
        filter.decimate(input.data() + 2 * done, input.data() + 2 * done, left.data() + done, right.data() + done,
                        frames);
    }
    EXPECT_EQ(left, right);
    return left;
}

std::vector<float> twice(const std::vector<float>& input, std::uint32_t blockFrames) {
    synth::HalfBandFilter filter(blockFrames);
    std::vector<float> left(2 * input.size()), right(2 * input.size());
    for (std::size_t done = 0; done < input.size(); done += blockFrames) {
        const auto frames = static_cast<std::uint32_t>(std::min<std::size_t>(blockFrames, input.size() - done));
        filter.interpolate(input.data() + done, input.data() + done, left.data() + 2 * done,
                           right.data() + 2 * done, frames);
    }
    EXPECT_EQ(left, right);
    return left;
}

// Magnitude of the frequencyHz component of samples at rateHz (one bin of a discrete Fourier transform over the
// settled second half), relative to a full-scale sine.
double component(const std::vector<float>& samples, double frequencyHz, double rateHz) {
    double re = 0.0, im = 0.0;
    const std::size_t from = samples.size() / 2;
    for (std::size_t i = from; i < samples.size(); ++i) {
        const double phase = 2.0 * std::numbers::pi * frequencyHz * static_cast<double>(i) / rateHz;
        re += samples[i] * std::cos(phase);
        im += samples[i] * std::sin(phase);
    }
    return 2.0 * std::hypot(re, im) / static_cast<double>(samples.size() - from);
}

TEST(HalfBandFilter, HalvingPassesTheLowBandAndStopsWhatWouldFoldBack) {
    struct Case {
        double frequencyHz;
        double lowestGain;
        double highestGain;
    };
    const Case cases[] = {
        {440.0, 0.999, 1.001},
        {4000.0, 0.999, 1.001},
        {8800.0, 0.999, 1.001},
        {14000.0, 0.0, 3.2e-4},
        {20000.0, 0.0, 3.2e-4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frequencyHz);
        const double gain = settledPeak(halve(tone(c.frequencyHz, kHigherRateHz, 16384), 512));
        EXPECT_GE(gain, c.lowestGain);
        EXPECT_LE(gain, c.highestGain);
    }
}

// A tone of the lower rate comes out of doubling at its level, and its image (the lower rate minus the tone, which
// zero insertion makes as loud as the tone) 70 dB down. The tones (near 440, 2000, 4000 and 8800 Hz) and their images
// are whole bins of the measurement, so neither leaks into the other's.
TEST(HalfBandFilter, DoublingKeepsTheToneAndStopsItsImage) {
    constexpr std::size_t kLowerRateFrames = 8192;
    constexpr double kBinHz = kHigherRateHz / kLowerRateFrames;  // the second half of the doubled output
    for (const int bin : {82, 372, 743, 1635}) {
        const double frequencyHz = bin * kBinHz;
        SCOPED_TRACE(frequencyHz);
        const std::vector<float> doubled = twice(tone(frequencyHz, kLowerRateHz, kLowerRateFrames), 512);
        EXPECT_NEAR(component(doubled, frequencyHz, kHigherRateHz), 1.0, 0.001);
        EXPECT_LE(component(doubled, kLowerRateHz - frequencyHz, kHigherRateHz), 3.2e-4);
    }
}

// A click comes out where the filter's delay puts it: 31 frames of the higher rate, 15.5 of the lower (so halving
// an input click at an odd frame puts the peak on a whole output frame).
TEST(HalfBandFilter, BothWaysTheOutputLags31FramesOfTheHigherRate) {
    constexpr std::size_t kClick = 101;
    std::vector<float> higher(512, 0.0f);
    higher[kClick] = 1.0f;
    const std::vector<float> halved = halve(higher, 64);
    std::vector<float> click(halved.size(), 0.0f);
    click[kClick] = 1.0f;
    const std::vector<float> doubled = twice(click, 64);
    const auto peakAt = [](const std::vector<float>& samples) {
        return static_cast<std::size_t>(std::max_element(samples.begin(), samples.end()) - samples.begin());
    };
    EXPECT_EQ(2 * peakAt(halved), kClick + synth::HalfBandFilter::kDelayHigherRateFrames);
    EXPECT_EQ(peakAt(doubled), 2 * kClick + synth::HalfBandFilter::kDelayHigherRateFrames);
}

TEST(HalfBandFilter, BlockSizesDoNotChangeTheOutput) {
    const std::vector<float> input = tone(3000.0, kHigherRateHz, 8192);
    const std::vector<float> wholeHalved = halve(input, 4096);
    const std::vector<float> wholeDoubled = twice(input, 8192);
    for (const std::uint32_t block : {1u, 7u, 64u, 511u}) {
        SCOPED_TRACE(block);
        EXPECT_EQ(halve(input, block), wholeHalved);
        EXPECT_EQ(twice(input, block), wholeDoubled);
    }
}

}  // namespace
}  // namespace synth_test
