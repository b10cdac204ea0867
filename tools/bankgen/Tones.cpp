#include "tools/bankgen/Tones.h"

#include "tools/bankgen/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace bankgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Points past the loop end: a voice keeps a loop whole only when the sample goes on after it.
constexpr std::uint32_t kPointsAfterLoop = 8;

struct Frame {
    const ToneRequest& request;
    double hz;               // the root key's pitch
    std::uint32_t period;
    std::uint32_t attack;    // points before the loop, whole periods
    std::uint32_t settled;   // from here on the attack is the plain looped period
    std::vector<double> fade; // per attack point: 1 falling to 0 at `settled`, for what must be gone by the loop

    double seconds(std::uint32_t point) const { return static_cast<double>(point) / request.rateHz; }
};

// One period holding the harmonics [first, last) of the request, at their levels.
std::vector<double> harmonicCycle(const Frame& frame, std::size_t first, std::size_t last)
{
    std::vector<double> cycle(frame.period, 0.0);
    for (std::size_t h = first; h < last; ++h) {
        double level = frame.request.harmonics[h];
        if (level == 0.0) {
            continue;
        }
        for (std::uint32_t i = 0; i < frame.period; ++i) {
            cycle[i] += level * std::sin(kTwoPi * static_cast<double>(((h + 1) * i) % frame.period) / frame.period);
        }
    }
    return cycle;
}

// A sine at hz whose level falls by a fixed factor per point, advanced by rotation rather than by sine calls.
class DecayingSine {
public:
    DecayingSine(double hz, double rateHz, double level, double decaySeconds)
        : step_(std::polar(1.0, kTwoPi * hz / rateHz)), value_(level, 0.0),
          fall_(std::exp(-1.0 / (decaySeconds * rateHz)))
    {
    }
    // The sine's value at this point, then one point on.
    double next()
    {
        double out = value_.imag();
        value_ *= step_ * fall_;
        return out;
    }

private:
    std::complex<double> step_;
    std::complex<double> value_; // the sine is its imaginary part, starting at phase 0
    double fall_;
};

// Noise through a one-pole low-pass: brightness 1 keeps it white, 0 leaves a rumble.
class ColouredNoise {
public:
    ColouredNoise(std::uint32_t seed, double brightness) : noise_(seed), keep_(1.0 - std::clamp(brightness, 0.02, 1.0))
    {
    }
    double next()
    {
        state_ = keep_ * state_ + (1.0 - keep_) * noise_.next();
        return state_;
    }

private:
    Noise noise_;
    double keep_;
    double state_ = 0.0;
};

// Upper partials entering later than the lower ones: the harmonics in four bands, band b reaching its level after
// lag(x) of the attack's unsettled part, x running from 0 (lowest band) to 1 (highest).
template <typename Lag>
void rampedHarmonics(const Frame& frame, std::vector<double>& signal, Lag lag)
{
    constexpr std::size_t kBands = 4;
    const std::size_t count = frame.request.harmonics.size();
    for (std::size_t b = 0; b < kBands; ++b) {
        std::size_t first = count * b / kBands;
        std::size_t last = count * (b + 1) / kBands;
        if (first == last) {
            continue;
        }
        std::vector<double> cycle = harmonicCycle(frame, first, last);
        double ramp = std::max(1.0, lag(static_cast<double>(b) / (kBands - 1)) * frame.settled);
        for (std::uint32_t i = 0; i < frame.attack; ++i) {
            signal[i] += std::min(1.0, i / ramp) * cycle[i % frame.period];
        }
    }
}

void addNoiseBurst(const Frame& frame, std::vector<double>& signal, double level, double decaySeconds,
                   double brightness, std::uint32_t seedOffset)
{
    ColouredNoise noise(frame.request.seed + seedOffset, brightness);
    const double fall = std::exp(-1.0 / (decaySeconds * frame.request.rateHz));
    double envelope = level;
    for (std::uint32_t i = 0; i < frame.settled; ++i) {
        signal[i] += envelope * frame.fade[i] * noise.next();
        envelope *= fall;
    }
}

