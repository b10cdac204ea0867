#pragma once

#include <cstdint>
#include <string>

// The four-character code of value, most significant byte first, decoded as Mac OS Roman: the value made of the
// letters a, u, m, u gives "aumu", 0 gives four NUL characters. Every byte decodes in that encoding, so the "FAIL"
// answer for undecodable bytes never occurs. Any thread except the render thread.
std::string stringValue(std::uint32_t value);
