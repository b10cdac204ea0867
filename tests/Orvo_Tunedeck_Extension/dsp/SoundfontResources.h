#pragma once

#include <string>

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestFolder.h"
#include "tools/soundbank/sf2_writer.h"

// A resources folder for the running test holding "soundfont6.sf2": a looped sine at 480 Hz on key 69 over the whole
// keyboard, as program 0 (bank 0) and one octave higher as program 1. TUNEDECK_RESOURCES points at it while the
// object lives.
class SoundfontResources {
public:
    SoundfontResources() {
        sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("Sine", sf2::sine_wave(100, 48, 0.8), 100, 69));
        sf2::Preset octave{"Sine Octave", 1, 0, {}};
        octave.zones.push_back(sf2::Zone{}.gen(sf2::COARSE_TUNE, 12));
        octave.zones.back().link = 0;
        bank.presets.push_back(octave);
        written_ = bank.write((folder_.path() / "soundfont6.sf2").string());
        environment_.set("TUNEDECK_RESOURCES", folder_.path().string());
    }

    bool written() const { return written_; }
    std::string folder() const { return folder_.path().string(); }

private:
    testsupport::TestFolder folder_;
    testsupport::ScopedEnvironment environment_;
    bool written_ = false;
};
