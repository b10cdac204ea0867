// Where the programs of the set sit in each generated bank file: one preset per row of the file's program table
// (General MIDI, GS or XG), all pointing at the set's instruments. Variation tones reuse the instrument of their
// program number; every kit row plays the one drum kit.
//
// Thread contract: immutable tables and pure functions; any thread.
#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/ProgramTableRow.h"
#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bankgen {

// The bank number of drum kits, as the sound-bank model and the drum channel use it.
inline constexpr std::uint16_t kDrumBank = 128;

struct PresetSlot {
    std::uint16_t bank;
    std::uint8_t program;
    std::string name;
    bool drums; // plays the drum kit; otherwise the melodic instrument of `program`
};

enum class BankFormat { soundFont2, dls };

struct BankFile {
    std::string_view fileName;
    BankFormat format;
    ProgramTable table;
};

// The files the sound sets load, each laid out for the table its sound set shows: "soundfont1" is the XG set's
// bank, "soundfont2", "soundfont6" and "soundfont9" are General MIDI, "gs_instruments" and "soundfont7" GS.
inline constexpr std::array<BankFile, 6> kBankFiles{{
    {"gs_instruments.dls", BankFormat::dls, ProgramTable::gs},
    {"soundfont1.sf2", BankFormat::soundFont2, ProgramTable::xg},
    {"soundfont2.sf2", BankFormat::soundFont2, ProgramTable::generalMidi},
    {"soundfont6.sf2", BankFormat::soundFont2, ProgramTable::generalMidi},
    {"soundfont7.sf2", BankFormat::soundFont2, ProgramTable::gs},
    {"soundfont9.sf2", BankFormat::soundFont2, ProgramTable::generalMidi},
}};

std::span<const ProgramTableRow> rowsOf(ProgramTable table);

// The preset a table row selects: kit rows (those preloaded on the rhythm channel) at kDrumBank with the row's
// program; melodic rows at bank 128 x MSB + LSB.
PresetSlot slotForRow(const ProgramTableRow& row);

// One slot per distinct (bank, program) of the table, named after its first row, ordered by bank and program.
std::vector<PresetSlot> presetLayout(ProgramTable table);

} // namespace bankgen
