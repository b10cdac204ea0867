// AIFF and AIFF-C files through the library's readers: load into float buffers, split into raw channel files, and
// read the markers.
#include <filesystem>
#include <unistd.h>

#include "fuzz/FuzzInput.h"
#include "sampler/src/formats/korvel_aiff_export.h"

namespace {
std::string scratchFolder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::silenceStandardOutput();
    scratchFolder = (std::filesystem::temp_directory_path() / ("aiff-fuzz-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(scratchFolder);
    scratchFolder += "/";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::InputFile file(data, size);
    loadAiffFile(file.path().c_str());
    cleanAiffFile();
    findMarkers(file.path().c_str());
    convertToMonoFiles(file.path().c_str(), scratchFolder.c_str(), "split", 16);
    convertToMonoFiles(file.path().c_str(), scratchFolder.c_str(), "split", 32);
    return 0;
}
