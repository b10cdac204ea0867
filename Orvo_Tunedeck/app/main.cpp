// Orvo-Tunedeck2: the container application.
//   Orvo-Tunedeck2 [--device NAME]   opens the main window; without a display it says so and plays headless
// Headless:
//   Orvo-Tunedeck2 --headless --render OUT.wav --midi FILE.mid [--sound-set N]   renders a MIDI file into a WAV file
//   Orvo-Tunedeck2 --headless [--device NAME]                                     plays live through ALSA

#include <cstdio>
#include <string>
#include <vector>

#include "Orvo_Tunedeck/app/HeadlessHost.h"
#if TUNEDECK_WITH_WINDOW
#include "Orvo_Tunedeck/app/WindowedHost.h"
#endif

namespace {

int usage() {
    std::fputs(
        "usage: Orvo-Tunedeck2 [--device ALSA-PCM]\n"
        "       Orvo-Tunedeck2 --headless --render OUT.wav --midi FILE.mid [--sound-set 0-5]\n"
        "       Orvo-Tunedeck2 --headless [--device ALSA-PCM]\n",
        stderr);
    return 2;
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
            options.soundSet = value[0] - '0';
        } else {
            return usage();
        }
    }
    if (options.renderTo.empty() != options.midiFile.empty()) return usage();
    if (!headless) {
        if (!options.renderTo.empty() || options.soundSet) return usage();
#if TUNEDECK_WITH_WINDOW
        if (windowAvailable()) return runWindowed(options.device);
        std::fputs("Orvo-Tunedeck2: no display to open a window on (DISPLAY and WAYLAND_DISPLAY reach none); "
                   "running headless.\n",
                   stderr);
#else
        std::fputs("Orvo-Tunedeck2: this build has no window (GTK 4 was not found); running headless.\n", stderr);
#endif
    }
    return runHeadless(options);
}
