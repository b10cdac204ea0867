// korvelshell: a synthesizer with one SoundFont, driven by the library's command shell on standard input or from a
// command file, or playing a standard MIDI file, optionally rendering offline into a WAV file.
//
//   korvelshell [-o out.wav] [-r sample-rate] [--as-specified] soundfont.sf2 [commands.txt | song.mid]
//   korvelshell -h | --help
//
// The synthesizer makes the product's sound (its profile: four-point interpolation, voice filter, effect sends and
// tails, every event at its frame); --as-specified keeps the library's own defaults. A song is played at its
// tempo from start to end and its tail until quiet. Answers go to standard output, each ending a line. A sample
// rate the synthesizer does not take is brought into its range, with a warning naming the rate used. The WAV file
// is limited below full scale, so it never clips. Only a run that succeeds writes it: any other leaves no file
// behind and an earlier file of that name as it was. A second argument that begins as a standard MIDI file does,
// or is named like one (.mid, .midi, .smf, .kar), is a song; anything else is a command file. The exit status is 0
// when every command succeeded, 1 when some command failed (said on standard error) and 2 when the synthesizer,
// the SoundFont, the command or song file or the WAV file could not be set up; each such failure is one line on
// standard error that names its cause.
#include "sampler/src/shell/korvel_cmd.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/voice/korvel_profile.h"
#include "tools/korvelshell/AnswerShell.h"
#include "tools/korvelshell/NoteOffCommand.h"
#include "tools/korvelshell/OfflineRender.h"
#include "tools/korvelshell/RenderCommand.h"
#include "tools/korvelshell/SongRender.h"
#include "tools/korvelshell/SoundFontLoad.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <getopt.h>
#include <sys/stat.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct Options {
    bool help = false;
    std::string wav;
    double sampleRate = 0.0; // 0 keeps the synthesizer's default
    bool asSpecified = false;
    std::string soundfont;
    std::string commands; // a command file or a standard MIDI file
};

constexpr const char* kUsage = "usage: korvelshell [-o out.wav] [-r sample-rate] [--as-specified] soundfont.sf2 "
                                "[commands.txt | song.mid]\n"
                                "Commands: those of 'help all', and 'render msec' to render msec milliseconds.\n";

int usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

bool parse(int argc, char** argv, Options& options)
{
    static const option longOptions[] = {{"as-specified", no_argument, nullptr, 'S'},
                                         {"help", no_argument, nullptr, 'h'},
                                         {nullptr, 0, nullptr, 0}};
    int opt = 0;
    while ((opt = getopt_long(argc, argv, "ho:r:", longOptions, nullptr)) != -1) {
        if (opt == 'h') {
            options.help = true;
            return true;
        } else if (opt == 'S') {
            options.asSpecified = true;
        } else if (opt == 'o') {
            options.wav = optarg;
        } else if (opt == 'r') {
            char* end = nullptr;
            options.sampleRate = std::strtod(optarg, &end);
            if (*end != '\0' || !(options.sampleRate > 0.0)) {
                return false;
            }
        } else {
            return false;
        }
    }
    if (optind >= argc || argc - optind > 2) {
        return false;
    }
    options.soundfont = argv[optind];
    if (argc - optind == 2) {
        options.commands = argv[optind + 1];
    }
    return true;
}

struct Library {
    korvel_settings_t* settings = new_korvel_settings();
    korvel_synth_t* synth = nullptr;
    korvel_cmd_handler_t* handler = nullptr;

    ~Library()
    {
        delete_korvel_cmd_handler(handler);
        delete_korvel_synth(synth);
        delete_korvel_settings(settings);
    }
};

// Whether the file begins as a standard MIDI file does, or is named as one is: such a file is played as a song,
// and refused as one when it is not, rather than run as commands. Only a regular file is looked into: what is read
// from a pipe is gone for the command shell.
bool isSong(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".mid" || extension == ".midi" || extension == ".smf" || extension == ".kar") {
        return true;
    }
    if (std::error_code error; !std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    char magic[4] = {};
    std::ifstream file(path, std::ios::binary);
    return file.read(magic, sizeof magic) && std::memcmp(magic, "MThd", sizeof magic) == 0;
}

