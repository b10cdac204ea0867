#include "tests/tools/bankgen/bank_player.h"

#include "sampler/src/formats/korvel_dls.h"
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/synth/korvel_synth_render.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

namespace bankgen_test {

namespace {

constexpr int kMelodicChannel = 0;
constexpr int kRhythmChannel = 9;
constexpr unsigned kKitBank = 128;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

Signal renderSum(korvel_synth_t* synth, double seconds)
{
    auto frames = static_cast<std::size_t>(seconds * kRenderRateHz);
    Signal left(frames), right(frames);
    korvel_synth_write_float(synth, static_cast<int>(frames), left.data(), 0, 1, right.data(), 0, 1);
    for (std::size_t i = 0; i < frames; ++i) {
        left[i] += right[i];
    }
    return left;
}

// |DFT| at hz of the windowed points, its phasor advanced by rotation.
double magnitudeAt(const std::vector<double>& windowed, double hz)
{
    std::complex<double> sum;
    std::complex<double> phasor(1.0);
    const std::complex<double> step = std::polar(1.0, -kTwoPi * hz / kRenderRateHz);
    for (double v : windowed) {
        sum += v * phasor;
        phasor *= step;
    }
    return std::abs(sum);
}

} // namespace

BankPlayer::BankPlayer(const std::string& path)
{
    settings_ = new_korvel_settings();
    korvel_settings_setnum(settings_, "synth.sample-rate", kRenderRateHz);
    korvel_settings_setstr(settings_, "synth.reverb.active", "no");
    korvel_settings_setstr(settings_, "synth.chorus.active", "no");
    korvel_settings_setint(settings_, "synth.polyphony", 64);
    synth_ = new_korvel_synth(settings_);
    if (synth_ == nullptr) {
        return;
    }
    // As the product plays: with the voices' filter and four-point interpolation.
    korvel_synth_set_profile(synth_, &korvel_product_profile);
    if (korvel_is_dls(path.c_str()) != 0) {
        korvel_defsfont_t* bank = new_korvel_defsfont();
        korvel_sfont_t* sfont = nullptr;
        if (korvel_dls_load(bank, path.c_str()) == 0) {
            sfont = korvel_defsfont_new_sfont(bank);
        }
        if (sfont == nullptr) {
            delete_korvel_defsfont(bank);
            return;
        }
        loaded_ = korvel_synth_add_sfont(synth_, sfont) >= 0;
    } else {
        loaded_ = korvel_synth_sfload(synth_, path.c_str(), 1) >= 0;
    }
}

BankPlayer::~BankPlayer()
{
    delete_korvel_synth(synth_);
    delete_korvel_settings(settings_);
}

void BankPlayer::start(unsigned bank, unsigned program, int key, int velocity)
{
    channel_ = bank == kKitBank ? kRhythmChannel : kMelodicChannel;
    key_ = key;
    if (bank != kKitBank) {
        korvel_synth_bank_select(synth_, channel_, bank);
    }
    korvel_synth_program_change(synth_, channel_, static_cast<int>(program));
    korvel_synth_noteon(synth_, channel_, key, velocity);
}

Signal BankPlayer::render(double seconds)
{
    return renderSum(synth_, seconds);
}

void BankPlayer::silence()
{
    korvel_synth_all_sounds_off_all(synth_);
    renderSum(synth_, 0.02);
}

Signal BankPlayer::note(unsigned bank, unsigned program, int key, int velocity, double holdSeconds, double seconds)
{
    start(bank, program, key, velocity);
    Signal out = render(std::min(holdSeconds, seconds));
    korvel_synth_noteoff(synth_, channel_, key_);
    if (seconds > holdSeconds) {
        Signal rest = render(seconds - holdSeconds);
        out.insert(out.end(), rest.begin(), rest.end());
    }
    silence();
    return out;
}

std::vector<double> levelsDb(const Signal& signal, double windowSeconds)
{
    auto window = static_cast<std::size_t>(windowSeconds * kRenderRateHz);
    std::vector<double> levels;
    for (std::size_t at = 0; at + window <= signal.size(); at += window) {
        double sum = 0.0;
        for (std::size_t i = at; i < at + window; ++i) {
            sum += static_cast<double>(signal[i]) * signal[i];
        }
        double rms = std::sqrt(sum / static_cast<double>(window));
        levels.push_back(rms > 0.0 ? 20.0 * std::log10(rms) : -200.0);
    }
    return levels;
}

double pitchHz(const Signal& signal, double expectedHz, double from, double to)
{
    auto first = static_cast<std::size_t>(from * kRenderRateHz);
    auto last = std::min(signal.size(), static_cast<std::size_t>(to * kRenderRateHz));
    std::vector<double> windowed(last - first);
    for (std::size_t i = 0; i < windowed.size(); ++i) {
        double window = 0.5 - 0.5 * std::cos(kTwoPi * static_cast<double>(i) / static_cast<double>(windowed.size()));
        windowed[i] = window * signal[first + i];
    }
    constexpr double kStepCents = 2.0;
    auto at = [&](double cents) { return magnitudeAt(windowed, expectedHz * std::exp2(cents / 1200.0)); };
    double bestCents = 0.0;
    double best = -1.0;
    for (double cents = -50.0; cents <= 50.0; cents += kStepCents) {
        double m = at(cents);
        if (m > best) {
            best = m;
            bestCents = cents;
        }
    }
    double below = at(bestCents - kStepCents);
    double above = at(bestCents + kStepCents);
    double curve = below - 2.0 * best + above;
    double offset = curve < 0.0 ? 0.5 * (below - above) / curve : 0.0;
    return expectedHz * std::exp2((bestCents + offset * kStepCents) / 1200.0);
}

std::vector<double> bandSpectrumDb(const Signal& signal)
{
    constexpr std::size_t kFrame = 2048;
    std::vector<double> power(kFrame / 2, 0.0);
    std::vector<std::complex<double>> bins(kFrame);
    for (std::size_t at = 0; at + kFrame <= signal.size(); at += kFrame / 2) {
        for (std::size_t i = 0; i < kFrame; ++i) {
            double window = 0.5 - 0.5 * std::cos(kTwoPi * static_cast<double>(i) / kFrame);
            bins[i] = window * signal[at + i];
        }
        // In-place radix-2 transform.
        for (std::size_t i = 1, j = 0; i < kFrame; ++i) {
            std::size_t bit = kFrame >> 1;
            for (; (j & bit) != 0; bit >>= 1) {
                j ^= bit;
            }
            j ^= bit;
            if (i < j) {
                std::swap(bins[i], bins[j]);
            }
        }
        for (std::size_t length = 2; length <= kFrame; length <<= 1) {
            std::complex<double> step = std::polar(1.0, -kTwoPi / static_cast<double>(length));
            for (std::size_t i = 0; i < kFrame; i += length) {
                std::complex<double> w(1.0);
                for (std::size_t k = 0; k < length / 2; ++k) {
                    std::complex<double> even = bins[i + k];
                    std::complex<double> odd = w * bins[i + k + length / 2];
                    bins[i + k] = even + odd;
                    bins[i + k + length / 2] = even - odd;
                    w *= step;
                }
            }
        }
        for (std::size_t k = 0; k < kFrame / 2; ++k) {
            power[k] += std::norm(bins[k]);
        }
    }
    std::vector<double> bands;
    for (double centre = 50.0; centre <= 10000.0; centre *= std::exp2(1.0 / 3.0)) {
        double lo = centre * std::exp2(-1.0 / 6.0);
        double hi = centre * std::exp2(1.0 / 6.0);
        double sum = 1e-12;
        for (std::size_t k = 0; k < power.size(); ++k) {
            double hz = static_cast<double>(k) * kRenderRateHz / kFrame;
            if (hz >= lo && hz < hi) {
                sum += power[k];
            }
        }
        bands.push_back(10.0 * std::log10(sum));
    }
    return bands;
}

double logSpectralDistance(const std::vector<double>& a, const std::vector<double>& b)
{
    std::size_t n = std::min(a.size(), b.size());
    double mean = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        mean += (a[i] - b[i]) / static_cast<double>(n);
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        double d = a[i] - b[i] - mean;
        sum += d * d;
    }
    return std::sqrt(sum / static_cast<double>(n));
}

} // namespace bankgen_test
