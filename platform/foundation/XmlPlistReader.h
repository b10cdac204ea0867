#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/foundation/PlistValue.h"

namespace foundation {

// Reads the XML property-list form strictly: one value (inside <plist> or bare), dictionaries of key and value pairs,
// integers and reals that are whole numbers of their kind, dates as "YYYY-MM-DDTHH:MM:SSZ", data as base64.
// Anything else (unknown elements, a key without value, text between elements, entity declarations, more than one
// value, nesting deeper than maximumDepth) is refused with a description and line number in error.
// Any thread except the render thread.
std::optional<PlistValue> readXmlPlist(std::span<const std::uint8_t> bytes, int maximumDepth, std::string& error);

}  // namespace foundation
