#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/foundation/PlistValue.h"

namespace foundation {

// Reads the binary property-list form ("bplist00"). Refuses, with a description in error, anything that is cut,
// points outside the file, refers to itself, nests deeper than maximumDepth, holds types a property list of ours
// cannot (null, UIDs, sets) or a date outside kEarliestPlistDate..kLatestPlistDate (NaN and infinities included).
// Any thread except the render thread.
std::optional<PlistValue> readBinaryPlist(std::span<const std::uint8_t> bytes, int maximumDepth, std::string& error);

}  // namespace foundation
