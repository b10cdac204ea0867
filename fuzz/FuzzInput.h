// Helpers of the fuzz harnesses: hand an input to readers that take a file path, keep the readers' report lines on
// standard output out of the way, the synthesizer the MIDI harnesses play into and the bank the seeds start from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sampler/src/synth/korvel_synth.h"
#include "tools/soundbank/sf2_writer.h"

namespace fuzzing {

// An anonymous in-memory file holding the input, reachable by path while the object lives.
class InputFile {
public:
    InputFile(const std::uint8_t* data, std::size_t size);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& path() const { return path_; }

private:
    int fd_;
    std::string path_;
};

// Sends standard output to /dev/null for the rest of the process; sanitizer reports go to standard error.
void silenceStandardOutput();

// A synthesizer on default settings without sound banks, made on the first call and kept for the process. Harnesses
// reset it (korvel_synth_system_reset) after each input, so that one input's notes do not reach into the next.
korvel_synth_t* bareSynth();

// The SoundFont 2 bank that seeds the sound-bank harnesses: one looped saw as preset 0:0 and as drum kit 128:0.
// Loaded first in a process, its records get the identifiers 1, 2, ... in every process alike.
sf2::Bank seedSoundFont2Bank();

// A bank whose instrument and preset have global zones with generators and two different modulators each, besides
// zones of their own: what setting an object from its own text must leave as it was.
sf2::Bank layeredSoundFont2Bank();

}  // namespace fuzzing
