#pragma once
// The configuration screen: a close button above three tables, the sound sets (six rows; the chosen row goes to
// the delegate and closes the screen), the MIDI sources and the MIDI destinations (each row a name and a switch),
// all in a scroll view, so that a small window reaches them all.
// Every presentation makes a new screen, whose presenter tells it which sound set is loaded (showLoadedSoundset);
// the MIDI switches show what the MIDI connection keeps.
//
// Threads: the main queue only. Own through std::shared_ptr (its presenter does).

#include <memory>

#include "Orvo_Tunedeck/configuration/ConfigurationViewControllerDelegate.h"
#include "Orvo_Tunedeck/configuration/MIDIEndpointTableSource.h"
#include "Orvo_Tunedeck/configuration/SoundfontsTableView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ViewController.h"

class ConfigurationViewController final : public ui::ViewController {
public:
    explicit ConfigurationViewController(MIDIConnection& connection = MIDIConnection::shared());
    ~ConfigurationViewController() override;

    std::shared_ptr<ui::Button> buttonClose;
    std::shared_ptr<ui::TableView> tableSoundset;
    std::shared_ptr<ui::TableView> tableMIDIIn;
    std::shared_ptr<ui::TableView> tableMIDIOut;
    // Holds the button and the tables: its content is 1000 points tall and as wide as the screen.
    std::shared_ptr<ui::ScrollView> scrollView;
    ConfigurationViewControllerDelegate* delegate = nullptr;  // not owned; the presenter outlives the screen

    void loadView() override;
    void viewDidLoad() override;
    void onButtonClose();

    const SoundfontsTableView& soundsets() const { return soundsets_; }
    // Switches on the row of the sound set the instrument plays (0 to 5), for the presenter before the screen shows.
    void showLoadedSoundset(int64_t row);

private:
    class SoundsetSource;

    void onSoundsetSwitch(int64_t tag);

    ConfigurationScreen screen_;
    SoundfontsTableView soundsets_;
    MIDISourcesTable sources_;
    MIDIDestinationsTable destinations_;
    std::unique_ptr<SoundsetSource> soundsetSource_;
    std::unique_ptr<MIDISourcesTableSource> sourcesSource_;
    std::unique_ptr<MIDIDestinationsTableSource> destinationsSource_;
};

// The configuration screen loaded last, while it lives; nullptr before any and after it went. Main queue.
std::shared_ptr<ConfigurationViewController> currentConfigurationViewController();
