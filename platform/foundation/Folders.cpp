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

// The running program's file; empty when the kernel does not say.
std::filesystem::path programFile() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

}  // namespace

std::filesystem::path productFolder(const std::filesystem::path& installedRelative,
                                    const std::filesystem::path& builtFolder) {
    // The kernel names the program by its real path; the build tree is compared in the same form.
    std::error_code error;
    const std::filesystem::path buildTree = std::filesystem::weakly_canonical(TUNEDECK_BUILD_DIR, error);
    return locateProductFolder(programFile(), installedRelative, buildTree, builtFolder);
}

std::filesystem::path locateProductFolder(const std::filesystem::path& programFile,
                                          const std::filesystem::path& installedRelative,
                                          const std::filesystem::path& buildTree,
                                          const std::filesystem::path& builtFolder) {
    const std::filesystem::path installed = (programFile.parent_path() / installedRelative).lexically_normal();
    std::error_code error;
    if (std::filesystem::is_directory(installed, error)) return installed;
    const std::filesystem::path inTree = programFile.lexically_relative(buildTree);
    if (!inTree.empty() && *inTree.begin() != "..") return builtFolder;
    return installed;
}

std::optional<std::filesystem::path> resourcesFolder() {
    const std::filesystem::path folder = absolutePathFromEnvironment("TUNEDECK_RESOURCES")
                                             .value_or(productFolder(TUNEDECK_INSTALLED_RESOURCES_DIR,
                                                                           TUNEDECK_BUILD_RESOURCES_DIR));
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return std::nullopt;
    }
    return folder;
}

std::filesystem::path audioModulesFolder() {
    return productFolder(TUNEDECK_INSTALLED_MODULES_DIR, TUNEDECK_BUILD_MODULES_DIR);
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
