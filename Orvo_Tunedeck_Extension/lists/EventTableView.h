// Table of MIDI events, a row each with the event's fields and its formatEvent line, coloured by channel. It is not
// part of any screen: an embedder fills events (from the monitor, say) and calls reload.
//
// Threads: main queue only. Log lines go through the main queue.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/TableView.h"
#include "shared/events/AUMIDIEventEx.h"

// The cell designs: note-on rows and all other rows.
inline constexpr std::string_view kNoteCellIdentifier = "Note";
inline constexpr std::string_view kEventCellIdentifier = "Event";

struct EventRow {
    // Empty for a row beyond the list.
    std::string identifier;
    // "t: ", "ch: ", "s: ", "d1: ", "d2: " with their numbers in decimal, then the event's line.
    std::array<std::string, 6> labels;
    ui::Color textColor;
};

// Its own data source and delegate.
class EventTableView : public ui::TableView, public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    std::vector<std::shared_ptr<AUMIDIEventEx>> events;
    ui::Color channelColor{0.8, 0.4, 0.4, 1.0};
    // Text colour per MIDI channel 0 to 15.
    std::array<ui::Color, 16> channelColors;
    // The row count last reported to the table.
    std::size_t count = 0;

    // Black text on every channel; registers the two row designs (six labels each) and wires itself as its own data
    // source and delegate.
    explicit EventTableView(ui::Rect frame = {});

    // The length of events, which count keeps.
    std::size_t itemCount();
    // The row's texts; an empty row and "WARNING: Index exceeds table bounds." at or beyond count.
    EventRow eventRow(int row) const;
    // The row's cell with its six labels filled; a new plain cell (and the warning) beyond count.
    std::shared_ptr<ui::TableViewCell> makeEventCell(int row);

    // The table's questions: one section of itemCount() rows, cells from makeEventCell(); selection does nothing.
    int numberOfRows(ui::TableView& table, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, ui::IndexPath indexPath) override;
};
