#include "sampler/src/formats/korvel_aiff_export.h"

#include "sampler/src/formats/korvel_atomic_file.h"
#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#ifndef KORVEL_EXPORT_FOLDER
#define KORVEL_EXPORT_FOLDER "/tmp/korvelsynth-export"
#endif

namespace {

constexpr size_t NAME_SIZE = 1024;

char export_folder[NAME_SIZE] = KORVEL_EXPORT_FOLDER;
int sampleNumber = KORVEL_AIFF_FIRST_NUMBER;
char sampleName[256];
int marker1 = 0;
int marker2 = 0;
int sampleLen = 0;
float len = 0;
float* left = nullptr;
float* right = nullptr;
int mono = 0;

// Joins three parts into out; false (nothing usable) when the result would not fit.
bool join(char (&out)[NAME_SIZE], const char* a, const char* b, const char* c)
{
    const int n = std::snprintf(out, NAME_SIZE, "%s%s%s", a, b, c);
    return n >= 0 && static_cast<size_t>(n) < NAME_SIZE;
}

// Opens a file for reading and takes its format and first two markers. Null with the message on failure.
AIFF_Handle* open_and_examine(const char* path, uint64_t* frames, int* channels, int* bits, bool warn_extra)
{
    marker1 = marker2 = sampleLen = 0;
    AIFF_Handle* file = AIFF_OpenFile(path, F_RDONLY);
    if (file == nullptr) {
        std::printf("ERROR: File '%s' could not be opened.\n", path != nullptr ? path : "");
        return nullptr;
    }
    double rate = 0;
    int bytes = 0;
    if (AIFF_GetAudioFormat(file, frames, channels, &rate, bits, &bytes) < 1) {
        std::printf("ERROR: The audio format could not be read.");
        AIFF_CloseFile(file);
        return nullptr;
    }
    sampleLen = static_cast<int>(*frames);
    int id = 0;
    uint64_t position = 0;
    if (AIFF_ReadMarker(file, &id, &position, nullptr) == 1) {
        marker1 = static_cast<int>(position);
        if (AIFF_ReadMarker(file, &id, &position, nullptr) == 1) {
            marker2 = static_cast<int>(position);
            if (warn_extra) {
                std::printf("WARNING: Unsupported additional markers in audio file. Ignoring.");
            }
        }
    }
    return file;
}

// Writes n values of channel (0 left, 1 right) of an interleaved stereo buffer as raw points.
template <typename In, typename Out, typename Convert>
bool write_channel(const char* path, const In* data, size_t frames, int channel, Convert convert)
{
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        return false;
    }
    bool ok = true;
    for (size_t i = 0; i < frames && ok; i++) {
        const Out v = convert(data[2 * i + static_cast<size_t>(channel)]);
        ok = std::fwrite(&v, sizeof v, 1, out) == 1;
    }
    return std::fclose(out) == 0 && ok;
}

template <typename In, typename Out, typename Convert>
int split(const char* left_path, const char* right_path, const In* data, size_t frames, Convert convert)
{
    if (!write_channel<In, Out>(left_path, data, frames, 0, convert)) {
        std::printf("ERROR: The file for left channel could not be opened.");
        return -1;
    }
    return write_channel<In, Out>(right_path, data, frames, 1, convert) ? 0 : -1;
}

// Values beyond full scale clip; NaN, which has no level, becomes silence.
int16_t float_to_short(float v)
{
    if (!(v == v)) {
        return 0;
    }
    const float scaled = v * 32767.0f;
    if (scaled >= 32767.0f) {
        return 32767;
    }
    if (scaled <= -32768.0f) {
        return -32768;
    }
    return static_cast<int16_t>(scaled);
}

float short_to_float(int16_t v)
{
    return static_cast<float>(v) / 32767.0f;
}

