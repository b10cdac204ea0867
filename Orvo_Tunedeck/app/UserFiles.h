#pragma once
// Files the user names: read whole, or checked before the program starts working with them, each failure told as
// one readable reason (missing, a folder, unreadable, empty, too large).
//
// Threads: any thread except the render thread.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Reads the whole of file into bytes; false with the reason in error. A file of more than byteLimit bytes is refused
// before its content is read (one that grows past the limit while being read, too).
bool readWholeFile(const std::filesystem::path& file, std::uint64_t byteLimit, std::vector<uint8_t>& bytes,
                   std::string& error);
// Whether file is a file that can be opened for reading and is not empty; false with the reason in error.
bool checkReadableFile(const std::filesystem::path& file, std::string& error);
