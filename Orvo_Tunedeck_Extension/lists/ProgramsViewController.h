// The program list screen: the catalogue's programs in a list; a tap hands the row to the delegate and the screen
// closes. The export button does nothing.
//
// Opening it: make one with std::make_shared, set delegate and programs (the audio unit's own catalogue, shared),
// then present it; the list is wired when the view loads.
//
// Threads: main queue only.
#pragma once

#include <memory>

#include "Orvo_Tunedeck_Extension/catalogue/Soundfontprograms.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsScreen.h"
#include "Orvo_Tunedeck_Extension/lists/ProgramsTableView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"

class ProgramsViewController : public ui::ViewController, public ProgramsScreen {
public:
    // Receives the picked program; not owned, it must outlive the screen (the opener, which presents and owns it).
    ProgramsViewControllerDelegate* delegate = nullptr;
    // The catalogue to list; none lists nothing.
    std::shared_ptr<Soundfontprograms> programs;
    std::shared_ptr<ProgramsTableView> programsTableView;
    std::shared_ptr<ui::Button> closeButton;
    std::shared_ptr<ui::Button> exportButton;

    // Builds the buttons and the list in a 600 by 500 view.
    void loadView() override;
    // Makes the list its own data source and delegate and hands it this screen and programs.
    void viewDidLoad() override;

    void onCloseButton();
    void onExportButton() {}

    // ProgramsScreen.
    ProgramsViewControllerDelegate* programDelegate() override { return delegate; }
    void close() override { onCloseButton(); }
};
