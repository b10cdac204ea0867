#include "Orvo_Tunedeck/app/RenderTargetChecks.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cmath>
#include <cstdio>
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
    const std::string size = foundation::byteCountText(static_cast<int64_t>(bytes)) + " for " +
                             durationText(seconds) + " of sound";
    struct statvfs space {};
    if (::fstatvfs(descriptor, &space) == 0 && uint64_t{space.f_bavail} * space.f_frsize < bytes) {
        error = "'" + request.wavFile.string() + "' would take " + size + ", but only " +
                foundation::byteCountText(static_cast<int64_t>(uint64_t{space.f_bavail} * space.f_frsize)) +
                " are free there";
        return false;
    }
    if (seconds > kLongRenderSeconds)
        reportWarning("'" + request.midiFile.string() + "' is long: its render writes " + size + " into '" +
                      request.wavFile.string() + "'");
    return true;
}
