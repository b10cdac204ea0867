#include "tests/platform/synth/SynthTestBanks.h"

#include <string>

#include "tools/soundbank/dls_writer.h"
#include "tools/soundbank/sf2_writer.h"

namespace synth_test {

namespace {

// 100 points per period at 44000 Hz: 440 Hz.
constexpr int kPeriod = 100;
constexpr int kPeriods = 100;
constexpr uint32_t kRateHz = 44000;
constexpr uint8_t kSineRootKey = 69;
constexpr uint16_t kLoopContinuously = 1;
constexpr uint16_t kKitBank = 128;

const std::vector<SinePreset> kTwoPrograms = {{0, 0, 69}, {0, 1, 57}};

std::string nameOf(const SinePreset& preset) {
    return "sine " + std::to_string(preset.bank) + ":" + std::to_string(preset.program);
}

}  // namespace

bool writeSineSoundFont(const std::filesystem::path& path, const std::vector<SinePreset>& presets) {
    sf2::Bank bank;
    bank.samples.push_back(
        sf2::looped_sample("sine", sf2::sine_wave(kPeriod, kPeriods), kPeriod, kSineRootKey, kRateHz));
    for (const SinePreset& preset : presets) {
        sf2::Zone instrumentZone;
        instrumentZone.link = 0;
        instrumentZone.gen(sf2::SAMPLE_MODES, kLoopContinuously).gen(sf2::OVERRIDING_ROOT_KEY, preset.rootKey);
        sf2::Zone presetZone;
        presetZone.link = static_cast<uint16_t>(bank.instruments.size());
        bank.instruments.push_back({nameOf(preset), {instrumentZone}});
        bank.presets.push_back({nameOf(preset), preset.program, preset.bank, {presetZone}});
    }
    return bank.write(path.string());
}

bool writeSineDLS(const std::filesystem::path& path, const std::vector<SinePreset>& presets) {
    dls::Bank bank;
    dls::Wave wave;
    wave.name = "sine";
    wave.points = sf2::sine_wave(kPeriod, kPeriods);
    wave.rate = kRateHz;
    bank.waves.push_back(wave);
    for (const SinePreset& preset : presets) {
        dls::SampleRecord record;
        record.unity_note = preset.rootKey;
        record.loop = dls::Loop{0, kPeriod, kPeriod * (kPeriods - 1)};
        dls::Region region;
        region.sample = record;
        dls::Instrument instrument;
        instrument.name = nameOf(preset);
        instrument.drums = preset.bank == kKitBank;
        instrument.bank = instrument.drums ? 0 : preset.bank;
        instrument.program = preset.program;
        instrument.regions.push_back(region);
        bank.instruments.push_back(instrument);
    }
    return bank.write(path.string());
}

bool writeSineSoundFont(const std::filesystem::path& path) { return writeSineSoundFont(path, kTwoPrograms); }

bool writeSineDLS(const std::filesystem::path& path) { return writeSineDLS(path, kTwoPrograms); }

}  // namespace synth_test
