#pragma once

#include <array>
#include <cstdint>

// Incoming note-on velocity (0 to 127) -> velocity played. The default is the identity, with entry 0 set to 1; it
// is never read, since a velocity of 0 means note-off.
using VelocityTable = std::array<std::uint8_t, 128>;

constexpr VelocityTable makeDefaultVelocityTable() {
    VelocityTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<std::uint8_t>(i);
    }
    table[0] = 1;
    return table;
}

inline constexpr VelocityTable kDefaultVelocityTable = makeDefaultVelocityTable();
