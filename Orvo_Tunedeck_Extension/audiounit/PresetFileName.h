#pragma once
// Preset names and file names name one file in the presets folder: a single path component, never "." or "..".

#include <string_view>

// Pure; any thread.
constexpr bool isPresetFileName(std::string_view name) noexcept {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}
