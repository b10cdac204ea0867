#include "tools/bankgen/LoopedSamples.h"

#include "tools/bankgen/Synthesis.h"

#include <vector>

namespace bankgen {

namespace {
// Points past the loop end: a voice keeps a loop whole only when the sample goes on after it.
constexpr std::uint32_t kPointsAfterLoop = 8;
} // namespace

GeneratedSample cycleSample(const char* name, std::uint8_t rootKey, std::uint32_t rateHz,
                            std::span<const float> amplitudes, double peak)
{
    std::uint32_t period = periodOfA(rootKey, rateHz);
    // A lead-in cycle, the looped cycle, and a cycle after it.
    return {name, additiveCycles(period, amplitudes, 3, peak), rateHz, rootKey, SampleLoop{period, 2 * period}};
}

GeneratedSample noiseSample(const char* name, std::uint32_t rateHz, int differences, std::uint32_t seed, double peak)
{
    constexpr std::uint8_t kRootKey = 69;
    const std::uint32_t loopLength = 44 * periodOfA(kRootKey, rateHz);
    const std::uint32_t leadIn = periodOfA(kRootKey, rateHz);
    std::vector<double> loop = loopNoiseSignal(loopLength, differences, seed);
    std::vector<double> signal(loop.end() - leadIn, loop.end());
    signal.insert(signal.end(), loop.begin(), loop.end());
    signal.insert(signal.end(), loop.begin(), loop.begin() + kPointsAfterLoop);
    return {name, toPoints(signal, peak), rateHz, kRootKey, SampleLoop{leadIn, leadIn + loopLength}};
}

} // namespace bankgen
