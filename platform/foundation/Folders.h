#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace foundation {

// Deliverable names; each has a documents folder of its own.
inline constexpr std::string_view kExtensionDeliverable = "Orvo-Tunedeck2-Extension";
inline constexpr std::string_view kApplicationDeliverable = "Orvo-Tunedeck2";

// The resources folder: $TUNEDECK_RESOURCES when set, otherwise the installed one beside the running program
// (../share/Orvo-Tunedeck2/resources from its folder) or, for a program of the build tree, the build tree's.
// nullopt when that is no existing folder. Any thread except the render thread.
std::optional<std::filesystem::path> resourcesFolder();

// The folder of the audio modules (the instrument module) for the running program, found as the resources folder is
// (../lib/Orvo-Tunedeck2/AudioModules from an installed program's folder). It need not exist. Any thread except the
// render thread.
std::filesystem::path audioModulesFolder();

// The folder of one of the product's parts for the running program: installedRelative from the program's folder
// when that exists, else builtFolder for a program of the build tree (locateProductFolder). Any thread except the
// render thread.
std::filesystem::path productFolder(const std::filesystem::path& installedRelative,
                                    const std::filesystem::path& builtFolder);

// Where a program finds one of the product's folders: installedRelative taken from the program's folder when that
// exists there; otherwise builtFolder when the program lies inside buildTree; otherwise the installed place, which
// then does not exist. Paths are compared as they are given.
std::filesystem::path locateProductFolder(const std::filesystem::path& programFile,
                                          const std::filesystem::path& installedRelative,
                                          const std::filesystem::path& buildTree,
                                          const std::filesystem::path& builtFolder);

// The documents folder of deliverable: $TUNEDECK_DOCUMENTS when set, otherwise $XDG_DATA_HOME/<deliverable>/Documents
// (XDG_DATA_HOME defaulting to $HOME/.local/share). nullopt when no location is known. The folder need not exist.
// Any thread except the render thread.
std::optional<std::filesystem::path> documentsFolder(std::string_view deliverable);

// The folder that holds the user-defaults files: $XDG_CONFIG_HOME/OrvoTunedeck (XDG_CONFIG_HOME defaulting to
// $HOME/.config). nullopt when no location is known. The folder need not exist.
std::optional<std::filesystem::path> defaultsFolder();

}  // namespace foundation
