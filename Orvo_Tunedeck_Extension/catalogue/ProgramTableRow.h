#pragma once

#include <cstdint>
#include <string_view>

// One row of a built-in program table, as compile-time data; the catalogue copies rows into SoundfontProgram values.
struct ProgramTableRow {
    std::uint8_t number;
    std::uint8_t bankMsb;
    std::uint8_t bankLsb;
    std::string_view name;
};
