#include "tools/bankgen/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bankgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double seconds(std::size_t point)
{
    return static_cast<double>(point) / kSampleRateHz;
}

std::size_t points(double durationSeconds)
{
    return static_cast<std::size_t>(durationSeconds * kSampleRateHz);
}

// A sine whose frequency follows f(t), integrated point by point so that sweeps stay continuous.
template <typename Frequency, typename Amplitude>
void addSweep(std::vector<double>& signal, Frequency frequencyHz, Amplitude amplitude)
{
    double phase = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        double t = seconds(i);
        signal[i] += amplitude(t) * std::sin(phase);
        phase += kTwoPi * frequencyHz(t) / kSampleRateHz;
    }
}

template <typename Amplitude>
void addNoise(std::vector<double>& signal, Noise& noise, Amplitude amplitude)
{
    // A first difference tilts the noise towards the highs, as drum heads and wires sound.
    double previous = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        double white = noise.next();
        signal[i] += amplitude(seconds(i)) * 0.5 * (white - previous);
        previous = white;
    }
}

} // namespace

std::uint32_t periodOfA(std::uint8_t key)
{
    double hz = 440.0 * std::exp2((key - 69) / 12.0);
    return static_cast<std::uint32_t>(std::lround(kSampleRateHz / hz));
}

std::vector<std::int16_t> additiveCycles(std::uint32_t period, std::span<const float> amplitudes, int cycles,
                                         double peak)
{
    std::vector<double> cycle(period, 0.0);
    for (std::size_t h = 0; h < amplitudes.size(); ++h) {
        if (amplitudes[h] == 0.0f) {
            continue;
        }
        for (std::uint32_t i = 0; i < period; ++i) {
            cycle[i] += amplitudes[h] * std::sin(kTwoPi * static_cast<double>((h + 1) * i) / period);
        }
    }
    std::vector<double> signal;
    signal.reserve(static_cast<std::size_t>(period) * cycles);
    for (int c = 0; c < cycles; ++c) {
        signal.insert(signal.end(), cycle.begin(), cycle.end());
    }
    return toPoints(signal, peak);
}

double Noise::next()
{
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

std::vector<std::int16_t> toPoints(std::span<const double> signal, double peak)
{
    double loudest = 0.0;
    for (double v : signal) {
        loudest = std::max(loudest, std::abs(v));
    }
    double scale = loudest > 0.0 ? peak * 32767.0 / loudest : 0.0;
    std::vector<std::int16_t> out(signal.size());
    std::transform(signal.begin(), signal.end(), out.begin(),
                   [scale](double v) { return static_cast<std::int16_t>(std::lround(v * scale)); });
    return out;
}

std::vector<double> kickSignal()
{
    std::vector<double> s(points(0.35), 0.0);
    addSweep(
        s, [](double t) { return 48.0 + 110.0 * std::exp(-t / 0.025); },
        [](double t) { return std::exp(-t / 0.12); });
    Noise noise(0x4b1c);
    addNoise(s, noise, [](double t) { return 0.6 * std::exp(-t / 0.003); });
    return s;
}

std::vector<double> snareSignal()
{
    std::vector<double> s(points(0.3), 0.0);
    addSweep(
        s, [](double) { return 185.0; }, [](double t) { return 0.6 * std::exp(-t / 0.04); });
    addSweep(
        s, [](double) { return 330.0; }, [](double t) { return 0.3 * std::exp(-t / 0.03); });
    Noise noise(0x5a4e);
    addNoise(s, noise, [](double t) { return 1.2 * std::exp(-t / 0.07); });
    return s;
}

std::vector<double> tomSignal()
{
    std::vector<double> s(points(0.5), 0.0);
    addSweep(
        s, [](double t) { return 98.0 * (1.0 + 0.4 * std::exp(-t / 0.04)); },
        [](double t) { return std::exp(-t / 0.18); });
    Noise noise(0x7011);
    addNoise(s, noise, [](double t) { return 0.3 * std::exp(-t / 0.01); });
    return s;
}

std::vector<double> clapSignal()
{
    std::vector<double> s(points(0.25), 0.0);
    Noise noise(0xc1a9);
    // Four hands a few milliseconds apart, then the room's short tail.
    addNoise(s, noise, [](double t) {
        double burst = std::fmod(t, 0.011) < 0.004 && t < 0.044 ? 1.0 : 0.0;
        return burst + (t >= 0.033 ? 0.7 * std::exp(-(t - 0.033) / 0.05) : 0.0);
    });
    return s;
}

std::vector<double> woodSignal()
{
    std::vector<double> s(points(0.06), 0.0);
    addSweep(
        s, [](double) { return 820.0; }, [](double t) { return std::exp(-t / 0.012); });
    addSweep(
        s, [](double) { return 2150.0; }, [](double t) { return 0.4 * std::exp(-t / 0.006); });
    return s;
}

std::vector<double> shakerSignal()
{
    std::vector<double> s(points(0.12), 0.0);
    Noise noise(0x5ac3);
    addNoise(s, noise, [](double t) { return std::min(1.0, t / 0.01) * std::exp(-t / 0.03); });
    return s;
}

std::vector<double> loopNoiseSignal(std::uint32_t length, int differences, std::uint32_t seed)
{
    std::vector<double> s(length);
    Noise noise(seed);
    for (double& v : s) {
        v = noise.next();
    }
    for (int d = 0; d < differences; ++d) {
        // Circular, so the loop's end joins its start without a step.
        double last = s.back();
        for (std::size_t i = s.size(); i-- > 0;) {
            s[i] -= i > 0 ? s[i - 1] : last;
        }
    }
    return s;
}

} // namespace bankgen
