#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/ProgramTableRow.h"

#include <span>

// The XG table: all rows at bank MSB 0, ordered by bank LSB and then program number; voices, sound-effect voices
// (LSB 125), sound-effect kits (126), drum kits (127) and GS-compatible drum kits (128). 482 rows.
// Immutable static data; safe from any thread.
std::span<const ProgramTableRow> xgProgramTable() noexcept;
