#include "platform/foundation/Folders.h"

#include <cstdlib>
#include <string>

namespace foundation {
namespace {

// An environment variable holding an absolute path; relative ones are ignored, as the XDG rules ask.
std::optional<std::filesystem::path> absolutePathFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    std::filesystem::path path = std::filesystem::path(value).lexically_normal();
    if (!path.is_absolute()) {
        return std::nullopt;
    }
    // "/a/b/" names the folder "/a/b"; log lines show it without the separator.
    if (!path.has_filename() && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

std::optional<std::filesystem::path> xdgFolder(const char* variable, const char* homeRelativeDefault) {
    if (auto folder = absolutePathFromEnvironment(variable)) {
        return folder;
    }
    if (auto home = absolutePathFromEnvironment("HOME")) {
        return *home / homeRelativeDefault;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> resourcesFolder() {
    const std::filesystem::path folder =
        absolutePathFromEnvironment("TUNEDECK_RESOURCES").value_or(std::filesystem::path(TUNEDECK_BUILD_RESOURCES_DIR));
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return std::nullopt;
    }
    return folder;
}

std::optional<std::filesystem::path> documentsFolder(std::string_view deliverable) {
    if (auto folder = absolutePathFromEnvironment("TUNEDECK_DOCUMENTS")) {
        return folder;
    }
    if (auto data = xdgFolder("XDG_DATA_HOME", ".local/share")) {
        return *data / std::string(deliverable) / "Documents";
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> defaultsFolder() {
    if (auto config = xdgFolder("XDG_CONFIG_HOME", ".config")) {
        return *config / "OrvoTunedeck";
    }
    return std::nullopt;
}

}  // namespace foundation
