// The preset file written from the live parameter tree, and the default preset that allocation makes sure of.

#include <filesystem>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "Orvo_Tunedeck_Extension/presets/PresetPatch.h"
#include "platform/foundation/Folders.h"
#include "shared/globals/Paths.h"
#include "shared/globals/Print.h"

namespace {

constexpr const char* kPresetsFolder = "Presets";
constexpr const char* kPresetName = "Orvo Tunedeck Preset";
constexpr std::int64_t kPresetVersion = 1;

std::optional<std::filesystem::path> presetsFolder() {
    const auto documents = foundation::documentsFolder(foundation::kExtensionDeliverable);
    if (!documents) {
        return std::nullopt;
    }
    return *documents / kPresetsFolder;
}

}  // namespace

void OrvoTunedeck_AudioUnit::savePresetFile(const std::string& filename) {
    const auto folder = presetsFolder();
    if (!folder || !ensureDirectoryExists(*folder)) {
        debugprint("OrvoTunedeck_AudioUnit::savePresetFile() : ERROR: The presets folder is not available.");
        return;
    }
    OrvoPreset preset;
    preset.setup(componentDescription(), kPresetVersion, kPresetName);
    preset.makeFrom(parameterTree().get());
    if (!preset.patch->saveToFile(*folder / filename)) {
        debugprint("OrvoTunedeck_AudioUnit::savePresetFile() : ERROR: The preset " + filename +
                   " could not be written.");
    }
}

void OrvoTunedeck_AudioUnit::ensureDefaultPreset() {
    const auto folder = presetsFolder();
    if (folder && !std::filesystem::exists(*folder / kDefaultPresetName)) {
        savePresetFile(kDefaultPresetName);
    }
}
