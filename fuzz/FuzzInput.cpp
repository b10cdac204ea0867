#include "fuzz/FuzzInput.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

#include "sampler/src/sys/korvel_settings.h"

namespace fuzzing {

InputFile::InputFile(const std::uint8_t* data, std::size_t size) : fd_(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
    std::size_t written = 0;
    while (fd_ >= 0 && written < size) {
        const ssize_t n = ::write(fd_, data + written, size - written);
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void silenceStandardOutput() {
    std::fflush(stdout);
    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink >= 0) {
        ::dup2(sink, STDOUT_FILENO);
        ::close(sink);
    }
}

korvel_synth_t* bareSynth() {
    static korvel_synth_t* const synth = new_korvel_synth(new_korvel_settings());
    return synth;
}

sf2::Bank seedSoundFont2Bank() {
    sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("saw", sf2::saw_wave(50, 4), 50, 60, 44100));
    bank.presets.push_back({"kit", 0, 128, bank.presets[0].zones});
    return bank;
}

sf2::Bank layeredSoundFont2Bank() {
    sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("sine", sf2::sine_wave(64, 8), 64, 60));
    const sf2::Zone global = sf2::Zone{}
                                 .gen(sf2::PAN, 100)
                                 .gen(sf2::ATTENUATION, 100)
                                 .mod({sf2::mod_source(1, true, false, false, 0), 8, -1200, 0, 0})
                                 .mod({sf2::mod_source(2, false, true, false, 1), 48, 480, 0, 0});
    bank.instruments[0].zones.insert(bank.instruments[0].zones.begin(), global);
    bank.instruments[0].zones[1].gen(sf2::COARSE_TUNE, 2).mod(
        {sf2::mod_source(7, true, false, false, 0), 48, 300, 0, 0});
    bank.presets[0].zones.insert(bank.presets[0].zones.begin(), global);
    return bank;
}

}  // namespace fuzzing
