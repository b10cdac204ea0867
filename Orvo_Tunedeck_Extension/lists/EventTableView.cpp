#include "Orvo_Tunedeck_Extension/lists/EventTableView.h"

#include "Orvo_Tunedeck_Extension/lists/EventText.h"
#include "platform/foundation/Log.h"

EventTableView::EventTableView() { channelColors.fill(ui::Color::black()); }

std::size_t EventTableView::rowCount() {
    count = events.size();
    return count;
}

EventRow EventTableView::eventRow(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= count || static_cast<std::size_t>(row) >= events.size()) {
        foundation::queueLogLine("WARNING: Index exceeds table bounds.");
        return {};
    }
    const AUMIDIEvent event = events[static_cast<std::size_t>(row)]->event();
    const std::uint8_t status = event.data[0];
    const std::uint8_t data1 = event.data[1];
    const std::uint8_t data2 = event.data[2];
    const unsigned channel = status & 0x0F;

    EventRow cell;
    cell.identifier = (status & 0xF0) == 0x90 ? kNoteCellIdentifier : kEventCellIdentifier;
    cell.labels = {"t: " + std::to_string(event.eventSampleTime),
                   "ch: " + std::to_string(channel),
                   "s: " + std::to_string(status & 0xF0),
                   "d1: " + std::to_string(data1),
                   "d2: " + std::to_string(data2),
                   formatEvent(status, data1, data2)};
    cell.textColor = channelColors[channel];
    return cell;
}
