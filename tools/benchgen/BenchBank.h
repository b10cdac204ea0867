// The bench bank: the large sound set's programs reshaped the way published General MIDI banks are built, so that
// a speed measurement meets what such banks ask of a renderer: a low-pass filter closed on nearly every zone and
// swept by the modulation envelope, a second detuned layer on many programs, and releases of 3 to 10 seconds on
// pads, ensembles and drum kits.
//
// Thread contract: pure functions; any thread.
#pragma once

#include "tools/bankgen/BankLayout.h"
#include "tools/bankgen/ProgramSet.h"

namespace benchgen {

// "bench.sf2": SoundFont 2, General MIDI layout, the large set's voicing.
const bankgen::BankFile& benchBankFile();

// The large set's programs with the changes above.
bankgen::ProgramSet buildBenchSet();

} // namespace benchgen
