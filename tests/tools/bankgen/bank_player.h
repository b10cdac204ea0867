// Plays single notes of a generated bank file through the synthesizer library as the product sets it up (its
// profile, no reverb or chorus, mono sum), and the
// measurements the sound tests take of them: RMS envelopes, pitch, band spectra and their distance.
#pragma once

#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"

#include <string>
#include <vector>

namespace bankgen_test {

// The rate the tests render at: the library's lowest.
inline constexpr double kRenderRateHz = 24000.0;

using Signal = std::vector<float>;

class BankPlayer {
public:
    // Loads the file (DLS or SoundFont 2 by its content) into a new synthesizer.
    explicit BankPlayer(const std::string& path);
    ~BankPlayer();
    BankPlayer(const BankPlayer&) = delete;
    BankPlayer& operator=(const BankPlayer&) = delete;

    bool loaded() const { return loaded_; }

    // One note of the preset at bank and program (kits: bank 128, played on the rhythm channel), held for
    // holdSeconds and rendered for `seconds`; every voice is silenced afterwards.
    Signal note(unsigned bank, unsigned program, int key, int velocity, double holdSeconds, double seconds);

    // The same in steps: start a held note, render it on piece by piece, and silence every voice.
    void start(unsigned bank, unsigned program, int key, int velocity);
    Signal render(double seconds);
    void silence();

private:
    int channel_ = 0;
    int key_ = 0;
    korvel_settings_t* settings_ = nullptr;
    korvel_synth_t* synth_ = nullptr;
    bool loaded_ = false;
};

// RMS of each `windowSeconds` window, in dB of full scale (-200 for silence).
std::vector<double> levelsDb(const Signal& signal, double windowSeconds);

// The fundamental near expectedHz, from `from` to `to` seconds of the signal, by the strongest DFT magnitude
// within 50 cents, refined by a parabola through its neighbours.
double pitchHz(const Signal& signal, double expectedHz, double from, double to);

// Mean power in third-octave bands from 50 Hz to 10 kHz, in dB, of the whole signal.
std::vector<double> bandSpectrumDb(const Signal& signal);

// RMS difference of two band spectra in dB, after removing their mean difference (a plain level change).
double logSpectralDistance(const std::vector<double>& a, const std::vector<double>& b);

} // namespace bankgen_test
