#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"

#include <cstdint>
#include <string_view>

// Which built-in program table matches a sound bank.
enum class ProgramTable { generalMidi, gs, xg };

// What a two-character sound-set code selects: the bank number handed to the synthesizer's bank loader and the
// catalogue table that names the bank's programs.
struct SoundSetChoice {
    int bankNumber;
    ProgramTable table;

    friend bool operator==(const SoundSetChoice&, const SoundSetChoice&) = default;
};

// "00" bank 0 GS, "01" bank 1 General MIDI, "02" bank 2 XG, "06" bank 6 General MIDI, "07" bank 7 GS,
// "09" bank 9 General MIDI; the code is compared as a whole, and every other string gives bank 0 with General MIDI.
// Pure; safe from any thread.
SoundSetChoice soundSetForCode(std::string_view code) noexcept;

// Switches the catalogue to the table (makeGM, makeGS or makeXG). Same thread contract as the catalogue.
void loadProgramTable(Soundfontprograms& catalogue, ProgramTable table);

// Channel index on which a row's patch is preloaded: 9 (the rhythm channel) for bank LSB 126 and above, where the
// drum and sound-effect kits sit; 0 for every other row. Pure; safe from any thread.
std::uint8_t preloadChannelForBankLsb(std::uint8_t bankLsb) noexcept;

// The bank LSB of a row as a MIDI data byte. The tables hold 128 for some kits, which no data byte can carry; those
// rows go out as 127, still a kit row on the rhythm channel. Pure; safe from any thread.
constexpr std::uint8_t bankLsbDataByte(std::uint8_t bankLsb) noexcept { return bankLsb > 0x7F ? 0x7F : bankLsb; }
