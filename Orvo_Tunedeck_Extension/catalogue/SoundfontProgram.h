#pragma once

#include <cstdint>
#include <string>

// One row of the program catalogue: a program the loaded sound bank offers, addressed by bank select and program
// change. A plain value, copied wherever it goes.
struct SoundfontProgram {
    std::uint8_t number = 0;   // program change data byte, 0 to 127
    std::uint8_t bankMsb = 0;  // controller 0
    std::uint8_t bankLsb = 0;  // controller 32; some drum kits are filed at 128, which is kept as is
    std::string name;          // verbatim from the bank, padding and "*"/"?" prefixes included

    friend bool operator==(const SoundfontProgram&, const SoundfontProgram&) = default;
};
