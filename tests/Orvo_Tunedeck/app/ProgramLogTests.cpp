// Which log lines reach the person at the terminal without -v: errors and warnings they have to know of, not the
// layers' notes on states that are normal in this program.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/ProgramLog.h"

namespace {

TEST(ProgramLog, ShowsErrorsAndWarningsButNotTheNotesOnNormalStates) {
    struct Case {
        std::string line;
        bool shown;
    };
    const std::vector<Case> cases = {
        {"AudioEngine::startEngine() : ERROR: cannot open ALSA PCM device 'x': No such file or directory. ", true},
        {"MIDIConnectivity::Fehler beim Erzeugen des Clients", true},
        {"korvelsynth: error: Couldn't load soundfont file", true},
        {"OfflineRender : WARNING: 3 MIDI messages did not reach the instrument (longer than it takes at once).", true},
        {"MIDISequence::Warnung: Ein Tempo Event konnte nicht gelöscht werden.", true},
        {"viewController:getDirectories() : The app's resources path is: /usr/share", false},
        // The instrument is connected before its view loads: always without a window, for a moment with one.
        {"AU Diagnostics: WARNING: Plugin view is not loaded.", false},
        // Names, markers and time signatures in a song's tempo track are common and harmless.
        {"MIDISequence::Warnung: Anderes MIDI Event auf der Tempospur vom Type 5 gefunden.", false},
        // A song played again is in the documents folder from the time before; a failed copy is still shown.
        {"ViewController::onOpenIn(): ERROR: The file '/home/u/Documents/a.mid' does already exist.", false},
        {"ViewController::onOpenIn(): ERROR: Could not copy the file: Permission denied", true},
        // A sound set's missing bank is named, with its file, by the program itself.
        {"AudioUnitMIDISynth::ERROR: The soundfont could not be found.", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isErrorOrWarningLine(c.line), c.shown) << c.line;
}

}  // namespace
