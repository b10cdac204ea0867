#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/ProgramTableRow.h"

#include <span>

// The GS table: per program number the capital tone at bank 0/0 followed by its variation tones (bank LSB = variation
// number), then nine drum kits at bank 127/127. 235 rows; every name is right-padded with spaces to 12 characters.
// Immutable static data; safe from any thread.
std::span<const ProgramTableRow> gsProgramTable() noexcept;
