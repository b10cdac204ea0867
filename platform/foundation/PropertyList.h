#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/foundation/PlistValue.h"

namespace foundation {

enum class PlistFormat { xml, binary };

// "xml" or "binary", for log lines.
const char* plistFormatName(PlistFormat format);

struct PlistDocument {
    PlistValue root;
    PlistFormat format;  // the form the bytes were in
};

// Reads a property list in XML or binary form, telling the two apart by content. Malformed input (also empty input,
// a dictionary key without value, a date outside the years 1 to 9999, or nesting deeper than 512 levels) gives
// nullopt and a description in error.
// Any thread except the render thread.
std::optional<PlistDocument> readPlist(std::span<const std::uint8_t> bytes, std::string& error);

// The XML form of root; empty when the XML form cannot carry root (the values writePlistFile refuses).
// Any thread except the render thread.
std::vector<std::uint8_t> plistToXml(const PlistValue& root);

// File forms of the two above. Writing is atomic (XML form): the file either keeps its old content or gets the whole
// new one. Values that the XML form cannot carry (strings with NUL or other control characters except tab, line feed
// and carriage return, or broken UTF-8; dates with a fraction of a second) are refused and leave the
// file as it was. Failures give nullopt or false and a description in error.
std::optional<PlistDocument> readPlistFile(const std::filesystem::path& path, std::string& error);
bool writePlistFile(const std::filesystem::path& path, const PlistValue& root, std::string& error);

}  // namespace foundation
