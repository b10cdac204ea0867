#include "tools/bankgen/DrumSounds.h"

#include "tools/bankgen/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bankgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

std::vector<double> silence(double seconds, std::uint32_t rateHz)
{
    return std::vector<double>(static_cast<std::size_t>(seconds * rateHz), 0.0);
}

// A sine whose frequency follows f(t), integrated point by point so that sweeps stay continuous.
template <typename Frequency, typename Amplitude>
void addSweep(std::vector<double>& signal, std::uint32_t rateHz, Frequency frequencyHz, Amplitude amplitude)
{
    double phase = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        double t = static_cast<double>(i) / rateHz;
        signal[i] += amplitude(t) * std::sin(phase);
        phase += kTwoPi * std::min<double>(frequencyHz(t), 0.45 * rateHz) / rateHz;
    }
}

template <typename Amplitude>
void addNoise(std::vector<double>& signal, std::uint32_t rateHz, std::uint32_t seed, Amplitude amplitude)
{
    // A first difference tilts the noise towards the highs, as drum heads and wires sound.
    Noise noise(seed);
    double previous = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        double white = noise.next();
        signal[i] += amplitude(static_cast<double>(i) / rateHz) * 0.5 * (white - previous);
        previous = white;
    }
}

} // namespace

std::vector<double> kickSignal(const DrumShape& d, std::uint32_t rateHz, std::uint32_t seed)
{
    std::vector<double> s = silence(std::min(1.2, 3.0 * d.kickDecaySeconds), rateHz);
    addSweep(
        s, rateHz, [&](double t) { return d.kickHz + d.kickSweepHz * std::exp(-t / d.kickSweepSeconds); },
        [&](double t) { return std::exp(-t / d.kickDecaySeconds); });
    addNoise(s, rateHz, seed, [&](double t) { return d.kickClick * std::exp(-t / 0.003); });
    return s;
}

std::vector<double> snareSignal(const DrumShape& d, std::uint32_t rateHz, std::uint32_t seed)
{
    std::vector<double> s = silence(std::min(0.6, 4.0 * d.snareNoiseDecaySeconds), rateHz);
    if (d.brush) {
        // The brush sweeps in over a few milliseconds and lingers.
        addNoise(s, rateHz, seed, [&](double t) {
            return std::min(1.0, t / 0.012) * std::exp(-t / d.snareNoiseDecaySeconds) * d.snareNoise;
        });
        addSweep(
            s, rateHz, [&](double) { return d.snareHz; }, [&](double t) { return 0.2 * std::exp(-t / 0.02); });
        return s;
    }
    addSweep(
        s, rateHz, [&](double) { return d.snareHz; },
        [&](double t) { return 0.6 * std::exp(-t / d.snareToneDecaySeconds); });
    addSweep(
        s, rateHz, [&](double) { return 1.78 * d.snareHz; },
        [&](double t) { return 0.3 * std::exp(-t / (0.7 * d.snareToneDecaySeconds)); });
    addNoise(s, rateHz, seed, [&](double t) { return d.snareNoise * std::exp(-t / d.snareNoiseDecaySeconds); });
    return s;
}

std::vector<double> tomSignal(const DrumShape& d, std::uint32_t rateHz, std::uint32_t seed)
{
    std::vector<double> s = silence(std::min(1.5, 3.0 * d.tomDecaySeconds), rateHz);
    if (d.timpani) {
        // A kettle's modes sit near 1, 1.5, 2 and 2.5 times the note.
        for (double ratio : {1.0, 1.504, 1.742, 2.0, 2.245}) {
            addSweep(
                s, rateHz, [&](double) { return 98.0 * ratio; },
                [&](double t) { return std::exp(-t * ratio / d.tomDecaySeconds) / ratio; });
        }
    } else {
        addSweep(
            s, rateHz, [&](double t) { return 98.0 * (1.0 + d.tomSweep * std::exp(-t / 0.04)); },
            [&](double t) { return std::exp(-t / d.tomDecaySeconds); });
    }
    addNoise(s, rateHz, seed, [&](double t) { return d.tomNoise * std::exp(-t / 0.01); });
    return s;
}

std::vector<double> clapSignal(std::uint32_t rateHz, std::uint32_t seed)
{
    std::vector<double> s = silence(0.25, rateHz);
    // Four hands a few milliseconds apart, then the room's short tail.
    addNoise(s, rateHz, seed, [](double t) {
        double burst = std::fmod(t, 0.011) < 0.004 && t < 0.044 ? 1.0 : 0.0;
        return burst + (t >= 0.033 ? 0.7 * std::exp(-(t - 0.033) / 0.05) : 0.0);
    });
    return s;
}

std::vector<double> woodSignal(std::uint32_t rateHz)
{
    std::vector<double> s = silence(0.06, rateHz);
    addSweep(
        s, rateHz, [](double) { return 820.0; }, [](double t) { return std::exp(-t / 0.012); });
    addSweep(
        s, rateHz, [](double) { return 2150.0; }, [](double t) { return 0.4 * std::exp(-t / 0.006); });
    return s;
}

std::vector<double> shakerSignal(std::uint32_t rateHz, std::uint32_t seed)
{
    std::vector<double> s = silence(0.12, rateHz);
    addNoise(s, rateHz, seed, [](double t) { return std::min(1.0, t / 0.01) * std::exp(-t / 0.03); });
    return s;
}

std::vector<double> zapSignal(std::uint32_t rateHz)
{
    std::vector<double> s = silence(0.4, rateHz);
    addSweep(
        s, rateHz, [](double t) { return 2000.0 * std::exp(-t / 0.08) + 60.0; },
        [](double t) { return std::exp(-t / 0.15); });
    return s;
}

} // namespace bankgen
