#pragma once
// The model of the configuration screen's sound-set table: six rows with a switch each, the chosen row reported to
// the screen's delegate, which then closes the screen.
//
// Threads: the main queue only.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/configuration/ConfigurationViewControllerDelegate.h"

inline constexpr std::array<const char*, 6> kSoundsetRows = {
    "GM2, GS (Apple Sound Set), 2 MB",
    "GM1, (EMU AWE64 Sound Set), 7.6 MB",
    "GM2, XG (Yamaha Sound Set), 3,9 MB",
    "GM1, (EMU AWE32 Sound Set), 2.1 MB",
    "GM2, GS (Roland Sound Set), 3.3 MB",
    "GM1, (Gravis Ultrasound Sound Set), 5,9 MB",
};

// The part of the configuration screen the table reaches: its delegate and its dismissal.
struct ConfigurationScreen {
    ConfigurationViewControllerDelegate* delegate = nullptr;  // not owned
    std::function<void()> dismiss;
};

class SoundfontsTableView {
public:
    struct Row {
        std::string text;
        bool switchOn;
        int64_t tag;
    };

    // Stores the screen and fills the six rows.
    void setup(ConfigurationScreen* screen);

    int64_t numberOfRows() const { return static_cast<int64_t>(soundfonts.size()); }
    // The row's label, switch state and switch tag; an empty row with tag -1 beyond the list's end.
    Row row(int64_t index) const;
    // Any change of the switch with tag, on or off: selects that row; with a screen and a delegate, tells the
    // delegate and closes the screen, otherwise reloads the rows (reloadCount counts that).
    void onSwitchChanged(int64_t tag);

    ConfigurationScreen* viewController = nullptr;  // not owned
    std::vector<std::string> soundfonts;
    int64_t selected = 1;
    int reloadCount = 0;
};
