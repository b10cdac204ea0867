#pragma once

#include <cstdint>
#include <string>

namespace foundation {

// A byte count as a file browser shows it, in decimal units (1 KB = 1000 bytes): "Zero KB", "1 byte", "999 bytes",
// then KB with no decimals, MB with up to one and GB, TB, PB and EB with up to two, trailing zeros dropped ("1 KB",
// "12 KB", "1.5 MB", "2 GB", "1.25 GB"). A value that rounds up to 1000 of its unit moves to the next unit
// ("1 MB" for 999,999 bytes). Negative counts keep their sign ("-5 bytes"). Any thread except the render thread.
std::string byteCountText(std::int64_t bytes);

}  // namespace foundation
