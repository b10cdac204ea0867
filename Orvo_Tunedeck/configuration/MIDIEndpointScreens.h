#pragma once
// Two small screens that show one MIDI table each under an exit button: the sources (MIDIInputsViewController) and
// the destinations (MIDIOutputsViewController), with the same rows and switches as the configuration screen.
//
// Threads: the main queue only. Own through std::shared_ptr (their presenter does).

#include <memory>
#include <string>

#include "Orvo_Tunedeck/configuration/MIDIEndpointTableSource.h"
#include "platform/ui/Button.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class MIDIEndpointScreen : public ui::ViewController {
public:
    std::shared_ptr<ui::TableView> tableView;
    std::shared_ptr<ui::Button> exitButton;

    void loadView() override;
    // Gives the table its rows.
    void viewDidLoad() override;
    // The exit button's action: closes the screen.
    void onExit();

protected:
    MIDIEndpointScreen(std::string identifier, bool selectable);
    void setSource(ui::TableViewDataSource* dataSource, ui::TableViewDelegate* delegate);

private:
    std::string identifier_;
    bool selectable_;
    ui::TableViewDataSource* dataSource_ = nullptr;
    ui::TableViewDelegate* delegate_ = nullptr;
};

class MIDIInputsViewController final : public MIDIEndpointScreen {
public:
    explicit MIDIInputsViewController(MIDIConnection& connection = MIDIConnection::shared());

private:
    MIDISourcesTable model_;
    std::unique_ptr<MIDISourcesTableSource> source_;
};

class MIDIOutputsViewController final : public MIDIEndpointScreen {
public:
    explicit MIDIOutputsViewController(MIDIConnection& connection = MIDIConnection::shared());

private:
    MIDIDestinationsTable model_;
    std::unique_ptr<MIDIDestinationsTableSource> source_;
};
