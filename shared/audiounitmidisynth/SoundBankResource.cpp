#include "shared/audiounitmidisynth/SoundBankResource.h"

#include <string>

#include "platform/foundation/Folders.h"

std::optional<std::filesystem::path> soundBankURL(const SoundBankResource& resource) {
    const auto folder = foundation::resourcesFolder();
    if (!folder) return std::nullopt;
    std::filesystem::path file = *folder / (std::string(resource.name) + "." + std::string(resource.extension));
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
    return file;
}
