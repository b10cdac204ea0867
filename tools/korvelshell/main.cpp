// korvelshell: a synthesizer with one SoundFont, driven by the library's command shell on standard input or from a
// command file, optionally rendering offline into a WAV file.
//
//   korvelshell [-o out.wav] [-r sample-rate] soundfont.sf2 [commands.txt]
//
// Answers go to standard output. The exit status is 0 when every command succeeded, 1 when some command failed and
// 2 when the synthesizer, the SoundFont, the command file or the WAV file could not be set up.
#include "sampler/src/korvel_cmd.h"
#include "sampler/src/korvel_settings.h"
#include "sampler/src/korvel_shell.h"
#include "sampler/src/korvel_synth.h"
#include "tools/korvelshell/OfflineRender.h"
#include "tools/korvelshell/RenderCommand.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

struct Options {
    std::string wav;
    double sampleRate = 0.0; // 0 keeps the synthesizer's default
    std::string soundfont;
    std::string commands;
};

int usage()
{
    std::fprintf(stderr, "usage: korvelshell [-o out.wav] [-r sample-rate] soundfont.sf2 [commands.txt]\n"
                         "Commands: those of 'help all', and 'render msec' to render msec milliseconds.\n");
    return 2;
}

bool parse(int argc, char** argv, Options& options)
{
    int opt = 0;
    while ((opt = getopt(argc, argv, "o:r:")) != -1) {
        if (opt == 'o') {
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

int runShell(const Options& options, Library& library)
{
    if (options.commands.empty()) {
        return korvel_usershell(library.settings, library.handler) == 0 ? 0 : 1;
    }
    const int file = open(options.commands.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        std::fprintf(stderr, "korvelshell: cannot open the command file '%s'\n", options.commands.c_str());
        return 2;
    }
    korvel_shell_t shell;
    int failed = -1;
    if (korvel_shell_init(&shell, library.settings, library.handler, file, korvel_get_stdout()) == 0) {
        failed = korvel_shell_run(&shell);
    }
    delete_korvel_strtok(shell.tokenizer);
    ::close(file);
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        return usage();
    }
    Library library;
    if (library.settings == nullptr) {
        return 2;
    }
    if (options.sampleRate > 0.0) {
        korvel_settings_setnum(library.settings, "synth.sample-rate", options.sampleRate);
    }
    library.synth = new_korvel_synth(library.settings);
    if (library.synth == nullptr) {
        std::fprintf(stderr, "korvelshell: the synthesizer could not be created\n");
        return 2;
    }
    if (korvel_synth_sfload(library.synth, options.soundfont.c_str(), 1) == -1) {
        std::fprintf(stderr, "korvelshell: cannot load the SoundFont '%s'\n", options.soundfont.c_str());
        return 2;
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
    if (korvelshell::registerRenderCommand(library.handler, &render) != 0) {
        return 2;
    }
    int status = runShell(options, library);
    if (!render.close()) {
        std::fprintf(stderr, "korvelshell: the WAV file '%s' could not be completed\n", options.wav.c_str());
        status = 2;
    }
    return status;
}
