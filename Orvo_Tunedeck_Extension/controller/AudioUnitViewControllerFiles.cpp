// The start-up selection and the loading of a file into the unit's player.

#include "Orvo_Tunedeck_Extension/controller/AudioUnitViewController.h"

#include "shared/globals/Print.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

bool isSelectableFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".MID";
}

}  // namespace

void AudioUnitViewController::makeFileList() {
    getDirectories();
    const std::filesystem::path folder = resourcesPath + kSelectionFolder;
    std::error_code error;
    std::filesystem::recursive_directory_iterator it(folder, error);
    if (error || resourcesPath.empty()) {
        safeprint("Error: Could not generate a filelist.");
        return;
    }
    std::vector<std::string> entries;
    for (const std::filesystem::recursive_directory_iterator end; it != end; it.increment(error)) {
        if (error) {
            safeprint("Error: Could not generate a filelist.");
            return;
        }
        entries.push_back(it->path().lexically_relative(folder).string());
    }
    filelist = std::move(entries);
}

void AudioUnitViewController::loadSelectedFile() {
    if (filelist.empty()) return;
    // Drawn uniformly among the MIDI files of the list: the same choice as drawing among all entries until one is a
    // MIDI file, without hanging on a selection that holds none.
    std::vector<std::filesystem::path> candidates;
    for (const std::string& entry : filelist) {
        std::filesystem::path url = resourcesPath + kSelectionFolder + entry;
        if (isSelectableFile(url)) candidates.push_back(std::move(url));
    }
    if (candidates.empty()) {
        safeprint("AudioUnitViewController::loadSelectedFile() : WARNING: The selection holds no MIDI file.");
        return;
    }
    const std::filesystem::path& chosen = candidates[randomIndex(candidates.size()) % candidates.size()];
    safeprint(chosen.lexically_relative(resourcesPath + kSelectionFolder).string());
    loadFile(chosen.string());
}

void AudioUnitViewController::loadFile(const std::string& file) {
    if (!audioUnit_) {
        safeprint("WARNING: The Audio unit is not initialized.");
        return;
    }
    audioUnit_->loadMIDIFile(file);
    audioUnit_->startSequencer();
    updatePlayButton();
    if (tunedeckView) {
        tunedeckView->reset();
        tunedeckView->setFileName(std::filesystem::path(file).filename().string());
    }
}
