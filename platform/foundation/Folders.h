#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace foundation {

// Deliverable names; each has a documents folder of its own.
inline constexpr std::string_view kExtensionDeliverable = "Orvo-Tunedeck2-Extension";
inline constexpr std::string_view kApplicationDeliverable = "Orvo-Tunedeck2";

// The resources folder: $TUNEDECK_RESOURCES when set, otherwise the resources folder of the build tree. nullopt when
// that is no existing folder. Any thread except the render thread.
std::optional<std::filesystem::path> resourcesFolder();

// The documents folder of deliverable: $TUNEDECK_DOCUMENTS when set, otherwise $XDG_DATA_HOME/<deliverable>/Documents
// (XDG_DATA_HOME defaulting to $HOME/.local/share). nullopt when no location is known. The folder need not exist.
// Any thread except the render thread.
std::optional<std::filesystem::path> documentsFolder(std::string_view deliverable);

// The folder that holds the user-defaults files: $XDG_CONFIG_HOME/OrvoTunedeck (XDG_CONFIG_HOME defaulting to
// $HOME/.config). nullopt when no location is known. The folder need not exist.
std::optional<std::filesystem::path> defaultsFolder();

}  // namespace foundation
