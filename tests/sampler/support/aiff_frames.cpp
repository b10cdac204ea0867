#include "tests/sampler/support/aiff_frames.h"

#include "sampler/src/formats/korvel_aiff.h"

#include <cstdint>
#include <vector>

namespace korvel_test {

long long whole_aiff_frames(const std::string& path)
{
    AIFF_Handle* file = AIFF_OpenFile(path.c_str(), F_RDONLY);
    if (file == nullptr) {
        return -1;
    }
    uint64_t frames = 0;
    int channels = 0;
    int bits = 0;
    int bytes = 0;
    double rate = 0;
    AIFF_GetAudioFormat(file, &frames, &channels, &rate, &bits, &bytes);
    std::vector<unsigned char> data(frames * static_cast<uint64_t>(channels * bytes) + 1);
    const int read = AIFF_ReadSamples(file, data.data(), data.size());
    AIFF_CloseFile(file);
    const bool whole = static_cast<uint64_t>(read) == frames * static_cast<uint64_t>(channels * bytes);
    return whole ? static_cast<long long>(frames) : -1;
}

}  // namespace korvel_test
