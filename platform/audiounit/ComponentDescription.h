#pragma once

#include <cstdint>

// A four-character code: the first character in the most significant byte ('aumu' is 0x61756D75).
using OSType = std::uint32_t;

// Identifies a kind of audio unit: what it is (instrument, effect, ...), which one, and who makes it. A search treats
// a zero type, subtype or manufacturer as "any". Five 32-bit fields in this order, 20 bytes, no padding.
//
// Plain data; any thread.
struct AudioComponentDescription {
    OSType componentType = 0;
    OSType componentSubType = 0;
    OSType componentManufacturer = 0;
    std::uint32_t componentFlags = 0;
    std::uint32_t componentFlagsMask = 0;
};
