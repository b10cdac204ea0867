// The program's command line as a user meets it: a table of good and bad arguments, each checked for its status,
// standard output and standard error.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A format 0 file: one note of a quarter at 120 beats per minute.
void writeSong(const fs::path& path) {
    const std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k',
                                       0,   0,   0,   13,  0, 0x90, 0x45, 0x64, 0x83, 0x60, 0x80, 0x45, 0x40,
                                       0x00, 0xFF, 0x2F, 0x00};
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

struct Case {
    std::string arguments;
    int status;
    std::string outStarts;  // standard output begins with this ("" : must be empty)
    std::string errHas;     // standard error holds this ("" : must be empty)
};

TEST(CommandLine, EachArgumentListGivesItsStatusAndItsLines) {
    testsupport::TestFolder folder;
    const fs::path song = folder.path() / "song.mid";
    writeSong(song);
    const std::string wav = (folder.path() / "out.wav").string();
    const std::string render = "--render '" + wav + "' --midi '" + song.string() + "'";
    const std::vector<Case> cases = {
        {"--help", 0, "usage: Orvo-Tunedeck2", ""},
        {"-h", 0, "usage: Orvo-Tunedeck2", ""},
        {"--version", 0, "Orvo-Tunedeck2 2.0\n", ""},
        {render + " --sound-set 6", 2, "",
         "Orvo-Tunedeck2: --sound-set '6' is not a sound set: use 0, 1, 2, 3, 4 or 5\n"},
        {render + " --sound-set -1", 2, "", "--sound-set '-1' is not a sound set: use 0, 1, 2, 3, 4 or 5"},
        {render + " --sound-set abc", 2, "", "--sound-set 'abc' is not a sound set"},
        {"--frobnicate", 2, "", "Orvo-Tunedeck2: unknown option '--frobnicate' (see --help)\n"},
        {"--render '" + wav + "'", 2, "", "--render needs --midi FILE.mid"},
        {"--midi '" + song.string() + "'", 2, "", "--midi needs --render OUT.wav"},
        {"--render - --midi '" + song.string() + "'", 2, "", "standard output is not supported"},
        {render + " --device bogus", 2, "", "--device has no use with --render"},
        {render + " --sound-set 1 --soundfont x.sf2", 2, "", "cannot be used together"},
        {"--headless --device", 2, "", "option --device needs a value"},
        {render, 0, "", ""},
        {render + " --sound-set 2", 0, "", ""},
        // A file named alone plays live, with --headless or for want of a display, and the program ends with it.
        {"--headless --device null '" + song.string() + "'", 0, "Orvo-Tunedeck2: playing '" + song.string() + "' (",
         ""},
        {"--device null '" + song.string() + "'", 0, "Orvo-Tunedeck2: playing '", "running headless"},
        {"--headless --device no-such-pcm '" + song.string() + "'", 1, "",
         "Orvo-Tunedeck2: error: no sound output: cannot open ALSA PCM device 'no-such-pcm'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        fs::remove(wav);
        const fs::path errFile = folder.path() / "stderr.txt";
        int status = -1;
        // No window opens here: the display is taken away.
        const std::string out = testsupport::runCommand(
            "env -u DISPLAY -u WAYLAND_DISPLAY TUNEDECK_DOCUMENTS='" + (folder.path() / "Documents").string() + "' '" +
                std::string(ORVO_TUNEDECK_PROGRAM) + "' " + c.arguments + " 2>'" + errFile.string() + "'",
            status);
        const std::string err = readFile(errFile);
        EXPECT_EQ(status, c.status) << err;
        if (c.outStarts.empty() && c.status != 0) {
            EXPECT_EQ(out, "");
        }
        if (!c.outStarts.empty()) {
            EXPECT_TRUE(out.starts_with(c.outStarts)) << out;
        }
        if (c.errHas.empty()) {
            EXPECT_EQ(err.find("Orvo-Tunedeck2:"), std::string::npos) << err;
        } else {
            EXPECT_NE(err.find(c.errHas), std::string::npos) << err;
        }
        if (c.status != 0) {
            // A refusal is one line naming its cause, with nothing of the layers around it.
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        }
        if (c.arguments.starts_with("--render '") && c.status == 0) {
            // A default render is a short summary that says where the file went.
            EXPECT_LE(std::count(out.begin(), out.end(), '\n'), 20) << out;
            EXPECT_NE(out.find(wav), std::string::npos) << out;
            EXPECT_TRUE(fs::exists(wav));
        }
    }
}

}  // namespace
