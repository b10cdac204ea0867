// A bank file of the generated program set, written to a scratch folder and loaded through the library's reader
// of its format into the library's sound-bank model.
#pragma once

#include "sampler/src/bank/korvel_defsfont.h"
#include "tools/bankgen/BankLayout.h"
#include "tools/bankgen/ProgramSet.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace bankgen_test {

// The program set of a file (by its name), built once per test program.
const bankgen::ProgramSet& programSet(const bankgen::BankFile& file);

// Writes the file into the test's scratch folder and returns its path; empty when it cannot be written.
std::string writtenBank(const bankgen::BankFile& file);

// The generator's file entry for a file name; null when it writes no such file.
const bankgen::BankFile* bankFile(std::string_view fileName);

class LoadedBank {
public:
    explicit LoadedBank(const bankgen::BankFile& file);
    ~LoadedBank();
    LoadedBank(const LoadedBank&) = delete;
    LoadedBank& operator=(const LoadedBank&) = delete;

    int result = -1; // the reader's result
    korvel_defsfont_t* bank = nullptr;

    // The preset at exactly this bank and program; null when there is none.
    korvel_defpreset_t* preset(unsigned bankNumber, unsigned program) const;
    std::vector<korvel_defpreset_t*> presets() const;
};

// The instrument of a preset's first zone; null when it has none.
korvel_inst_t* instrumentOf(const korvel_defpreset_t* preset);

// The names of the samples a preset's zones play through all its instruments, in key order: the same for a loaded
// preset and for the set's instrument it was written from.
std::vector<std::string> sampleNames(const korvel_defpreset_t* preset);
std::vector<std::string> sampleNames(const bankgen::ProgramSet& set, const bankgen::GeneratedInstrument& instrument);

// The instrument zones that sound for a key.
std::vector<korvel_inst_zone_t*> zonesForKey(korvel_inst_t* instrument, int key);

} // namespace bankgen_test
