// The variation tones of the GS and XG tables: each a voicing of its program's instrument on the same samples,
// chosen by what its name says (detuned, octave, wide, bright, dark, slow, short), otherwise by its bank number.
// A variation is a set of changes added to every region of the program, once per layer, so that a SoundFont 2
// bank can carry it as preset generators on the program's own instrument.
//
// Thread contract: pure functions; any thread.
#pragma once

#include "tools/bankgen/ProgramSet.h"

#include <cstdint>
#include <string_view>

namespace bankgen {

VariationChanges variationChanges(const GeneratedInstrument& base, std::string_view name, std::uint16_t bank);

// The program's regions with the changes added, once per layer.
GeneratedInstrument withChanges(const GeneratedInstrument& base, const VariationChanges& changes,
                                std::string_view name);

} // namespace bankgen