// Writes the AIFF file into the temporary file: 0, or -1 when any step fails.
int write_aiff(korvel_atomic::temporary& temp, const void* samples, int count, int channels, int bits, int loop_start,
               int loop_end, float rate)
{
    AIFF_Handle* file = AIFF_OpenFile(temp.path, F_WRONLY);
    if (file == nullptr) {
        return -1;
    }
    if (AIFF_SetAudioFormat(file, channels, rate, bits) != 1) {
        AIFF_CloseFile(file);
        return -1;
    }
    if (AIFF_StartWritingSamples(file) == 1) {
        const size_t bytes = static_cast<size_t>(count < 0 ? 0 : count) * static_cast<size_t>((bits + 7) / 8);
        if (AIFF_WriteSamples(file, samples, bytes) != 1 || AIFF_EndWritingSamples(file) != 1) {
            AIFF_CloseFile(file);
            return -1;
        }
    }
    if (loop_start != -1 && loop_end > loop_start) {
        marker1 = loop_start;
        marker2 = loop_end;
        bool ok = AIFF_StartWritingMarkers(file) == 1 &&
                  AIFF_WriteMarker(file, static_cast<uint64_t>(loop_start), "loop begin") == 1;
        ok = ok && AIFF_WriteMarker(file, static_cast<uint64_t>(loop_end), "loop end") == 1 &&
             AIFF_EndWritingMarkers(file) == 1;
        if (!ok) {
            std::printf("ERROR: Could not set loop markers!.");
        }
    }
    return AIFF_CloseFile(file) == 1 ? 0 : -1;
}

} // namespace

