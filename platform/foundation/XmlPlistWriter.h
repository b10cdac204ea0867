#pragma once

#include <cstdint>
#include <vector>

#include "platform/foundation/PlistValue.h"

namespace foundation {

// The XML property-list form of root, tab-indented with the usual header. Text goes out as it is, with &, <, > and
// carriage returns escaped, so text that XML cannot hold (NUL and other control characters, broken UTF-8) makes a
// document that no reader accepts. Dates are written to the whole second (the fraction is dropped) with the year in
// four digits; dates outside kEarliestPlistDate..kLatestPlistDate give a date text that no reader accepts either.
// Any thread except the render thread.
std::vector<std::uint8_t> writeXmlPlist(const PlistValue& root);

}  // namespace foundation
