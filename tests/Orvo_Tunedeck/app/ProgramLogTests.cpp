// Which log lines reach the person at the terminal without -v: errors and warnings they have to know of, not the
// layers' notes on states that are normal in this program; and which stream carries what, with -v and without.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/ProgramLog.h"
#include "tests/support/TestFolder.h"

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

TEST(ProgramLog, StandardOutputCarriesOnlyTheSummaryAndTheDetailLogGoesToStandardError) {
    testsupport::TestFolder folder;
    const std::filesystem::path midi = folder.path() / "note.mid";
    // One track: a note of a quarter at 480 ticks per quarter, then the end of the track.
    const char song[] = "MThd\0\0\0\6\0\0\0\1\1\xE0"
                        "MTrk\0\0\0\x0D\0\x90\x3C\x64\x83\x60\x80\x3C\0\0\xFF\x2F\0";
    std::ofstream(midi, std::ios::binary).write(song, sizeof song - 1);
    const struct {
        const char* options;
        bool detailOnStandardError;
    } cases[] = {{"", false}, {"-v", true}};
    for (const auto& c : cases) {
        const std::filesystem::path errors = folder.path() / "stderr.txt";
        int exitCode = -1;
        const std::string out = testsupport::runCommand(
            "TUNEDECK_DOCUMENTS='" + (folder.path() / "Documents").string() + "' '" + ORVO_TUNEDECK_PROGRAM +
                "' --headless " + c.options + " --render '" + (folder.path() / "out.wav").string() + "' --midi '" +
                midi.string() + "' 2>'" + errors.string() + "'",
            exitCode);
        std::ifstream in(errors);
        const std::string err{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_EQ(exitCode, 0) << c.options << "\n" << out << err;
        std::istringstream lines(out);
        int summaryLines = 0;
        for (std::string line; std::getline(lines, line); ++summaryLines)
            EXPECT_TRUE(line.starts_with("Orvo-Tunedeck2: ")) << c.options << ": " << line;
        EXPECT_GT(summaryLines, 0) << c.options;
        // The detail log: the layers' log lines and what the synthesizer library prints itself.
        EXPECT_EQ(err.find("The app's resources path is: ") != std::string::npos, c.detailOnStandardError) << c.options;
        EXPECT_EQ(err.find("Soundfont Synthesizer: ") != std::string::npos, c.detailOnStandardError) << c.options;
    }
}

}  // namespace
