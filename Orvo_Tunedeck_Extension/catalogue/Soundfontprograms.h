#pragma once

#include "Orvo_Tunedeck_Extension/catalogue/ProgramTableRow.h"
#include "Orvo_Tunedeck_Extension/catalogue/SoundfontProgram.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The program catalogue: the programs of the sound bank the instrument has loaded, as one of three built-in tables
// (General MIDI, GS, XG), and the texts the views show for them. Held through std::shared_ptr by the audio unit and
// the program list.
//
// Thread contract: no lock. Use from one thread at a time (the main queue); never from the render thread. The audio
// unit switches tables only on the main queue.
class Soundfontprograms {
public:
    // Holds the GS table.
    Soundfontprograms();
    virtual ~Soundfontprograms() = default;

    // Rows in table order; lookups take the first match, the program list and patch preloading go in this order.
    std::vector<SoundfontProgram> programs;

    // Each replaces all rows with one table: 137 General MIDI, 235 GS or 482 XG rows.
    virtual void makeGM();
    virtual void makeGS();
    virtual void makeXG();

    // Caption of one channel's program, channel being a zero-based MIDI channel (callers pass 0 to 15).
    // Exact (number, msb, lsb) row: "CH 10 : 127/127 - 025 : TR-808". Otherwise the first row with that program
    // number, without channel or bank: "000/000 - 004 : E.Piano 1". Otherwise, or with no rows, "".
    virtual std::string formatInstrumentName(std::uint8_t channel, std::uint8_t number, std::uint8_t msb,
                                             std::uint8_t lsb) const;

    // One line of the program list for the row at index: "MSB:000 / LSB:128 - P:000 : Standard_GS".
    // Out of range: just the number itself ("235", "-1").
    virtual std::string formatInstrumentName(std::ptrdiff_t index) const;

private:
    void replaceRows(std::span<const ProgramTableRow> table);
    static std::string formatThreeDigits(std::uint8_t value);
};
