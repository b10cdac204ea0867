#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/ProgramTableRow.h"

#include <span>

// The General MIDI table: programs 0 to 127 at bank 0/0, then nine drum kits at bank 0/128. 137 rows.
// Immutable static data; safe from any thread.
std::span<const ProgramTableRow> generalMidiProgramTable() noexcept;