// Stretched partials of a stiff string, bright at the hammer's blow, handing over to the harmonic period.
void pianoAttack(const Frame& frame, std::vector<double>& signal)
{
    const ToneRequest& r = frame.request;
    const std::size_t count = r.harmonics.size();
    const double stiffness = 0.00015 * r.inharmonicity * std::sqrt(frame.hz / 110.0);
    for (std::size_t h = 1; h <= count; ++h) {
        double hz = static_cast<double>(h) * frame.hz * std::sqrt(1.0 + stiffness * static_cast<double>(h * h));
        if (hz > 0.45 * r.rateHz) {
            break;
        }
        double level = r.harmonics[h - 1] * (1.0 + 2.0 * r.brightness * static_cast<double>(h - 1) / count);
        DecayingSine partial(hz, r.rateHz, level, 0.08 / static_cast<double>(h));
        for (std::uint32_t i = 0; i < frame.settled; ++i) {
            signal[i] += frame.fade[i] * partial.next();
        }
    }
    std::vector<double> cycle = harmonicCycle(frame, 0, count);
    for (std::uint32_t i = 0; i < frame.attack; ++i) {
        signal[i] += (1.0 - frame.fade[i]) * cycle[i % frame.period];
    }
    addNoiseBurst(frame, signal, 0.35, 0.004, 0.3 + 0.5 * r.brightness, 0x4a);
}

// Inharmonic modes ringing over the settled tone and dying within the attack.
void struckModes(const Frame& frame, std::vector<double>& signal, double level, double decaySeconds)
{
    const ToneRequest& r = frame.request;
    for (std::size_t m = 0; m < r.modes.size() && r.modes[m] > 0.0f; ++m) {
        double hz = r.modes[m] * frame.hz;
        if (hz > 0.45 * r.rateHz) {
            break;
        }
        DecayingSine mode(hz, r.rateHz, level * r.brightness / static_cast<double>(m + 1),
                          decaySeconds / static_cast<double>(m + 1));
        for (std::uint32_t i = 0; i < frame.settled; ++i) {
            signal[i] += frame.fade[i] * mode.next();
        }
    }
}

// A plucked string: a delay of one period with a zero-phase smoothing loss, so that the pitch is exactly the
// period's and the upper partials die first. The pick's position and brightness shape the excitation.
void pluckedString(const Frame& frame, std::vector<double>& signal)
{
    const ToneRequest& r = frame.request;
    const std::uint32_t p = frame.period;
    ColouredNoise noise(r.seed + p, 0.15 + 0.85 * r.brightness);
    std::vector<double> excitation(p);
    for (double& v : excitation) {
        v = noise.next();
    }
    // Plucked at a fifth to a tenth of the length: the notch of that position.
    auto offset = static_cast<std::uint32_t>(p * (0.2 - 0.1 * r.brightness));
    double mean = 0.0;
    for (std::uint32_t i = 0; i < p; ++i) {
        signal[i] = excitation[i] - excitation[(i + offset) % p];
        mean += signal[i] / p;
    }
    for (std::uint32_t i = 0; i < p; ++i) {
        signal[i] -= mean;
    }
    // About 40 dB in two seconds at the fundamental; the envelopes take it on from the loop.
    const double loss = std::pow(10.0, -2.0 / (frame.hz * 2.0 * (0.5 + r.brightness)));
    for (std::uint32_t i = p; i < frame.attack; ++i) {
        double before = i > p ? signal[i - p - 1] : signal[p - 1];
        signal[i] = loss * (0.25 * signal[i - p + 1] + 0.5 * signal[i - p] + 0.25 * before);
    }
}

Frame frameOf(const ToneRequest& r)
{
    double hz = 440.0 * std::exp2((r.rootKey - 69) / 12.0);
    auto period = static_cast<std::uint32_t>(std::lround(r.rateHz / hz));
    // Higher notes ring and settle sooner.
    double seconds = r.transientSeconds * std::min(1.0, std::sqrt(110.0 / hz));
    auto unsettled = static_cast<std::uint32_t>(std::ceil(seconds * r.rateHz / period));
    if (r.model == ToneModel::plucked) {
        unsettled = std::max<std::uint32_t>(unsettled, 2);
    }
    Frame frame{r, hz, period, (unsettled + 1) * period, unsettled * period, {}};
    frame.fade.assign(frame.attack, 0.0);
    for (std::uint32_t i = 0; i < frame.settled; ++i) {
        frame.fade[i] = 0.5 * (1.0 + std::cos(std::numbers::pi * i / frame.settled));
    }
    return frame;
}

} // namespace

