// Pattern-sequence files through the pattern sequence's loader.
#include "fuzz/FuzzInput.h"
#include "shared/patterns/MIDIPatternSequence.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    MIDIPatternSequence::create()->loadFromFile(file.path());
    return 0;
}
