// Orvo-Tunedeck2: the container application. Orvo-Tunedeck2 --help tells how to run it.

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/CommandLine.h"
#include "Orvo_Tunedeck/app/HeadlessHost.h"
#include "Orvo_Tunedeck/app/MidiFileSchedule.h"
#include "Orvo_Tunedeck/app/ProgramLog.h"
#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/app/SoundChoice.h"
#if TUNEDECK_WITH_WINDOW
#include "Orvo_Tunedeck/app/WindowModule.h"
#endif

namespace {

// Every file the program is to read, checked before anything starts: a bad one ends the program with one line.
bool checkInputs(const HeadlessOptions& options, std::string& error) {
    std::vector<std::filesystem::path> midiFiles = options.files;
    if (!options.midiFile.empty()) midiFiles.push_back(options.midiFile);
    for (const std::filesystem::path& file : midiFiles) {
        MidiFileSchedule schedule;
        if (!loadMidiFileSchedule(file, 48000.0, schedule, error)) return false;
    }
    return !options.sound.soundfont || checkSoundBankFile(*options.sound.soundfont, error);
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine command = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (command.action) {
        case CommandLine::Action::help:
            std::fputs(helpText().c_str(), stdout);
            return 0;
        case CommandLine::Action::version:
            std::fputs(versionText().c_str(), stdout);
            return 0;
        case CommandLine::Action::error:
            std::fprintf(stderr, "%s: %s\n", kProgramName, command.error.c_str());
            return 2;
        case CommandLine::Action::run:
            break;
    }
    installProgramLog(command.verbose);
    HeadlessOptions options = command.options;
    // The progress of a long render is for a person watching a terminal, and would cut into the detail log.
    options.showProgress = !command.verbose && ::isatty(STDERR_FILENO) == 1;
    if (std::string error; !checkInputs(options, error)) return reportError(error);
    if (!command.headless) {
#if TUNEDECK_WITH_WINDOW
        std::string error;
        if (const auto window = WindowModule::load(error)) {
            if (window->available()) {
                const int status = window->run(options.device, options.files, options.sound);
                endRepeatedLogLines();
                return status;
            }
            reportWarning("no display to open a window on (DISPLAY and WAYLAND_DISPLAY reach none); running headless");
        } else {
            reportWarning("the window could not be loaded (" + error + "); running headless");
        }
#else
        reportWarning("this build has no window (GTK 4 was not found); running headless");
#endif
    }
    const int status = runHeadless(options);
    // A line the layers repeated up to the end still says how often it came.
    endRepeatedLogLines();
    return status;
}