GeneratedSample renderTone(std::string name, const ToneRequest& r)
{
    Frame frame = frameOf(r);
    std::vector<double> signal(frame.attack, 0.0);
    switch (r.model) {
    case ToneModel::piano:
        pianoAttack(frame, signal);
        break;
    case ToneModel::electricPiano:
        rampedHarmonics(frame, signal, [](double) { return 0.0; });
        struckModes(frame, signal, 0.6, 0.03);
        addNoiseBurst(frame, signal, 0.15, 0.003, 0.2, 0x3e);
        break;
    case ToneModel::mallet:
        rampedHarmonics(frame, signal, [](double) { return 0.0; });
        struckModes(frame, signal, 1.2, 0.05);
        addNoiseBurst(frame, signal, 0.2, 0.002, r.brightness, 0x4d);
        break;
    case ToneModel::organ:
        rampedHarmonics(frame, signal, [](double) { return 0.0; });
        addNoiseBurst(frame, signal, 0.25, 0.002, 0.6, 0xc1);
        break;
    case ToneModel::plucked:
        pluckedString(frame, signal);
        break;
    case ToneModel::bowed:
        rampedHarmonics(frame, signal, [](double x) { return 0.3 + 0.7 * x; });
        addNoiseBurst(frame, signal, 0.08, 0.05, 0.9, 0xb0);
        break;
    case ToneModel::brass:
        rampedHarmonics(frame, signal, [](double x) { return 0.15 + 0.85 * std::pow(x, 0.7); });
        break;
    case ToneModel::reed:
        rampedHarmonics(frame, signal, [](double x) { return 0.3 + 0.2 * x; });
        addNoiseBurst(frame, signal, 0.06, 0.03, 0.7, 0x7e);
        break;
    case ToneModel::pipe:
        rampedHarmonics(frame, signal, [](double x) { return x == 0.0 ? 0.7 : 0.3; });
        addNoiseBurst(frame, signal, 0.3, 0.02, 0.5, 0xf1);
        break;
    case ToneModel::additive:
    case ToneModel::noise:
        rampedHarmonics(frame, signal, [](double) { return 0.0; });
        break;
    }
    // The loop is the attack's last period: settled for the additive models, the string's own for the plucked one.
    std::vector<double> loop(signal.end() - frame.period, signal.end());
    signal.insert(signal.end(), loop.begin(), loop.end());
    signal.insert(signal.end(), loop.begin(), loop.begin() + std::min<std::uint32_t>(kPointsAfterLoop, frame.period));
    return {std::move(name), toPoints(signal, 0.9), r.rateHz, r.rootKey,
            SampleLoop{frame.attack, frame.attack + frame.period}};
}

double onsetLevel(const GeneratedSample& sample, double seconds)
{
    auto count = static_cast<std::size_t>(seconds * sample.rateHz);
    double sum = 0.0;
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += static_cast<double>(sample.points[at]) * sample.points[at];
        ++at;
        if (sample.loop && at >= sample.loop->end) {
            at = sample.loop->start;
        } else if (at >= sample.points.size()) {
            break;
        }
    }
    return std::sqrt(sum / std::max<std::size_t>(1, count)) / 32768.0;
}

void driveToLevel(GeneratedSample& sample, double level, double seconds)
{
    if (onsetLevel(sample, seconds) >= level) {
        return;
    }
    const std::vector<std::int16_t> plain = sample.points;
    double peak = 0.0;
    for (std::int16_t point : plain) {
        peak = std::max(peak, std::abs(static_cast<double>(point)));
    }
    if (peak == 0.0) {
        return;
    }
    // Drive d maps x to peak * tanh(d x / peak) / tanh(d): the peak stays, quiet points rise by about d / tanh(d).
    auto drive = [&](double d) {
        const double norm = std::tanh(d);
        std::transform(plain.begin(), plain.end(), sample.points.begin(), [&](std::int16_t point) {
            return static_cast<std::int16_t>(std::lround(peak * std::tanh(d * point / peak) / norm));
        });
    };
    constexpr double kMostDrive = 4.0;
    double low = 0.0;
    double high = kMostDrive;
    drive(high);
    if (onsetLevel(sample, seconds) < level) {
        return;
    }
    for (int step = 0; step < 16; ++step) {
        const double middle = 0.5 * (low + high);
        drive(middle);
        (onsetLevel(sample, seconds) < level ? low : high) = middle;
    }
    drive(high);
}

} // namespace bankgen
