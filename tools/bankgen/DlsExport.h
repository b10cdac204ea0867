// The program set as a DLS bank laid out by a preset layout: one DLS instrument per preset slot, each carrying the
// regions and articulation of its program (or of the drum kit), all sharing one wave pool.
//
// Thread contract: pure function; any thread.
#pragma once

#include "tools/bankgen/BankLayout.h"
#include "tools/bankgen/ProgramSet.h"
#include "tools/soundbank/dls_writer.h"

#include <span>
#include <string>

namespace bankgen {

dls::Bank toDls(const ProgramSet& set, std::span<const PresetSlot> layout, const std::string& bankName);

} // namespace bankgen
