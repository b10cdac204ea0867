#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// Folder locations of the module. Empty until getPaths() sets the first two; nothing sets the shared ones.
// Written without a lock: getPaths() runs once at start-up, before any reader.
extern std::optional<std::filesystem::path> documentsURL;
extern std::optional<std::filesystem::path> resourcesURL;
extern std::optional<std::filesystem::path> sharedURLAudio;
extern std::optional<std::filesystem::path> sharedURLMIDI;

// Fills documentsURL and resourcesURL from foundation::documentsFolder and foundation::resourcesFolder and logs each
// through safeprint: the path, or an ERROR line when it is unknown (the global then stays empty). Main thread, at
// start-up.
void getPaths();

// Makes sure url is a directory, creating missing parents as needed; true on success. If creation fails or a
// non-directory occupies the path, it logs an ERROR line with the reason through debugprint and returns false.
// Any thread except the render thread.
bool ensureDirectoryExists(const std::filesystem::path& url);
// The same for a class that reports it as its own: the ERROR line starts with owner ("Class::").
bool ensureDirectoryExists(const std::filesystem::path& url, std::string_view owner);
