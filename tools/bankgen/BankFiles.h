// Writes one bank file of the program set, in its format and layout.
//
// Thread contract: any thread; writes only the named file (and a ".part" file beside it).
#pragma once

#include "tools/bankgen/BankLayout.h"
#include "tools/bankgen/ProgramSet.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace bankgen {

// The file's bytes.
std::vector<std::uint8_t> bankFileBytes(const ProgramSet& set, const BankFile& file);

// Writes the file into folder under its name, through a ".part" file renamed into place, so that a failed run
// leaves no half file. False when it cannot be written.
bool writeBankFile(const ProgramSet& set, const BankFile& file, const std::filesystem::path& folder);

} // namespace bankgen
