// The drum kit: synthesised kick, snare, toms, hats, cymbals and hand percussion on the General MIDI drum keys
// 35 to 81, as samples and one instrument. The open, pedal and closed hi-hats share an exclusive class, so each
// cuts the others off.
//
// Thread contract: pure functions; any thread.
#pragma once

#include "tools/bankgen/ProgramSet.h"

namespace bankgen {

// Appends the kit's samples to set.samples and fills set.drums with one region per key.
void addDrumKit(ProgramSet& set);

} // namespace bankgen
