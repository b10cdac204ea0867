#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace foundation {

// Whole-file helpers on std::filesystem paths. None changes the working directory. Failures give nullopt or false
// and a description in error (the system's message and the path). Any thread except the render thread.

std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path, std::string& error);

// Writes bytes to a temporary file in the same folder, flushes it to disk and renames it over path, so that path
// holds either its old content or all of bytes. The folder must exist.
bool writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace foundation
