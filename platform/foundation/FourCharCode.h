#pragma once

#include <cstdint>
#include <string>

namespace foundation {

// The four bytes of code, most significant first, decoded as Mac OS Roman into UTF-8 ('aumu' gives "aumu"; 0 gives
// four NUL characters). Every byte value has a character in that encoding, so decoding never fails. Any thread except
// the render thread (allocates).
std::string fourCharCodeText(std::uint32_t code);

}  // namespace foundation
