#include "Orvo_Tunedeck_Extension/lists/EventTableView.h"

#include "Orvo_Tunedeck_Extension/lists/EventText.h"
#include "platform/foundation/Log.h"
#include "platform/ui/Label.h"

namespace {

constexpr std::array<double, 6> kLabelWidths{120, 56, 64, 64, 64, 220};

std::shared_ptr<ui::TableViewCell> eventCell(std::string_view identifier) {
    auto cell = std::make_shared<ui::TableViewCell>(std::string(identifier), ui::Rect{0, 0, 600, 24});
    double x = 4;
    for (const double width : kLabelWidths) {
        cell->contentView().addSubview(std::make_shared<ui::Label>(ui::Rect{x, 0, width, 24}));
        x += width;
    }
    return cell;
}

}  // namespace

EventTableView::EventTableView(ui::Rect frame) : ui::TableView(frame) {
    channelColors.fill(ui::Color::black());
    registerCell(std::string(kNoteCellIdentifier), [] { return eventCell(kNoteCellIdentifier); });
    registerCell(std::string(kEventCellIdentifier), [] { return eventCell(kEventCellIdentifier); });
    dataSource = this;
    delegate = this;
}

int EventTableView::numberOfRows(ui::TableView&, int) { return static_cast<int>(itemCount()); }

std::shared_ptr<ui::TableViewCell> EventTableView::cellForRow(ui::TableView&, ui::IndexPath indexPath) {
    return makeEventCell(indexPath.row);
}

std::shared_ptr<ui::TableViewCell> EventTableView::makeEventCell(int row) {
    const EventRow content = eventRow(row);
    if (content.identifier.empty()) return std::make_shared<ui::TableViewCell>();
    auto cell = dequeueReusableCell(content.identifier, ui::IndexPath{0, row});
    const auto& views = cell->contentView().subviews();
    for (std::size_t i = 0; i < views.size() && i < content.labels.size(); ++i) {
        if (auto* label = dynamic_cast<ui::Label*>(views[i].get())) {
            label->setText(content.labels[i]);
            label->textColor = content.textColor;
        }
    }
    return cell;
}

std::size_t EventTableView::itemCount() {
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
