// Presets: the listing of the presets folder, the current preset, and reading preset files into the unit.

#include <algorithm>
#include <cctype>
#include <system_error>

#include "Orvo_Tunedeck_Extension/audiounit/OrvoTunedeck_AudioUnit.h"
#include "Orvo_Tunedeck_Extension/audiounit/PresetFileName.h"
#include "Orvo_Tunedeck_Extension/presets/OrvoPreset.h"
#include "Orvo_Tunedeck_Extension/presets/PresetPatch.h"
#include "platform/audiounit/AudioUnitStatusError.h"
#include "shared/globals/Paths.h"
#include "shared/globals/Print.h"

namespace {

constexpr const char* kPresetExtension = ".aupreset";

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool isPresetFile(const std::filesystem::path& path) {
    std::error_code error;
    return lowerCase(path.extension().string()) == kPresetExtension && std::filesystem::is_regular_file(path, error);
}

// Name order without regard to case; names that differ only in case keep their byte order.
bool listedBefore(const std::filesystem::path& left, const std::filesystem::path& right) {
    const std::string a = left.filename().string();
    const std::string b = right.filename().string();
    const std::string lowerA = lowerCase(a);
    const std::string lowerB = lowerCase(b);
    return lowerA != lowerB ? lowerA < lowerB : a < b;
}

}  // namespace

std::vector<AUAudioUnitPreset> OrvoTunedeck_AudioUnit::factoryPresets() {
    const std::filesystem::path folder = userPresetsFolder();
    if (folder.empty() || !ensureDirectoryExists(folder)) {
        return presets_;
    }
    presets_.clear();
    presetFiles_.clear();
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        entries.push_back(entry->path());
    }
    if (error) {
        debugprint("OrvoTunedeck_AudioUnit::factoryPresets : ERROR: Creating factory preset list failed: " +
                   error.message());
        return presets_;
    }
    std::sort(entries.begin(), entries.end(), listedBefore);
    for (std::size_t position = 0; position < entries.size(); ++position) {
        if (isPresetFile(entries[position])) {
            presets_.push_back({static_cast<std::int64_t>(position), entries[position].stem().string()});
            presetFiles_.push_back(entries[position]);
        }
    }
    return presets_;
}

void OrvoTunedeck_AudioUnit::setCurrentPreset(const std::optional<AUAudioUnitPreset>& preset) {
    if (!preset) {
        currentPreset_.reset();
        return;
    }
    OrvoPreset document;
    if (preset->number < 0) {
        try {
            document.patch->fromDictionary(presetStateFor(*preset));
        } catch (const AudioUnitStatusError&) {
            debugprint("OrvoTunedeck_AudioUnit::currentPreset : ERROR: Unable to restore set for preset " +
                       preset->name);
            return;
        }
    } else {
        const auto listed = std::find_if(presets_.begin(), presets_.end(), [&](const AUAudioUnitPreset& entry) {
            return entry.number == preset->number;
        });
        if (listed == presets_.end()) {
            debugprint("OrvoTunedeck_AudioUnit::currentPreset : ERROR: The preset number " +
                       std::to_string(preset->number) + " is invalid.");
            return;
        }
        const std::filesystem::path& file = presetFiles_[static_cast<std::size_t>(listed - presets_.begin())];
        if (document.patch->loadFromFile(file) != foundation::noErr) {
            debugprint("OrvoTunedeck_AudioUnit::currentPreset : ERROR: The preset file '" + file.string() +
                       "' could not be read.");
            return;
        }
    }
    if (!applyPreset(document)) {
        debugprint("OrvoTunedeck_AudioUnit::currentPreset : ERROR: The component description of the preset " +
                   preset->name + " does not match.");
        return;
    }
    currentPreset_ = preset;
}

void OrvoTunedeck_AudioUnit::deleteUserPreset(const AUAudioUnitPreset& preset) {
    AUAudioUnit::deleteUserPreset(preset);
    if (currentPreset_ == preset) {
        currentPreset_.reset();
    }
}

foundation::PlistDictionary OrvoTunedeck_AudioUnit::presetStateFor(const AUAudioUnitPreset& preset) {
    const std::filesystem::path folder = userPresetsFolder();
    const std::string filename = preset.name + kPresetExtension;
    std::error_code error;
    if (folder.empty() || !isPresetFileName(preset.name) || !std::filesystem::exists(folder / filename, error)) {
        debugprint("OrvoTunedeck_AudioUnit::presetState() : ERROR: The preset file '" + filename +
                   "' does not exist.");
        throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidFilePath, "no preset '" + preset.name + "'");
    }
    OrvoPreset document;
    if (document.patch->loadFromFile(folder / filename) != foundation::noErr) {
        throw AudioUnitStatusError(foundation::kAudioUnitErr_InvalidFilePath,
                                   "the preset '" + preset.name + "' could not be read");
    }
    return document.patch->toDictionary();
}

void OrvoTunedeck_AudioUnit::loadFactoryPreset(const std::string& filename) {
    const std::filesystem::path folder = userPresetsFolder();
    if (folder.empty() || !ensureDirectoryExists(folder) || !isPresetFileName(filename)) {
        return;
    }
    OrvoPreset document;
    if (document.patch->loadFromFile(folder / filename) != foundation::noErr) {
        return;
    }
    if (!applyPreset(document)) {
        safeprint("OrvoTunedeck_AudioUnit::loadFactoryPreset() : ERROR: The component description of the loaded "
                  "preset does not match.");
    }
}

bool OrvoTunedeck_AudioUnit::loadUserPreset(const std::string& filename) {
    const std::filesystem::path folder = userPresetsFolder();
    if (folder.empty() || !ensureDirectoryExists(folder)) {
        safeprint("OrvoTunedeck_AudioUnit::loadUserPreset() : ERROR: Could not create preset directory.");
        return false;
    }
    std::error_code error;
    if (!isPresetFileName(filename) || !std::filesystem::exists(folder / filename, error)) {
        safeprint("OrvoTunedeck_AudioUnit::loadUserPreset() : ERROR: The preset does not exist.");
        return false;
    }
    return loadPresetFile(folder / filename);
}

bool OrvoTunedeck_AudioUnit::loadPresetFile(const std::filesystem::path& path) {
    OrvoPreset document;
    if (document.patch->loadFromFile(path) != foundation::noErr) {
        return false;
    }
    if (!applyPreset(document)) {
        safeprint("OrvoTunedeck_AudioUnit::loadPresetFile() : ERROR: The component description of the loaded "
                  "preset does not match.");
        return false;
    }
    updateParameters();
    return true;
}
