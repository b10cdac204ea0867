#include "tools/bankgen/LoopedSamples.h"

#include "tools/bankgen/Synthesis.h"

#include <vector>

namespace bankgen {

GeneratedSample cycleSample(const char* name, std::uint8_t rootKey, std::span<const float> amplitudes, double peak)
{
    std::uint32_t period = periodOfA(rootKey);
    return {name, additiveCycles(period, amplitudes, 2, peak), kSampleRateHz, rootKey, SampleLoop{period, 2 * period}};
}

GeneratedSample noiseSample(const char* name, int differences, std::uint32_t seed, double peak)
{
    constexpr std::uint8_t kRootKey = 69;
    const std::uint32_t loopLength = 44 * periodOfA(kRootKey);
    const std::uint32_t leadIn = periodOfA(kRootKey);
    std::vector<double> loop = loopNoiseSignal(loopLength, differences, seed);
    std::vector<double> signal(loop.end() - leadIn, loop.end());
    signal.insert(signal.end(), loop.begin(), loop.end());
    return {name, toPoints(signal, peak), kSampleRateHz, kRootKey, SampleLoop{leadIn, leadIn + loopLength}};
}

} // namespace bankgen