extern "C" {

int korvel_aiff_export_set_folder(const char* folder)
{
    if (folder == nullptr || std::strlen(folder) >= NAME_SIZE) {
        return -1;
    }
    std::snprintf(export_folder, NAME_SIZE, "%s", folder);
    return 0;
}

const char* korvel_aiff_export_folder(void)
{
    return export_folder;
}

int korvel_sample_export_sfont(korvel_sample_t* sample)
{
    std::printf("%s\n", export_folder);
    if (sample == nullptr || sample->data == nullptr) {
        return 0;
    }
    if (!sample->valid) {
        korvel_log(KORVEL_WARN, "Sample '%s' is not valid and is not exported",
                   sample->name != nullptr ? sample->name : "");
        return 0;
    }
    // A file sample's play end lies behind its last point, a SoundFont 2 sample's play end is its last point; neither
    // is read beyond the points its block holds.
    const bool file = sample->tsource == KORVEL_SAMPLE_FILE;
    const long long points = file ? sample->size : sample->data_points;
    const long long end = std::min<long long>(file ? sample->pend : sample->pend + 1LL, points);
    const long long start = sample->pstart;
    if (end <= start) {
        return 0;
    }
    const long long loop_start = static_cast<long long>(sample->lstart) - start;
    const long long loop_end = static_cast<long long>(sample->lend) - start;
    char folder[NAME_SIZE];
    if (!join(folder, export_folder, "/S", "")) {
        korvel_log(KORVEL_ERR, "Sample export: the folder '%s' is too long", export_folder);
        return -1;
    }
    korvel_atomic::temporary temp;
    if (!korvel_atomic::begin_new(folder, "export.aif", temp)) {
        korvel_log(KORVEL_ERR, "Sample export into '%s' failed: %s", folder, std::strerror(errno));
        return -1;
    }
    if (write_aiff(temp, sample->data + start, static_cast<int>(end - start), 1, 16, static_cast<int>(loop_start),
                   static_cast<int>(loop_end), static_cast<float>(sample->rate)) != 0) {
        korvel_log(KORVEL_ERR, "Sample export into '%s' failed: %s", folder, std::strerror(errno));
        korvel_atomic::abandon(temp);
        return -1;
    }
    // The next number whose file does not exist yet: files of an earlier run, or of another program, stay.
    while (true) {
        std::snprintf(sampleName, sizeof sampleName, "%d", sampleNumber);
        sampleNumber++;
        std::printf("%s/%s\n", export_folder, sampleName);
        char name[sizeof sampleName + 4];
        std::snprintf(name, sizeof name, "%s.aif", sampleName);
        const int error = korvel_atomic::commit_new(temp, name);
        if (error == 0) {
            return 0;
        }
        if (error != EEXIST) {
            korvel_log(KORVEL_ERR, "Sample export to '%s/%s' failed: %s", folder, name, std::strerror(error));
            return -1;
        }
    }
}

int convert2Aiff(const char* path, const void* samples, int count, int channels, int bits, int loop_start,
                 int loop_end, float rate)
{
    korvel_atomic::temporary temp;
    if (!korvel_atomic::begin(path, temp)) {
        korvel_log(KORVEL_ERR, "AIFF file '%s' cannot be created: %s", path != nullptr ? path : "",
                   korvel_atomic::begin_failure(temp, errno));
        return -1;
    }
    const int result = write_aiff(temp, samples, count, channels, bits, loop_start, loop_end, rate);
    if (result != 0) {
        korvel_log(KORVEL_ERR, "AIFF file '%s' could not be written", path);
        korvel_atomic::abandon(temp);
        return result;
    }
    if (const int error = korvel_atomic::commit(temp); error != 0) {
        korvel_log(KORVEL_ERR, "AIFF file '%s' could not be written: %s", path, std::strerror(error));
        return -1;
    }
    return 0;
}

int setMarkers(AIFF_Handle* file, int begin, int end)
{
    if (file == nullptr) {
        return -1;
    }
    marker1 = begin;
    marker2 = end;
    if (AIFF_StartWritingMarkers(file) != 1) {
        return -1;
    }
    const int first = AIFF_WriteMarker(file, static_cast<uint64_t>(begin), "loop begin");
    if (first != 1) {
        return first;
    }
    AIFF_WriteMarker(file, static_cast<uint64_t>(end), "loop end");
    return AIFF_EndWritingMarkers(file) == 1 ? 0 : -1;
}

int convert2Aiff2(void)
{
    return 0;
}

int convertToMonoFiles(const char* aiff_path, const char* folder, const char* name, int bits)
{
    uint64_t frames = 0;
    int channels = 0;
    int sample_bits = 0;
    AIFF_Handle* file = open_and_examine(aiff_path, &frames, &channels, &sample_bits, false);
    if (file == nullptr) {
        return -1;
    }
    char left_path[NAME_SIZE];
    char right_path[NAME_SIZE];
    if (channels != 2) {
        std::printf("ERROR: The channel count of the file is not supported.");
        AIFF_CloseFile(file);
        return -1;
    }
    if (folder == nullptr || name == nullptr || !join(left_path, folder, name, " (L).pcm") ||
        !join(right_path, folder, name, " (R).pcm")) {
        std::printf("ERROR: The file for left channel could not be opened.");
        AIFF_CloseFile(file);
        return -1;
    }
    const size_t count = 2 * static_cast<size_t>(frames);
    int result = 0;
    if (sample_bits == 32) {
        auto* data = new (std::nothrow) float[count + 1];
        if (data == nullptr) {
            std::printf("ERROR: Could not allocate sample buffer.");
            result = -1;
        } else if (static_cast<size_t>(AIFF_ReadSamplesFloat(file, data, static_cast<int>(count))) != count) {
            std::printf("ERROR: The file could not be read completely.");
            result = -1;
        } else if (bits == 32) {
            result = split<float, float>(left_path, right_path, data, frames, [](float v) { return v; });
        } else {
            result = split<float, int16_t>(left_path, right_path, data, frames, float_to_short);
        }
        delete[] data;
    } else if (sample_bits == 16) {
        auto* data = new (std::nothrow) int16_t[count + 1];
        if (data == nullptr) {
            std::printf("ERROR: Could not allocate sample buffer.");
            result = -1;
        } else if (static_cast<size_t>(AIFF_ReadSamples(file, data, count * 2)) != count * 2) {
            std::printf("ERROR: The file could not be read completely.");
            result = -1;
        } else if (bits == 16) {
            result = split<int16_t, int16_t>(left_path, right_path, data, frames, [](int16_t v) { return v; });
        } else {
            result = split<int16_t, float>(left_path, right_path, data, frames, short_to_float);
        }
        delete[] data;
    }
    AIFF_CloseFile(file);
    return result;
}

int findMarkers(const char* path)
{
    uint64_t frames = 0;
    int channels = 0;
    int bits = 0;
    AIFF_Handle* file = open_and_examine(path, &frames, &channels, &bits, true);
    if (file == nullptr) {
        return -1;
    }
    AIFF_CloseFile(file);
    return 0;
}

int getMarker1(void)
{
    return marker1;
}

int getMarker2(void)
{
    return marker2;
}

int getSampleLen(void)
{
    return sampleLen;
}

int loadAiffFile(const char* path)
{
    cleanAiffFile();
    sampleLen = 0;
    uint64_t frames = 0;
    int channels = 0;
    int bits = 0;
    AIFF_Handle* file = open_and_examine(path, &frames, &channels, &bits, false);
    if (file == nullptr) {
        return -1;
    }
    const size_t n = static_cast<size_t>(frames);
    bool ok = true;
    if (channels == 2 && (bits == 32 || bits == 16)) {
        auto* data = new (std::nothrow) float[2 * n + 1];
        if (data == nullptr) {
            std::printf(bits == 32 ? "ERROR: TCould not allocate sample buffer." : "ERROR: Could not allocate sample buffer.");
            ok = false;
        } else {
            int got = 0;
            if (bits == 32) {
                got = AIFF_ReadSamplesFloat(file, data, static_cast<int>(2 * n));
            } else {
                auto* shorts = new (std::nothrow) int16_t[2 * n + 1];
                got = shorts != nullptr ? AIFF_ReadSamples(file, shorts, 4 * n) / 2 : -1;
                for (int i = 0; i < got; i++) {
                    data[i] = short_to_float(shorts[i]);
                }
                delete[] shorts;
            }
            if (got < 0 || static_cast<size_t>(got) != 2 * n) {
                std::printf("ERROR: The file could not be read completely.");
                ok = false;
            } else {
                left = new (std::nothrow) float[n + 1];
                right = new (std::nothrow) float[n + 1];
                if (left == nullptr || right == nullptr) {
                    std::printf(left == nullptr ? "ERROR: Could not allocate left buffer."
                                                : "ERROR: Could not allocate right buffer.");
                    ok = false;
                } else {
                    for (size_t i = 0; i < n; i++) {
                        left[i] = data[2 * i];
                        right[i] = data[2 * i + 1];
                    }
                    len = static_cast<float>(n);
                }
            }
            delete[] data;
        }
    } else if (channels == 1 && bits == 16) {
        auto* shorts = new (std::nothrow) int16_t[n + 1];
        left = new (std::nothrow) float[n + 1];
        if (shorts == nullptr || left == nullptr) {
            std::printf("ERROR: Could not allocate sample buffer.");
            ok = false;
        } else if (static_cast<size_t>(AIFF_ReadSamples(file, shorts, 2 * n)) != 2 * n) {
            std::printf("ERROR: The file could not be read completely.");
            ok = false;
        } else {
            for (size_t i = 0; i < n; i++) {
                left[i] = short_to_float(shorts[i]);
            }
            len = static_cast<float>(n);
        }
        delete[] shorts;
    }
    AIFF_CloseFile(file);
    if (!ok) {
        cleanAiffFile();
        return -1;
    }
    return sampleLen;
}

int getAiffFileSize(void)
{
    return static_cast<int>(len);
}

float* getAiffFileLeft(void)
{
    return left;
}

float* getAiffFileRight(void)
{
    return right;
}

void cleanAiffFile(void)
{
    delete[] left;
    delete[] right;
    left = nullptr;
    right = nullptr;
    len = 0;
    mono = 0;
}

} // extern "C"
