// Orvo-Tunedeck2: the container application.
//   Orvo-Tunedeck2 [--device NAME] [FILE.mid ...]   opens the main window; without a display it says so and plays
//                                                    headless
// Headless:
//   Orvo-Tunedeck2 --headless --render OUT.wav --midi FILE.mid   renders a MIDI file into a WAV file
//   Orvo-Tunedeck2 --headless [--device NAME] [FILE.mid ...]     plays live through ALSA
// Either mode takes --sound-set N (one of the six sound sets) or --soundfont FILE (a SoundFont 2 or DLS bank).
// Files named alone are brought into the documents folder, as opening them with the application does.

#include <cstdio>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/HeadlessHost.h"
#include "Orvo_Tunedeck/app/MidiFileSchedule.h"
#include "Orvo_Tunedeck/app/ProgramMessages.h"
#include "Orvo_Tunedeck/app/UserFiles.h"
#if TUNEDECK_WITH_WINDOW
#include "Orvo_Tunedeck/app/WindowedHost.h"
#endif

namespace {

int usage() {
    std::fputs(
        "usage: Orvo-Tunedeck2 [--device ALSA-PCM] [--sound-set 0-5 | --soundfont FILE] [FILE.mid ...]\n"
        "       Orvo-Tunedeck2 --headless --render OUT.wav --midi FILE.mid [--sound-set 0-5 | --soundfont FILE]\n"
        "       Orvo-Tunedeck2 --headless [--device ALSA-PCM] [--sound-set 0-5 | --soundfont FILE] [FILE.mid ...]\n",
        stderr);
    return 2;
}

// Every file the program is to read, checked before anything starts: a bad one ends the program with one line.
bool checkInputs(const HeadlessOptions& options, std::string& error) {
    std::vector<std::filesystem::path> midiFiles = options.files;
    if (!options.midiFile.empty()) midiFiles.push_back(options.midiFile);
    for (const std::filesystem::path& file : midiFiles) {
        MidiFileSchedule schedule;
        if (!loadMidiFileSchedule(file, 48000.0, schedule, error)) return false;
    }
    return !options.sound.soundfont || checkReadableFile(*options.sound.soundfont, error);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    HeadlessOptions options;
    bool headless = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--headless") {
            headless = true;
        } else if (arg == "--render" && hasValue) {
            options.renderTo = args[++i];
        } else if (arg == "--midi" && hasValue) {
            options.midiFile = args[++i];
        } else if (arg == "--device" && hasValue) {
            options.device = args[++i];
        } else if (arg == "--sound-set" && hasValue) {
            const std::string& value = args[++i];
            if (value.size() != 1 || value[0] < '0' || value[0] > '5') return usage();
            options.sound.soundSet = value[0] - '0';
        } else if (arg == "--soundfont" && hasValue) {
            options.sound.soundfont = args[++i];
        } else if (!arg.starts_with("-")) {
            options.files.emplace_back(arg);
        } else {
            return usage();
        }
    }
    if (options.renderTo.empty() != options.midiFile.empty()) return usage();
    if (options.sound.soundSet && options.sound.soundfont) return usage();
    if (!headless && !options.renderTo.empty()) return usage();
    if (std::string error; !checkInputs(options, error)) return reportError(error);
    if (!headless) {
#if TUNEDECK_WITH_WINDOW
        if (windowAvailable()) return runWindowed(options.device, options.files, options.sound);
        std::fputs("Orvo-Tunedeck2: no display to open a window on (DISPLAY and WAYLAND_DISPLAY reach none); "
                   "running headless.\n",
                   stderr);
#else
        std::fputs("Orvo-Tunedeck2: this build has no window (GTK 4 was not found); running headless.\n", stderr);
#endif
    }
    return runHeadless(options);
}
