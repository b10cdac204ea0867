// The program list: every row of the audio unit's program catalogue in the catalogue's list format
// ("MSB:000 / LSB:000 - P:000 : Piano 1"); a tap hands the row to the screen's delegate and closes the screen.
// The catalogue is shared with the audio unit, never copied, so the list shows the table it loaded last.
//
// Threads: main queue only. Log lines go through the main queue.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsScreen.h"

class ProgramsTableView {
public:
    // The catalogue to list; none lists nothing.
    std::shared_ptr<Soundfontprograms> programs;
    // The screen holding the list. Not owned.
    ProgramsScreen* viewController = nullptr;

    virtual ~ProgramsTableView() = default;

    // The catalogue's row count; 0 without a catalogue.
    std::size_t rowCount() const;
    // The row's line; "" without a catalogue, and "" with "ProgramsTableView: ERROR: The row exceeds the count of
    // items." for a row beyond the catalogue.
    std::string rowText(int row) const;
    // A tap: the row goes to the screen's delegate, then the screen closes. A row beyond the catalogue (which the
    // audio unit may have switched to a shorter table while the list was open) is logged as above and ignored.
    void pickRow(int row);

private:
    bool holdsRow(int row) const;
};
