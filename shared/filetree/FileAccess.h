// What the file system allows the running process to do with one entry, as the file manager's access tests answer.
#pragma once

#include <filesystem>

// An entry that does not exist allows nothing. Any thread except the render thread.
bool isReadableFile(const std::filesystem::path& path);
bool isWritableFile(const std::filesystem::path& path);
bool isExecutableFile(const std::filesystem::path& path);
// The entry may be removed: its folder is writable and searchable, and where the folder is sticky the process is the
// super-user or owns the entry or the folder.
bool isDeletableFile(const std::filesystem::path& path);
