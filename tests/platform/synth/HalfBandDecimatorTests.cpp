// The half-band decimator against its design: tones up to 0.4 of the output rate pass at unit gain, tones that
// would fold back into the output band are 70 dB down, and the response does not depend on how the input is split
// into blocks.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/synth/HalfBandDecimator.h"

namespace synth_test {
namespace {

constexpr double kInputRateHz = 44100.0;

std::vector<float> tone(double frequencyHz, std::size_t frames) {
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * frequencyHz * i / kInputRateHz));
    return samples;
}

// Peak of the output after the filter has settled.
double settledPeak(const std::vector<float>& output) {
    double peak = 0.0;
    for (std::size_t i = output.size() / 2; i < output.size(); ++i) peak = std::max(peak, std::fabs(double{output[i]}));
    return peak;
}

std::vector<float> decimate(const std::vector<float>& input, std::uint32_t blockFrames) {
    synth::HalfBandDecimator decimator(blockFrames);
    std::vector<float> left(input.size() / 2), right(input.size() / 2);
    for (std::size_t done = 0; done < left.size(); done += blockFrames) {
        const auto frames = static_cast<std::uint32_t>(std::min<std::size_t>(blockFrames, left.size() - done));
        decimator.process(input.data() + 2 * done, input.data() + 2 * done, left.data() + done, right.data() + done,
                          frames);
    }
    EXPECT_EQ(left, right);
    return left;
}

TEST(HalfBandDecimator, PassesTheLowBandAndStopsWhatWouldFoldBack) {
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
        const double gain = settledPeak(decimate(tone(c.frequencyHz, 16384), 512));
        EXPECT_GE(gain, c.lowestGain);
        EXPECT_LE(gain, c.highestGain);
    }
}

TEST(HalfBandDecimator, BlockSizesDoNotChangeTheOutput) {
    const std::vector<float> input = tone(3000.0, 8192);
    const std::vector<float> whole = decimate(input, 4096);
    for (const std::uint32_t block : {1u, 7u, 64u, 511u}) {
        SCOPED_TRACE(block);
        EXPECT_EQ(decimate(input, block), whole);
    }
}

}  // namespace
}  // namespace synth_test
