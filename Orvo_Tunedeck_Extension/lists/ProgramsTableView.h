// Shows the audio unit's program catalogue, one formatted line per program ("MSB:000 / LSB:000 - P:000 : Piano 1").
// Tapping a row reports it to the screen's delegate and closes the screen. The catalogue object is the unit's own,
// not a copy, so the list always reflects the last table loaded.
//
// Threads: main queue only. Log lines go through the main queue.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsScreen.h"
#include "platform/ui/TableView.h"

// The cell design of a program row: a label as the first subview of its content view.
inline constexpr std::string_view kProgramCellIdentifier = "Item";

// Serves as its own data source and delegate once the screen connects them.
class ProgramsTableView : public ui::TableView, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    // Registers the row design.
    explicit ProgramsTableView(ui::Rect frame = {});

    // The catalogue to list; none lists nothing.
    std::shared_ptr<Soundfontprograms> programs;
    // The screen holding the list. Not owned.
    ProgramsScreen* viewController = nullptr;

    // The catalogue's row count; 0 without a catalogue.
    std::size_t itemCount() const;
    // "" when there is no catalogue, and "" plus a logged error past its end.
    std::string rowText(int row) const;
    // A tap: the row goes to the screen's delegate, then the screen closes. A row beyond the catalogue (which the
    // audio unit may have switched to a shorter table while the list was open) is logged as above and ignored.
    void pickRow(int row);

    // The table's questions and reports: one section of itemCount() rows, cells showing rowText() (an empty plain cell
    // for a row without text), no row offers the delete gesture, a tap is pickRow().
    int numberOfRows(ui::TableView& table, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, ui::IndexPath indexPath) override;
    void didSelectRow(ui::TableView& table, ui::IndexPath indexPath) override;

private:
    bool holdsRow(int row) const;
};
