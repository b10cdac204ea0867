#pragma once

#include <filesystem>
#include <optional>

// Folder locations of the module. Empty until getPaths() sets the first two; nothing sets the shared ones.
// Written without a lock: getPaths() runs once at start-up, before any reader.
extern std::optional<std::filesystem::path> documentsURL;
extern std::optional<std::filesystem::path> resourcesURL;
extern std::optional<std::filesystem::path> sharedURLAudio;
extern std::optional<std::filesystem::path> sharedURLMIDI;

// Sets documentsURL to the extension's documents folder and resourcesURL to the resources folder
// (foundation::documentsFolder, foundation::resourcesFolder) and logs each through safeprint, as
// "AudioUnitViewController::getPaths() : Audio Unit's documents path is: <path>" or, when the location is not
// available (the global is then empty), "AudioUnitViewController::getPaths() : ERROR: Audio Unit's documents path is
// nil."; the same for "resources". Main thread, at start-up.
void getPaths();

// True when a directory exists at url, at once; otherwise creates it with its missing parents and returns true. When
// that fails, or a file that is no directory is in the way, logs through debugprint
// "ensureDirectoryExists() : ERROR: Creating required directory '<path>' failed: <reason>" and returns false.
// Any thread except the render thread.
bool ensureDirectoryExists(const std::filesystem::path& url);
