// The MIDI-file browser screen: the file list with three buttons, close, factory files and user files. It switches
// the list between the two roots, asks the delete questions on the list's behalf and hands a picked file to its
// delegate (through the list).
//
// Opening it: make one with std::make_shared, set delegate (and startFolder when the user files should show first),
// then present it; the list is filled when the view loads.
//
// Threads: main queue only.
#pragma once

#include <memory>
#include <string>

#include "Orvo_Tunedeck_Extension/lists/MIDIFileScreen.h"
#include "Orvo_Tunedeck_Extension/lists/MIDIFileTableView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ViewController.h"

class MIDIFileViewController : public ui::ViewController, public MIDIFileScreen {
public:
    // Receives the picked file; not owned, it must outlive the screen (the opener, which presents and owns it).
    MIDIFileViewControllerDelegate* delegate = nullptr;
    // The list shown first: "factory" for the factory files, anything else for the user files.
    std::string startFolder{kFactoryMode};
    std::shared_ptr<MIDIFileTableView> midiFileTableView;
    std::shared_ptr<ui::Button> closeButton;
    std::shared_ptr<ui::Button> buttonFactory;
    std::shared_ptr<ui::Button> buttonUser;

    // Builds the buttons and the list in a 600 by 500 view.
    void loadView() override;
    // Wires the list to itself and to this screen and lists the start folder.
    void viewDidLoad() override;

    // Button actions.
    void onCloseButton();
    void onButtonFactory();
    void onButtonUser();

    // MIDIFileScreen.
    MIDIFileViewControllerDelegate* fileDelegate() override { return delegate; }
    void showFactoryDeleteRefusal() override;
    void confirmDelete() override;
    bool hasCloseButton() const override { return closeButton != nullptr; }
    void close() override { onCloseButton(); }
    void setTabTitleColors(ui::Color factory, ui::Color user) override;
};
