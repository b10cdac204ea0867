#include "Orvo_Tunedeck/app/CommandLine.h"

#include <charconv>
#include <cstdio>

namespace {

CommandLine failed(std::string error) {
    CommandLine result;
    result.action = CommandLine::Action::error;
    result.error = std::move(error);
    return result;
}

}  // namespace

std::string helpText() {
    return "usage: Orvo-Tunedeck2 [OPTION...] [FILE.mid...]\n"
           "A General MIDI sound module and MIDI file player.\n"
           "\n"
           "  Orvo-Tunedeck2 [FILE.mid...]                      open the window (without a display: play headless)\n"
           "  Orvo-Tunedeck2 --headless [FILE.mid...]           play live through ALSA: the files, or MIDI input\n"
           "                                                    until Ctrl-C\n"
           "  Orvo-Tunedeck2 --render OUT.wav --midi FILE.mid   render a MIDI file into a WAV file\n"
           "  Orvo-Tunedeck2 --picture OUT.png [--size WxH]     draw the main screen playing into a PNG file\n"
           "\n"
           "Options:\n"
           "  --device PCM       ALSA PCM device to play on (default: default)\n"
           "  --sound-set N      one of the six sound sets, 0 to 5\n"
           "  --soundfont FILE   a SoundFont 2 (.sf2) or DLS (.dls) bank of your own\n"
           "  -v, --verbose      print the detail log of every layer (on standard error)\n"
           "  -h, --help         print this help and exit\n"
           "  --version          print the version and exit\n"
           "\n"
           "Files named alone are also copied into the documents folder, as opening them with the program does.\n";
}

std::string versionText() { return std::string("Orvo-Tunedeck2 ") + TUNEDECK_VERSION + "\n"; }

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    HeadlessOptions& options = result.options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--render" || arg == "--midi" || arg == "--device" || arg == "--sound-set" ||
                                arg == "--soundfont" || arg == "--picture" || arg == "--size";
        if (takesValue && i + 1 == args.size()) return failed("option " + arg + " needs a value");
        if (arg == "-h" || arg == "--help") {
            result.action = CommandLine::Action::help;
            return result;
        }
        if (arg == "--version") {
            result.action = CommandLine::Action::version;
            return result;
        }
        if (arg == "-v" || arg == "--verbose") {
            result.verbose = true;
        } else if (arg == "--headless") {
            result.headless = true;
        } else if (arg == "--render") {
            options.renderTo = args[++i];
        } else if (arg == "--midi") {
            options.midiFile = args[++i];
        } else if (arg == "--device") {
            options.device = args[++i];
        } else if (arg == "--sound-set") {
            const std::string& value = args[++i];
            int row = -1;
            const auto [end, status] = std::from_chars(value.data(), value.data() + value.size(), row);
            if (status != std::errc() || end != value.data() + value.size() || row < 0 || row > 5)
                return failed("--sound-set '" + value + "' is not a sound set: use 0, 1, 2, 3, 4 or 5");
            options.sound.soundSet = row;
        } else if (arg == "--soundfont") {
            options.sound.soundfont = args[++i];
        } else if (arg == "--picture" || arg == "--size") {
            if (!options.picture) options.picture.emplace();
            const std::string& value = args[++i];
            if (arg == "--picture") {
                options.picture->pngFile = value;
            } else if (std::sscanf(value.c_str(), "%dx%d", &options.picture->width, &options.picture->height) != 2 ||
                       options.picture->width < 1 || options.picture->height < 1) {
                return failed("--size '" + value + "' is not a size: use WIDTHxHEIGHT, as 720x640");
            }
        } else if (arg.starts_with("-") && arg != "-") {
            return failed("unknown option '" + arg + "' (see --help)");
        } else {
            options.files.emplace_back(arg);
        }
    }
    if (!options.renderTo.empty() && options.midiFile.empty())
        return failed("--render needs --midi FILE.mid, the song to render");
    if (options.renderTo.empty() && !options.midiFile.empty())
        return failed("--midi needs --render OUT.wav (to play a file live, name it alone)");
    if (options.renderTo == "-")
        return failed("--render - : writing the WAV file to standard output is not supported; name a file");
    if (!options.renderTo.empty() && !options.files.empty())
        return failed("files to open cannot be given with --render");
    if (!options.renderTo.empty() && options.device != "default")
        return failed("--device has no use with --render (the render writes a file)");
    if (options.sound.soundSet && options.sound.soundfont)
        return failed("--sound-set and --soundfont cannot be used together: choose one");
    if (options.picture && (options.picture->pngFile.empty() || !options.renderTo.empty()))
        return failed("--picture needs a PNG file name and cannot be given with --render");
    // Rendering and drawing need no window.
    if (!options.renderTo.empty() || options.picture) result.headless = true;
    return result;
}
