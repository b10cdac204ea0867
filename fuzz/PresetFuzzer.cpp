// Preset files through the preset document's reader.
#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "Orvo_Tunedeck_Extension/presets/PresetPatch.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    OrvoPreset document;
    document.patch->loadFromFile(file.path());
    return 0;
}
