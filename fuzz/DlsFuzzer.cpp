// DLS banks through the host's bank loader (which tells DLS from SoundFont 2 by content).
#include "fuzz/FuzzInput.h"
#include "platform/synth/SoundBankFile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    synth::loadSoundBank(file.path());
    return 0;
}
