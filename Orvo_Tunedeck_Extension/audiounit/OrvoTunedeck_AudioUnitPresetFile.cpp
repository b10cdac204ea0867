// Preset files written from the live parameter tree, and the default preset that allocation makes sure of.

#include <filesystem>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "Orvo_Tunedeck_Extension/audiounit/PresetFileName.h"
#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "Orvo_Tunedeck_Extension/presets/PresetPatch.h"
#include "platform/foundation/Folders.h"
#include "shared/globals/Paths.h"
#include "shared/globals/Print.h"

namespace {

constexpr const char* kPresetName = "Orvo Tunedeck Preset";
constexpr std::int64_t kPresetVersion = 1;

}  // namespace

std::filesystem::path OrvoTunedeck_AudioUnit::userPresetsFolder() const {
    const auto documents = foundation::documentsFolder(foundation::kExtensionDeliverable);
    return documents ? *documents / "Presets" : std::filesystem::path{};
}

void OrvoTunedeck_AudioUnit::savePresetFile(const std::string& filename) {
    const std::filesystem::path folder = userPresetsFolder();
    if (folder.empty() || !ensureDirectoryExists(folder)) {
        debugprint("OrvoTunedeck_AudioUnit::savePresetFile() : ERROR: The presets folder is not available.");
        return;
    }
    if (!isPresetFileName(filename)) {
        safeprint("OrvoTunedeck_AudioUnit::savePresetFile() : ERROR: '" + filename + "' is no preset file name.");
        return;
    }
    OrvoPreset preset;
    preset.setup(componentDescription(), kPresetVersion, kPresetName);
    preset.makeFrom(parameters_->parameterTree.get());
    if (!preset.patch->saveToFile(folder / filename)) {
        debugprint("OrvoTunedeck_AudioUnit::savePresetFile() : ERROR: The preset " + filename +
                   " could not be written.");
    }
}

void OrvoTunedeck_AudioUnit::saveUserPreset(const std::string& filename) {
    const std::filesystem::path folder = userPresetsFolder();
    if (folder.empty() || !ensureDirectoryExists(folder)) {
        safeprint("OrvoTunedeck_AudioUnit::saveUserPreset() : ERROR: Could not create preset directory.");
        return;
    }
    savePresetFile(filename);
}

void OrvoTunedeck_AudioUnit::ensureDefaultPreset() {
    const std::filesystem::path folder = userPresetsFolder();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::exists(folder / kDefaultPresetName, error)) {
        savePresetFile(kDefaultPresetName);
    }
}
