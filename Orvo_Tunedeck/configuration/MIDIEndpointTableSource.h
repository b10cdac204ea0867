#pragma once
// A MIDI table's rows on screen: an endpoint's name and a switch showing whether it is on; flipping the switch goes
// to the table's model. A tap on a selectable (destination) row reloads the table; other rows take no highlight and
// no focus.
// Used by the configuration screen and by the two single-table MIDI screens.
//
// Threads: the main queue only.

#include <memory>
#include <string>
#include <type_traits>

#include "Orvo_Tunedeck/configuration/MIDIEndpointTables.h"
#include "Orvo_Tunedeck/configuration/SwitchCell.h"
#include "platform/ui/TableView.h"

template <class Table>
class MIDIEndpointTableSource final : public ui::TableViewDataSource, public ui::TableViewDelegate {
public:
    MIDIEndpointTableSource(Table& model, std::string identifier, std::string title, bool selectable)
        : model_(model), identifier_(std::move(identifier)), title_(std::move(title)), selectable_(selectable) {}

    // Makes this the table's data source and delegate, and the table the one refresh reloads.
    void setup(ui::TableView& table) {
        table_ = &table;
        table.dataSource = this;
        table.delegate = this;
    }
    // The destinations' table lists its rows anew; the sources' refresh does nothing.
    void refresh() {
        if constexpr (std::is_same_v<Table, MIDIDestinationsTable>) {
            if (table_ != nullptr) table_->reloadData();
        }
    }

    int numberOfRows(ui::TableView&, int) override { return static_cast<int>(model_.numberOfRows()); }
    std::string titleForHeader(ui::TableView&, int) override { return title_; }
    bool shouldHighlightRow(ui::TableView&, ui::IndexPath) override { return selectable_; }
    bool canFocusRow(ui::TableView&, ui::IndexPath) override { return selectable_; }
    void didSelectRow(ui::TableView& table, ui::IndexPath) override {
        if (selectable_) table.reloadData();
    }

    // Rows at or beyond the list's end get a new, empty plain cell.
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, ui::IndexPath indexPath) override {
        const EndpointRow row = model_.row(indexPath.row);
        if (row.tag == 0) return std::make_shared<ui::TableViewCell>();
        auto cell = table.dequeueReusableCell(identifier_, indexPath);
        if (ui::Label* label = cellLabel(*cell)) label->setText(row.text);
        if (ui::Switch* control = cellSwitch(*cell)) {
            control->setOn(row.switchOn);
            control->tag = row.tag;
            control->valueChanged = [&model = model_](ui::Switch& sender) {
                model.onSwitchChanged(static_cast<midi::MIDIEndpointRef>(sender.tag), sender.isOn());
            };
        }
        return cell;
    }

private:
    Table& model_;
    std::string identifier_;
    std::string title_;
    bool selectable_;
    ui::TableView* table_ = nullptr;  // not owned; the screen's
};

// The sources' and destinations' rows as every screen shows them.
using MIDISourcesTableSource = MIDIEndpointTableSource<MIDISourcesTable>;
using MIDIDestinationsTableSource = MIDIEndpointTableSource<MIDIDestinationsTable>;

inline std::unique_ptr<MIDISourcesTableSource> makeSourcesTableSource(MIDISourcesTable& model) {
    return std::make_unique<MIDISourcesTableSource>(model, "Sources", "MIDI Sources", false);
}

inline std::unique_ptr<MIDIDestinationsTableSource> makeDestinationsTableSource(MIDIDestinationsTable& model) {
    return std::make_unique<MIDIDestinationsTableSource>(model, "Destinations", "MIDI Destinations", true);
}
