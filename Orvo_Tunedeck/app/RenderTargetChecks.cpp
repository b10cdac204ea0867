#include "Orvo_Tunedeck/app/RenderTargetChecks.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "platform/foundation/ByteCountText.h"
#include "platform/foundation/Folders.h"
#include "shared/audiounitmidisynth/SoundBankResource.h"

namespace {

// A render of more sound than this is announced before it starts, with its length and the size of its file.
constexpr double kLongRenderSeconds = 3600.0;

// What the render reads, each with what it is to the user.
std::vector<std::pair<std::filesystem::path, std::string>> filesRead(const OfflineRenderRequest& request) {
    std::vector<std::pair<std::filesystem::path, std::string>> files = {{request.midiFile, "the song"}};
    if (request.sound.soundfont) files.emplace_back(*request.sound.soundfont, "the chosen sound bank");
    // The instrument loads the sound sets' banks from the resources folder (a set's own and the default one).
    if (const auto resources = foundation::resourcesFolder())
        for (const auto& [number, bank] : kSoundBanksByNumber)
            files.emplace_back(*resources / (std::string(bank.name) + "." + std::string(bank.extension)),
                               "the bank of a sound set");
    return files;
}

// Hours, minutes and seconds, as "77:40:25".
std::string durationText(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(seconds));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

// A byte count as text; one past what the text takes is shown as the largest it takes.
std::string bytesText(uint64_t bytes) {
    return foundation::byteCountText(
        static_cast<int64_t>(std::min<uint64_t>(bytes, std::numeric_limits<int64_t>::max())));
}

// The bytes free to this user in space; a count past 64 bits (a huge or sparse file system) stays the largest one.
uint64_t freeBytes(const struct statvfs& space) {
    const uint64_t blocks = space.f_bavail;
    const uint64_t blockBytes = space.f_frsize;
    if (blockBytes != 0 && blocks > std::numeric_limits<uint64_t>::max() / blockBytes)
        return std::numeric_limits<uint64_t>::max();
    return blocks * blockBytes;
}

}  // namespace

bool targetIsNoInput(const OfflineRenderRequest& request, std::string& error) {
    struct stat target {};
    if (::stat(request.wavFile.c_str(), &target) != 0) return true;
    for (const auto& [file, what] : filesRead(request)) {
        struct stat input {};
        if (::stat(file.c_str(), &input) == 0 && input.st_dev == target.st_dev && input.st_ino == target.st_ino) {
            error = "'" + request.wavFile.string() + "' is " + what + ", which the render reads: it is not overwritten";
            return false;
        }
    }
    return true;
}

bool checkRenderSize(const OfflineRenderRequest& request, const audioengine::WavFileOutput& wav, int descriptor,
                     int64_t frames, std::string& error) {
    const double seconds = static_cast<double>(frames) / request.sampleRateHz;
    const uint64_t bytes = wav.fileBytesFor(static_cast<uint64_t>(frames));
    const std::string size = bytesText(bytes) + " for " + durationText(seconds) + " of sound";
    struct statvfs space {};
    if (::fstatvfs(descriptor, &space) == 0 && freeBytes(space) < bytes) {
        error = "'" + request.wavFile.string() + "' would take " + size + ", but only " + bytesText(freeBytes(space)) +
                " are free there";
        return false;
    }
    if (seconds > kLongRenderSeconds)
        reportWarning("'" + request.midiFile.string() + "' is long: its render writes " + size + " into '" +
                      request.wavFile.string() + "'");
    return true;
}
