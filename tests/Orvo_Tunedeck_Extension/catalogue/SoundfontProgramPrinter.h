#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/SoundfontProgram.h"

#include <ostream>

// Shows a row in failure messages as number,msb,lsb,"name" (the quotes make padding visible).
inline void PrintTo(const SoundfontProgram& row, std::ostream* out)
{
    *out << int(row.number) << "," << int(row.bankMsb) << "," << int(row.bankLsb) << ",\"" << row.name << "\"";
}
