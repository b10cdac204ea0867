// Where the programs of the set sit in each generated bank file: one preset per row of the file's program table
// (General MIDI, GS or XG), each pointing at the set's instrument for its bank and program: the melodic program,
// a variation tone of it, or the kit of its kit program.
//
// Thread contract: immutable tables and pure functions; any thread.
#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/ProgramTableRow.h"
#include "Orvo_Tunedeck_Extension/catalogue/SoundSet.h"
#include "tools/bankgen/Voicing.h"

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
    bool drums; // a kit
};

enum class BankFormat { soundFont2, dls };

struct BankFile {
    std::string_view fileName;
    BankFormat format;
    ProgramTable table;
    Voicing voicing;
};

// The files the sound sets load, each laid out for the table its sound set shows: "soundfont1" is the XG set's
// bank, "soundfont2", "soundfont6" and "soundfont9" are General MIDI, "gs_instruments" and "soundfont7" GS.
// The small sets sample at low rates with the top octaves rooted lower; the large ones at full bandwidth.
inline constexpr std::array<BankFile, 6> kBankFiles{{
    // compact and mid-bright, mono, velocity layers
    {"gs_instruments.dls", BankFormat::dls, ProgramTable::gs,
     {22000, 81, 0.0f, 200, 0.8f, 1.0f, 0.0f, 0, true, 1.0f, 1.0f, 0.6f, 0x6a11}},
    // crisp and wide: detuned stereo layers, snappy envelopes
    {"soundfont1.sf2", BankFormat::soundFont2, ProgramTable::xg,
     {35200, 93, -0.15f, 900, 1.0f, 0.8f, 7.0f, 350, true, 1.2f, 1.0f, 1.0f, 0x7e61}},
    // the large set: warm, long attacks, full bandwidth, broad stereo, long tails
    {"soundfont2.sf2", BankFormat::soundFont2, ProgramTable::generalMidi,
     {44000, 93, 0.25f, -700, 1.6f, 1.3f, 5.0f, 450, true, 1.0f, 1.2f, 1.0f, 0xa64}},
    // small and dark: low rate, closed filters, one layer, short envelopes, no velocity layers
    {"soundfont6.sf2", BankFormat::soundFont2, ProgramTable::generalMidi,
     {22000, 81, 0.5f, -1600, 0.6f, 0.7f, 0.0f, 0, false, 0.7f, 0.8f, 0.4f, 0xa32, 1.0f}},
    // warm: mid rate, gentle stereo, deeper vibrato
    {"soundfont7.sf2", BankFormat::soundFont2, ProgramTable::gs,
     {26400, 93, 0.15f, -500, 1.0f, 1.1f, 4.0f, 200, true, 1.5f, 1.0f, 0.8f, 0x5c55}},
    // raw: full bandwidth with open filters, one layer, long decays, stronger inharmonicity
    {"soundfont9.sf2", BankFormat::soundFont2, ProgramTable::generalMidi,
     {44000, 93, -0.4f, 2400, 1.3f, 1.5f, 0.0f, 0, false, 0.8f, 1.6f, 1.2f, 0x6a5, -0.5f}},
}};

std::span<const ProgramTableRow> rowsOf(ProgramTable table);

// The preset a table row selects: kit rows (those preloaded on the rhythm channel) at kDrumBank with the row's
// program; melodic rows at bank 128 x MSB + LSB.
PresetSlot slotForRow(const ProgramTableRow& row);

// One slot per distinct (bank, program) of the table, named after its first row, ordered by bank and program.
std::vector<PresetSlot> presetLayout(ProgramTable table);

} // namespace bankgen
