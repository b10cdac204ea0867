// SoundFont 2 banks through the library's loader.
#include "fuzz/FuzzInput.h"
#include "sampler/src/bank/korvel_sfloader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    if (korvel_sfont_t* sfont = korvel_defsfloader_load(nullptr, file.path().c_str())) sfont->free(sfont);
    return 0;
}
