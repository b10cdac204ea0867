#include "shared/audiounitmidisynth/SoundBankResource.h"

#include <string>

#include "platform/foundation/Folders.h"

std::filesystem::path soundBankFile(const SoundBankResource& resource) {
    const std::filesystem::path name = std::string(resource.name) + "." + std::string(resource.extension);
    const auto folder = foundation::resourcesFolder();
    return folder ? *folder / name : name;
}

std::optional<std::filesystem::path> soundBankURL(const SoundBankResource& resource) {
    if (!foundation::resourcesFolder()) return std::nullopt;
    std::filesystem::path file = soundBankFile(resource);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    return file;
}
