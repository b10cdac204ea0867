#pragma once

#include <array>
#include <cstdint>

// The note-on velocity map, indexed by the incoming velocity (0 to 127). The default maps every velocity to itself,
// except entry 0, which reads 1 (velocity 0 is a note-off and is never looked up).
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
