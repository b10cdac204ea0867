// The program set as a SoundFont 2 bank laid out by a preset layout.
//
// Thread contract: pure function; any thread.
#pragma once

#include "tools/bankgen/BankLayout.h"
#include "tools/bankgen/ProgramSet.h"
#include "tools/soundbank/sf2_writer.h"

#include <span>
#include <string>

namespace bankgen {

// Instruments 0..127 are the melodic programs, then the kits; presets follow the layout's order, variation tones as
// preset generators on their program's instrument.
sf2::Bank toSoundFont2(const ProgramSet& set, std::span<const PresetSlot> layout, const std::string& bankName);

} // namespace bankgen