int runShell(const Options& options, Library& library)
{
    if (options.commands.empty()) {
        return korvelshell::runAnswerShell(library.handler, STDIN_FILENO, STDOUT_FILENO) == 0 ? 0 : 1;
    }
    const int file = open(options.commands.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (file >= 0 && fstat(file, &info) == 0 && S_ISDIR(info.st_mode)) {
        // A folder opens, but reading it fails at once, which would look like an empty command file.
        ::close(file);
        errno = EISDIR;
    } else if (file >= 0) {
        const int failed = korvelshell::runAnswerShell(library.handler, file, STDOUT_FILENO);
        ::close(file);
        return failed == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "korvelshell: cannot open the command file '%s': %s\n", options.commands.c_str(),
                 std::strerror(errno));
    return 2;
}

// Asks for rate and warns when the synthesizer takes another one (the settings keep a rate within their range).
void setSampleRate(korvel_settings_t* settings, double rate)
{
    korvel_settings_setnum(settings, "synth.sample-rate", rate);
    double used = rate;
    korvel_settings_getnum(settings, "synth.sample-rate", &used);
    if (used != rate) {
        double lowest = 0.0;
        double highest = 0.0;
        korvel_settings_getnum_range(settings, "synth.sample-rate", &lowest, &highest);
        std::fprintf(stderr, "korvelshell: warning: the synthesizer takes sample rates from %g to %g Hz; using %g Hz "
                             "instead of %g Hz\n",
                     lowest, highest, used, rate);
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        return usage();
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Library library;
    if (library.settings == nullptr) {
        return 2;
    }
    if (options.sampleRate > 0.0) {
        setSampleRate(library.settings, options.sampleRate);
    }
    library.synth = new_korvel_synth(library.settings);
    if (library.synth == nullptr) {
        std::fprintf(stderr, "korvelshell: the synthesizer could not be created\n");
        return 2;
    }
    if (std::string cause; !korvelshell::loadSoundFont(library.synth, options.soundfont, cause)) {
        std::fprintf(stderr, "korvelshell: cannot load the SoundFont '%s': %s\n", options.soundfont.c_str(),
                     cause.c_str());
        return 2;
    }
    if (!options.asSpecified) {
        korvel_synth_set_profile(library.synth, &korvel_product_profile);
    }
    library.handler = new_korvel_cmd_handler(library.synth);
    if (library.handler == nullptr) {
        return 2;
    }
    korvelshell::OfflineRender render(library.synth);
    if (!options.wav.empty() && !render.open(options.wav)) {
        std::fprintf(stderr, "korvelshell: cannot create '%s': %s\n", options.wav.c_str(), render.error().c_str());
        return 2;
    }
    if (korvelshell::registerRenderCommand(library.handler, &render) != 0 ||
        korvelshell::registerNoteOffCommand(library.handler, library.synth) != 0) {
        return 2;
    }
    int status = 0;
    if (!options.commands.empty() && isSong(options.commands)) {
        std::string error;
        if (!korvelshell::renderSong(library.synth, render, options.commands, error)) {
            std::fprintf(stderr, "korvelshell: %s\n", error.c_str());
            status = 2;
        }
    } else {
        status = runShell(options, library);
        if (status == 1) {
            std::fprintf(stderr, "korvelshell: some commands failed\n");
        }
    }
    if (status != 0) {
        // A run that failed in part did not render what it meant to: an earlier file is worth more than it.
        render.discard();
    } else if (!render.close()) {
        std::fprintf(stderr, "korvelshell: the WAV file '%s' could not be completed: %s\n", options.wav.c_str(),
                     render.error().c_str());
        status = 2;
    } else if (!render.warning().empty()) {
        std::fprintf(stderr, "korvelshell: warning: %s\n", render.warning().c_str());
    }
    return status;
}
