#pragma once
// The application's main screen: a row of picture buttons (play, stop, MIDI files, configuration, instrument view,
// products, help, information) above the container of the instrument's view, on a dark background. It shows the
// hub's state and hands every action to the hub (ViewController): play starts the engine, stop pauses it, the files
// button opens a document picker for MIDI files whose choice the hub copies into the documents folder, and the
// configuration screen reports its sound-set choice to the hub. The hub's engine shows the instrument's own view in
// the container, filling it. The help screen shows the resources' help pages: "ShowHelp" the start page (after
// showHelp has handed the maker's page to the system's browser), "ShowInfo" and "ShowProducts" the page about the
// MIDI files.
//
// Threads: the main queue only. Own through std::shared_ptr.

#include <memory>
#include <vector>

#include <functional>
#include <string>

#include "Orvo_Tunedeck/app/ViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/DocumentPicker.h"
#include "platform/ui/ViewController.h"

class MainViewController final : public ui::ViewController, public ui::DocumentPickerDelegate {
public:
    explicit MainViewController(std::shared_ptr<::ViewController> hub);

    std::shared_ptr<::ViewController> hub;
    std::shared_ptr<ui::View> pluginView;
    std::shared_ptr<ui::Button> buttonPlay;
    std::shared_ptr<ui::Button> buttonStop;
    std::shared_ptr<ui::Button> buttonFiles;
    std::shared_ptr<ui::Button> buttonConfig;
    std::shared_ptr<ui::Button> buttonPlaylist;
    std::shared_ptr<ui::Button> buttonToggle;
    std::shared_ptr<ui::Button> buttonHelp;
    std::shared_ptr<ui::Button> buttonInfo;
    // Hands an address to the system's browser; false when there is none. Replaceable for tests.
    std::function<bool(const std::string& url)> openURL;

    void loadView() override;
    void prepare(ui::Segue& segue, const std::any& sender) override;

    void onButtonPlay();
    void onButtonStop();
    // Presents a document picker for .mid, .midi and .kar files, several at a time.
    void onButtonFiles();
    // Performs "ShowConfig".
    void onButtonConfig();
    // Shows or hides the instrument's view.
    void onButtonPlaylist();
    // Opens the maker's page (the help start page of the resources) in the system's browser, or logs that there is
    // no browser, then performs "ShowHelp".
    void showHelp();
    // The maker's page.
    static std::string makerPage();
    // A sound set the hub's instrument refused: one warning line on standard error naming the bank's file, and an
    // alert naming the bank and why, presented from the main queue once the screen that reported the choice has
    // closed.
    void showSoundsetRefused(const SoundsetRefusal& refusal);

    void documentPickerDidPick(ui::DocumentPicker& picker, const std::vector<std::filesystem::path>& files) override;
    void documentPickerWasCancelled(ui::DocumentPicker& picker) override;
};
