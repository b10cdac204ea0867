#include "tests/platform/synth/SynthTestBanks.h"

#include <cstdint>
#include <vector>

#include "tools/soundbank/dls_writer.h"
#include "tools/soundbank/sf2_writer.h"

namespace synth_test {

namespace {

// 100 points per period at 44000 Hz: 440 Hz.
constexpr int kPeriod = 100;
constexpr int kPeriods = 100;
constexpr uint32_t kRateHz = 44000;
constexpr uint8_t kRootKey = 69;
constexpr uint8_t kOctaveLowerRootKey = 57;
constexpr uint16_t kLoopContinuously = 1;

}  // namespace

bool writeSineSoundFont(const std::filesystem::path& path) {
    sf2::Bank bank;
    bank.samples.push_back(
        sf2::looped_sample("sine", sf2::sine_wave(kPeriod, kPeriods), kPeriod, kRootKey, kRateHz));
    for (const uint8_t rootKey : {kRootKey, kOctaveLowerRootKey}) {
        sf2::Zone zone;
        zone.link = 0;
        zone.gen(sf2::SAMPLE_MODES, kLoopContinuously).gen(sf2::OVERRIDING_ROOT_KEY, rootKey);
        bank.instruments.push_back({"sine " + std::to_string(rootKey), {zone}});
    }
    for (uint16_t program = 0; program < 2; ++program) {
        sf2::Zone zone;
        zone.link = program;
        bank.presets.push_back({"sine " + std::to_string(program), program, 0, {zone}});
    }
    return bank.write(path.string());
}

bool writeSineDLS(const std::filesystem::path& path) {
    dls::Bank bank;
    dls::Wave wave;
    wave.name = "sine";
    wave.points = sf2::sine_wave(kPeriod, kPeriods);
    wave.rate = kRateHz;
    bank.waves.push_back(wave);
    for (const uint8_t rootKey : {kRootKey, kOctaveLowerRootKey}) {
        dls::Region region;
        dls::SampleRecord record;
        record.unity_note = rootKey;
        record.loop = dls::Loop{0, kPeriod, kPeriod * (kPeriods - 1)};
        region.sample = record;
        dls::Instrument instrument;
        instrument.name = "sine " + std::to_string(rootKey);
        instrument.program = static_cast<uint32_t>(bank.instruments.size());
        instrument.regions.push_back(region);
        bank.instruments.push_back(instrument);
    }
    return bank.write(path.string());
}

}  // namespace synth_test
