// The program without a display: the offline render of a generated MIDI file through the whole instrument into a
// WAV file that sox reads, and live play on a sound output that is not there.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/Folders.h"
#include "tests/support/TestFolder.h"
#include "tools/soundbank/sf2_writer.h"

namespace {

namespace fs = std::filesystem;

void appendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
    std::vector<uint8_t> groups{static_cast<uint8_t>(value & 0x7F)};
    while ((value >>= 7) != 0) groups.insert(groups.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    out.insert(out.end(), groups.begin(), groups.end());
}

struct TrackEvent {
    uint32_t deltaTicks;
    std::vector<uint8_t> bytes;
};

// A format 0 file at ticksPerQuarter ticks per quarter note holding events (end of track added).
void writeMidiFile(const fs::path& path, std::vector<TrackEvent> events, uint16_t ticksPerQuarter = 480) {
    events.push_back({0, {0xFF, 0x2F, 0x00}});
    std::vector<uint8_t> track;
    for (const TrackEvent& event : events) {
        appendVariableLength(track, event.deltaTicks);
        track.insert(track.end(), event.bytes.begin(), event.bytes.end());
    }
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, static_cast<uint8_t>(ticksPerQuarter >> 8),
                                 static_cast<uint8_t>(ticksPerQuarter), 'M', 'T', 'r', 'k'};
    const auto size = static_cast<uint32_t>(track.size());
    for (const int shift : {24, 16, 8, 0}) file.push_back(static_cast<uint8_t>(size >> shift));
    file.insert(file.end(), track.begin(), track.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                static_cast<std::streamsize>(file.size()));
}

// 120 beats per minute, a program change and three quarter notes C4, E4, G4 followed by a quarter rest; the last
// note ends at beat 3 (1.5 seconds).
void writeArpeggio(const fs::path& path) {
    std::vector<TrackEvent> events = {{0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}, {0, {0xC0, 0x00}}};
    for (const uint8_t note : {60, 64, 67}) {
        events.push_back({0, {0x90, note, 100}});
        events.push_back({480, {0x80, note, 0}});
    }
    events.push_back({480, {0xFF, 0x01, 0x01, 'x'}});
    writeMidiFile(path, events);
}

std::string render(const fs::path& folder, const fs::path& midi, const fs::path& wav, int& exitCode,
                   const std::string& more = "") {
    return testsupport::runCommand("TUNEDECK_DOCUMENTS='" + (folder / "Documents").string() + "' '" +
                                       std::string(ORVO_TUNEDECK_PROGRAM) + "' --headless --render '" +
                                       wav.string() + "' --midi '" + midi.string() + "' " + more + " 2>&1",
                                   exitCode);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The samples of a WAV file as 32-bit floats, read by sox.
std::string samplesOf(const fs::path& wav) {
    int code = -1;
    const fs::path raw = fs::path(wav).replace_extension(".raw");
    testsupport::runCommand("sox '" + wav.string() + "' -t f32 '" + raw.string() + "' 2>/dev/null", code);
    return readFile(raw);
}

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the program with arguments in folder's documents (and more environment before it), standard output and
// standard error apart.
ProgramRun runProgram(const fs::path& folder, const std::string& arguments, const std::string& environment = "") {
    ProgramRun run;
    const fs::path errFile = folder / "stderr.txt";
    run.out = testsupport::runCommand(environment + "TUNEDECK_DOCUMENTS='" + (folder / "Documents").string() + "' '" +
                                          std::string(ORVO_TUNEDECK_PROGRAM) + "' " + arguments + " 2>'" +
                                          errFile.string() + "'",
                                      run.exitCode);
    run.err = readFile(errFile);
    return run;
}

// The program's own lines in text (the synthesizer library may warn on its own).
std::vector<std::string> programLines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with("Orvo-Tunedeck2: ")) found.push_back(line);
    return found;
}

TEST(OfflineRender, GeneratedSongBecomesAWavFileSoxReads) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "arpeggio.mid";
    writeArpeggio(midi);
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, folder.path() / "first.wav", exitCode);
    ASSERT_EQ(exitCode, 0) << output;

    const fs::path wav = folder.path() / "first.wav";
    int soxiCode = -1;
    EXPECT_EQ(testsupport::runCommand("soxi -r '" + wav.string() + "' 2>/dev/null", soxiCode), "48000\n");
    EXPECT_EQ(testsupport::runCommand("soxi -c '" + wav.string() + "' 2>/dev/null", soxiCode), "2\n");
    // The notes' 1.5 seconds and the instrument's tail of 4.0 seconds.
    EXPECT_EQ(testsupport::runCommand("soxi -s '" + wav.string() + "' 2>/dev/null", soxiCode), "264000\n");
    const std::string songPeak = testsupport::runCommand(
        "sox '" + wav.string() + "' -n trim 0 1.5 stat 2>&1 | awk '/Maximum amplitude/ {print $3}'", soxiCode);
    EXPECT_GT(std::stod(songPeak), 0.01);
    EXPECT_LE(std::stod(songPeak), 1.0);

    // The same file renders to the same samples (the files' headers carry the time they were written).
    render(folder.path(), midi, folder.path() / "second.wav", exitCode);
    ASSERT_EQ(exitCode, 0);
    for (const char* name : {"first", "second"})
        testsupport::runCommand("sox '" + (folder.path() / name).string() + ".wav' -t f32 '" +
                                    (folder.path() / name).string() + ".raw' 2>/dev/null",
                                soxiCode);
    const std::string samples = readFile(folder.path() / "first.raw");
    EXPECT_EQ(samples.size(), 264000u * 2 * sizeof(float));
    EXPECT_TRUE(samples == readFile(folder.path() / "second.raw"));
}

TEST(OfflineRender, TheFirstNoteStartsAtItsTimeInTheFile) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "late.mid";
    // At 120 beats per minute the note starts after one beat: half a second, frame 24000.
    writeMidiFile(midi, {{0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}},
                         {0, {0xC0, 0x00}},
                         {480, {0x90, 60, 127}},
                         {480, {0x80, 60, 0}}});
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, folder.path() / "late.wav", exitCode);
    ASSERT_EQ(exitCode, 0) << output;

    const std::string samples = samplesOf(folder.path() / "late.wav");
    const auto* frames = reinterpret_cast<const float*>(samples.data());
    const size_t count = samples.size() / sizeof(float);
    float peak = 0.0f;
    for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(frames[i]));
    ASSERT_GT(peak, 0.01f);
    size_t onset = 0;
    while (onset < count && std::abs(frames[onset]) < 0.01f * peak) ++onset;
    // One millisecond at 48 kHz, either way.
    EXPECT_NEAR(static_cast<double>(onset / 2), 24000.0, 48.0);
}

TEST(OfflineRender, EveryMessageOfADenseChordReachesTheInstrument) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "cluster.mid";
    // Sixteen channels striking forty keys each at once, released together a beat later.
    std::vector<TrackEvent> events;
    for (const uint8_t kind : {0x90, 0x80}) {
        for (uint8_t channel = 0; channel < 16; ++channel) {
            for (uint8_t key = 40; key < 80; ++key) {
                const bool first = channel == 0 && key == 40;
                events.push_back({kind == 0x80 && first ? 480u : 0u, {uint8_t(kind | channel), key, 90}});
            }
        }
    }
    writeMidiFile(midi, events);
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, folder.path() / "cluster.wav", exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    EXPECT_EQ(output.find("MIDI messages did not reach the instrument"), std::string::npos);
}

TEST(OfflineRender, BadMidiFileIsAClearErrorAndNoWavFile) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "broken.mid";
    std::ofstream(midi) << "MThd but nothing after it";
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, folder.path() / "out.wav", exitCode);
    EXPECT_EQ(exitCode, 1);
    EXPECT_NE(output.find("Orvo-Tunedeck2: error: '" + midi.string() + "' is no standard MIDI file"),
              std::string::npos)
        << output;
    EXPECT_FALSE(fs::exists(folder.path() / "out.wav"));
}

TEST(OfflineRender, EveryBadPathIsOneLineOnStandardErrorAndStatusOne) {
    testsupport::TestFolder folder;
    const fs::path good = folder.path() / "good.mid";
    writeArpeggio(good);
    const std::string goodBytes = readFile(good);
    std::ofstream(folder.path() / "empty.mid");
    std::ofstream(folder.path() / "text.mid") << "just some words, no music";
    std::ofstream(folder.path() / "truncated.mid", std::ios::binary) << goodBytes.substr(0, goodBytes.size() / 2);
    fs::create_directory(folder.path() / "folder.mid");
    std::ofstream(folder.path() / "locked.mid", std::ios::binary) << goodBytes;
    fs::permissions(folder.path() / "locked.mid", fs::perms::none);
    const bool root = ::geteuid() == 0;
    struct Case {
        std::string arguments;
        std::string says;
    };
    const fs::path wav = folder.path() / "out.wav";
    const auto renderOf = [&](const std::string& midi) {
        return "--headless --render '" + wav.string() + "' --midi '" + (folder.path() / midi).string() + "'";
    };
    std::vector<Case> cases = {
        {renderOf("missing.mid"), "No such file or directory"},
        {renderOf("empty.mid"), "is empty"},
        {renderOf("folder.mid"), "is a folder, not a file"},
        {renderOf("text.mid"), "is no standard MIDI file"},
        {renderOf("truncated.mid"), "is no standard MIDI file"},
        {"--headless --device no-such-pcm '" + (folder.path() / "folder.mid").string() + "'", "is a folder"},
        {"--headless '" + good.string() + "' '" + (folder.path() / "missing.mid").string() + "'",
         "No such file or directory"},
        {renderOf("good.mid") + " --soundfont '" + (folder.path() / "missing.sf2").string() + "'",
         "No such file or directory"},
        {renderOf("good.mid") + " --soundfont '" + (folder.path() / "folder.mid").string() + "'", "is a folder"},
        {renderOf("good.mid") + " --soundfont '" + (folder.path() / "text.mid").string() + "'",
         "could not be loaded"},
    };
    if (!root) cases.push_back({renderOf("locked.mid"), "Permission denied"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ProgramRun run = runProgram(folder.path(), c.arguments);
        EXPECT_EQ(run.exitCode, 1);
        const std::vector<std::string> errors = programLines(run.err);
        ASSERT_EQ(errors.size(), 1u) << run.err;
        EXPECT_TRUE(errors[0].starts_with("Orvo-Tunedeck2: error: ")) << run.err;
        EXPECT_NE(errors[0].find(c.says), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(wav));
    }
}

// The names in folder, sorted.
std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(OfflineRender, EveryBadTargetOrBankIsTheWholeOutputInOneLineAndLeavesEverythingAsItWas) {
    testsupport::TestFolder folder;
    const fs::path here = folder.path();
    const fs::path good = here / "good.mid";
    writeArpeggio(good);
    fs::create_directory(here / "folder");
    fs::create_directory_symlink(here / "folder", here / "folder-link.wav");
    ASSERT_EQ(::mkfifo((here / "fifo.wav").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", here / "device-link.wav");
    // A device node of its own where the test may make one (as root), else the system's.
    const bool root = ::geteuid() == 0;
    const fs::path device = root ? here / "full.wav" : fs::path("/dev/full");
    if (root) {
        ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    }
    std::ofstream(here / "words.sf2") << "just some words, no sounds";
    std::ofstream(here / "short.sf2", std::ios::binary) << std::string("RIFF\xff\xff\x00\x00sfbkLIST", 16);
    fs::create_directory(here / "locked");
    fs::permissions(here / "locked", fs::perms::owner_read | fs::perms::owner_exec);

    struct Case {
        fs::path target;
        std::string more;
        std::string says;
    };
    std::vector<Case> cases = {
        {here / "missing" / "out.wav", "", "the folder '" + (here / "missing").string() + "' does not exist"},
        {here / "good.mid" / "out.wav", "", "'" + good.string() + "' is not a folder"},
        {here / "folder", "", "is a folder, not a regular file"},
        {here / "folder-link.wav", "", "is a symbolic link to a folder, not a regular file"},
        {here / "fifo.wav", "", "is a FIFO, not a regular file"},
        {here / "device-link.wav", "", "is a symbolic link to a device, not a regular file"},
        {device, "", "is a device, not a regular file"},
        {here / "out.wav", "--soundfont '" + (here / "words.sf2").string() + "'",
         "it is neither a SoundFont 2 (.sf2) nor a DLS (.dls) file"},
        {here / "out.wav", "--soundfont '" + (here / "short.sf2").string() + "'", "it is cut short"},
    };
    if (!root) cases.push_back({here / "locked" / "out.wav", "", "Permission denied"});
    // The program's documents and the test's record of standard error live apart.
    const fs::path apart = here / "apart";
    fs::create_directory(apart);
    const std::vector<std::string> before = namesIn(here);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.string() + " " + c.more);
        const ProgramRun run = runProgram(apart, "--render '" + c.target.string() + "' --midi '" + good.string() +
                                                    "' " + c.more);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.err.starts_with("Orvo-Tunedeck2: error: ")) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(namesIn(here), before);
        EXPECT_TRUE(fs::is_empty(here / "folder"));
        EXPECT_TRUE(fs::is_empty(here / "locked"));
        EXPECT_TRUE(fs::is_character_file(device));
        EXPECT_TRUE(fs::is_character_file("/dev/null"));
        EXPECT_TRUE(fs::is_fifo(here / "fifo.wav"));
    }
}

TEST(OfflineRender, ANormalRenderPrintsItsSummaryAndNothingElse) {
    testsupport::TestFolder folder;
    // A song whose tempo track also holds its name, as most songs' do.
    const fs::path midi = folder.path() / "named.mid";
    writeMidiFile(midi, {{0, {0xFF, 0x03, 0x04, 's', 'o', 'n', 'g'}},
                         {0, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}},
                         {0, {0x90, 60, 100}},
                         {480, {0x80, 60, 0}}});
    const fs::path wav = folder.path() / "out.wav";
    const ProgramRun run = runProgram(folder.path(), "--render '" + wav.string() + "' --midi '" + midi.string() + "'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(run.out.starts_with("Orvo-Tunedeck2: rendered '" + midi.string() + "' with sound set 0 into '" +
                                    wav.string() + "'"))
        << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
}

TEST(OfflineRender, ABankDamagedBehindItsHeaderIsRefusedOnceAndNoLineComesTwice) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "arpeggio.mid";
    writeArpeggio(midi);
    // A SoundFont 2 header, then bytes of no chunk at all.
    const fs::path bank = folder.path() / "damaged.sf2";
    std::string bytes("RIFF\x10\x00\x00\x00sfbkLIST", 16);
    for (int i = 0; i < 3000; ++i) bytes += static_cast<char>(i * 37 % 251);
    std::ofstream(bank, std::ios::binary) << bytes;
    const ProgramRun run = runProgram(folder.path(), "--render '" + (folder.path() / "out.wav").string() +
                                                         "' --midi '" + midi.string() + "' --soundfont '" +
                                                         bank.string() + "'");
    EXPECT_EQ(run.exitCode, 1);
    std::vector<std::string> lines;
    std::istringstream text(run.err);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "Orvo-Tunedeck2: error: the sound bank '" + bank.string() +
                                "' could not be loaded: its content is damaged or of a kind this program does not read");
    EXPECT_LE(lines.size(), 4u) << run.err;
    for (size_t i = 1; i < lines.size(); ++i) EXPECT_NE(lines[i], lines[i - 1]) << run.err;
    EXPECT_FALSE(fs::exists(folder.path() / "out.wav"));
}

TEST(OfflineRender, TemporaryFilesOfDeadRendersAreRemovedAndThoseOfLiveOnesKept) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "arpeggio.mid";
    writeArpeggio(midi);
    const fs::path wav = folder.path() / "out.wav";
    const fs::path dead = folder.path() / ".out.wav.tunedeck-partial-a1b2c3";
    const fs::path live = folder.path() / ".out.wav.tunedeck-partial-d4e5f6";
    const fs::path users = folder.path() / "out.wav.partial-notes";
    const fs::path hiddenUsers = folder.path() / ".notes.txt.partial-ABCDEF";
    const fs::path librarys = folder.path() / ".bank.sf2.korvel-partial-abcdef";
    for (const fs::path& partial : {dead, live, users, hiddenUsers, librarys}) std::ofstream(partial) << "half a render";
    // A writer that still lives holds its file's lock.
    const int held = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    int exitCode = -1;
    const std::string output = render(folder.path(), midi, wav, exitCode);
    ::close(held);
    ASSERT_EQ(exitCode, 0) << output;
    EXPECT_TRUE(fs::is_regular_file(wav));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(live));
    for (const fs::path& kept : {users, hiddenUsers, librarys})
        EXPECT_TRUE(fs::exists(kept)) << kept << ": a file that only looks like one of a render is kept";
}

// The program rendering in folder with arguments, its standard input and standard error on pipes of the test, held
// once holdSeconds of sound are rendered (TUNEDECK_TEST_HOLD_RENDER_AT_SECONDS): it goes on when its standard input
// ends.
class HeldRender {
public:
    HeldRender(const fs::path& folder, std::vector<std::string> arguments, double holdSeconds) {
        int input[2];
        int error[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(error, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, error[1], STDERR_FILENO);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        std::vector<std::string> environment = {"TUNEDECK_DOCUMENTS=" + (folder / "Documents").string(),
                                                "TUNEDECK_TEST_HOLD_RENDER_AT_SECONDS=" + std::to_string(holdSeconds)};
        for (char** variable = environ; *variable != nullptr; ++variable) environment.emplace_back(*variable);
        arguments.insert(arguments.begin(), ORVO_TUNEDECK_PROGRAM);
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (std::string& variable : environment) envp.push_back(variable.data());
        envp.push_back(nullptr);
        if (::posix_spawn(&pid_, ORVO_TUNEDECK_PROGRAM, &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(error[1]);
        input_ = input[1];
        error_ = error[0];
    }
    ~HeldRender() {
        if (pid_ > 0) kill();
        for (const int fd : {input_, error_})
            if (fd >= 0) ::close(fd);
    }
    HeldRender(const HeldRender&) = delete;
    HeldRender& operator=(const HeldRender&) = delete;

    bool started() const { return pid_ > 0; }
    // Standard error up to the line of the hold, or all of it when the program ends without holding.
    std::string errorUntilHeld() {
        std::string text;
        char byte = 0;
        while (text.find("render held") == std::string::npos || !text.ends_with("\n")) {
            if (::read(error_, &byte, 1) != 1) break;
            text += byte;
        }
        return text;
    }
    // Lets the program go on from its hold: its wait status once it ended.
    int release() {
        ::close(std::exchange(input_, -1));
        int status = 0;
        ::waitpid(std::exchange(pid_, -1), &status, 0);
        return status;
    }
    // Ends the program with SIGKILL: its wait status.
    int kill() {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(std::exchange(pid_, -1), &status, 0);
        return status;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int error_ = -1;
};

TEST(OfflineRender, AKilledRenderLeavesNoFile) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "long.mid";
    // Four minutes of one held note: killed while its render is held after one second of sound.
    writeMidiFile(midi, {{0, {0x90, 60, 100}}, {480u * 480, {0x80, 60, 0}}});
    HeldRender render(folder.path(), {"--render", "out.wav", "--midi", "long.mid"}, 1.0);
    ASSERT_TRUE(render.started());
    const std::string error = render.errorUntilHeld();
    ASSERT_NE(error.find("render held"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(folder.path() / "out.wav")) << "the file has its name only once it is complete";
    const int status = render.kill();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    std::vector<std::string> left = namesIn(folder.path());
    std::erase(left, "Documents");
    EXPECT_EQ(left, std::vector<std::string>{"long.mid"});
}

// Two renders to one target at once: each writes a temporary file of its own, the one that ends last gives the target
// its whole sound, and nothing else is left in the folder.
TEST(OfflineRender, TwoRendersOfOneTargetAtOnceLeaveTheLastOneWhole) {
    testsupport::TestFolder folder;
    const fs::path wav = folder.path() / "out.wav";
    // Four seconds and one second of a note at the default tempo.
    writeMidiFile(folder.path() / "long.mid", {{0, {0x90, 60, 100}}, {480u * 8, {0x80, 60, 0}}});
    writeMidiFile(folder.path() / "short.mid", {{0, {0x90, 72, 100}}, {480u * 2, {0x80, 72, 0}}});
    HeldRender first(folder.path(), {"--render", "out.wav", "--midi", "long.mid"}, 1.0);
    ASSERT_TRUE(first.started());
    const std::string error = first.errorUntilHeld();
    ASSERT_NE(error.find("render held"), std::string::npos) << error;
    int exitCode = -1;
    const std::string output = render(folder.path(), folder.path() / "short.mid", wav, exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    const size_t shortSongBytes = samplesOf(wav).size();
    const int status = first.release();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_GT(samplesOf(wav).size(), shortSongBytes + 2 * 48000 * 2 * sizeof(float)) << "the long song's render";
    std::vector<std::string> left = namesIn(folder.path());
    std::erase(left, "Documents");
    EXPECT_EQ(left, (std::vector<std::string>{"long.mid", "out.raw", "out.wav", "short.mid"}));
}

TEST(OfflineRender, AUsersSoundFontSoundsDifferentFromTheDefaultSoundSet) {
    testsupport::TestFolder folder;
    const fs::path midi = folder.path() / "arpeggio.mid";
    writeArpeggio(midi);
    // Every program of bank 0 is one square wave.
    const sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("Square", sf2::square_wave(64, 8), 64, 60));
    const fs::path soundfont = folder.path() / "square.sf2";
    ASSERT_TRUE(bank.write(soundfont.string()));

    int exitCode = -1;
    std::string output = render(folder.path(), midi, folder.path() / "default.wav", exitCode);
    ASSERT_EQ(exitCode, 0) << output;
    output = render(folder.path(), midi, folder.path() / "square.wav", exitCode,
                    "--soundfont '" + soundfont.string() + "'");
    ASSERT_EQ(exitCode, 0) << output;

    const std::string standard = samplesOf(folder.path() / "default.wav");
    const std::string square = samplesOf(folder.path() / "square.wav");
    ASSERT_EQ(standard.size(), square.size());
    const auto* a = reinterpret_cast<const float*>(standard.data());
    const auto* b = reinterpret_cast<const float*>(square.data());
    double difference = 0.0;
    double energy = 0.0;
    for (size_t i = 0; i < standard.size() / sizeof(float); ++i) {
        difference += (a[i] - b[i]) * (a[i] - b[i]);
        energy += b[i] * b[i];
    }
    EXPECT_GT(energy, 1.0) << "the user's bank sounds";
    EXPECT_GT(difference, 0.1 * energy) << "and differs from the default sound set";
}

TEST(HeadlessLive, MissingSoundOutputIsAClearError) {
    // Without --headless and without a display the program says so and goes on headless.
    struct Case {
        const char* environment;
        const char* mode;
        bool saysHeadless;
    };
    for (const Case& run : {Case{"", "--headless", false}, Case{"env -u DISPLAY -u WAYLAND_DISPLAY ", "", true}}) {
        testsupport::TestFolder folder;
        int exitCode = -1;
        const std::string output = testsupport::runCommand(
            std::string(run.environment) + "TUNEDECK_DOCUMENTS='" + (folder.path() / "Documents").string() + "' '" +
                std::string(ORVO_TUNEDECK_PROGRAM) + "' " + run.mode + " --device no-such-pcm 2>&1",
            exitCode);
        EXPECT_EQ(exitCode, 1) << output;
        EXPECT_EQ(output.find("running headless") != std::string::npos, run.saysHeadless) << output;
        EXPECT_NE(output.find("Orvo-Tunedeck2: error: no sound output: cannot open ALSA PCM device 'no-such-pcm'"),
                  std::string::npos)
            << output;
    }
}

}  // namespace

namespace {

// A resources folder in folder with everything the build's resources folder has except the file missing.
fs::path resourcesWithout(const fs::path& folder, const std::string& missing) {
    const fs::path resources = folder / "Resources";
    fs::create_directories(resources);
    const auto built = foundation::resourcesFolder();
    if (!built) return resources;
    for (const fs::directory_entry& entry : fs::directory_iterator(*built))
        if (entry.path().filename() != missing) fs::create_symlink(entry.path(), resources / entry.path().filename());
    return resources;
}

TEST(MissingSoundBank, RenderAndLivePlayStopWithOneLineNamingTheBank) {
    struct Case {
        std::string missing;
        bool render;
        std::string soundSet;  // empty: the default
    };
    const std::vector<Case> cases = {
        {"gs_instruments.dls", true, ""}, {"soundfont2.sf2", true, "1"},  {"soundfont9.sf2", true, "5"},
        {"gs_instruments.dls", false, ""}, {"soundfont2.sf2", false, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.render ? "render" : "live") + " without " + c.missing);
        testsupport::TestFolder folder;
        const fs::path resources = resourcesWithout(folder.path(), c.missing);
        const fs::path midi = folder.path() / "arpeggio.mid";
        const fs::path wav = folder.path() / "out.wav";
        writeArpeggio(midi);
        std::string arguments = c.render ? "--render '" + wav.string() + "' --midi '" + midi.string() + "'"
                                         : std::string("--device no-such-pcm");
        if (!c.soundSet.empty()) arguments += " --sound-set " + c.soundSet;
        const ProgramRun run = runProgram(folder.path(), "--headless " + arguments,
                                          "TUNEDECK_RESOURCES='" + resources.string() + "' ");
        EXPECT_EQ(run.exitCode, 1);
        const std::vector<std::string> errors = programLines(run.err);
        ASSERT_EQ(errors.size(), 1u) << run.err;
        EXPECT_EQ(errors[0], "Orvo-Tunedeck2: error: the sound bank '" + (resources / c.missing).string() +
                                 "' of sound set " + (c.soundSet.empty() ? "0" : c.soundSet) + " is missing")
            << run.err;
        EXPECT_FALSE(fs::exists(wav));
    }
}

// Whether file could be marked immutable (the file system and the test's rights allow it).
bool markImmutable(const fs::path& file, bool on) {
    int code = -1;
    testsupport::runCommand("chattr " + std::string(on ? "+i" : "-i") + " '" + file.string() + "' 2>/dev/null", code);
    return code == 0;
}

TEST(OfflineRender, EveryFileTheRenderReadsOrCannotWriteIsRefusedInOneLineBeforeItsFirstFrame) {
    testsupport::TestFolder folder;
    const fs::path here = folder.path();
    // The sound sets' banks in a resources folder whose default bank is this test's own copy.
    const fs::path resources = resourcesWithout(here, "gs_instruments.dls");
    fs::copy_file(*foundation::resourcesFolder() / "gs_instruments.dls", resources / "gs_instruments.dls");
    const fs::path song = here / "song.mid";
    writeArpeggio(song);
    fs::create_symlink(song, here / "song-link.wav");
    const sf2::Bank bank = sf2::looped_sample_bank(sf2::looped_sample("Square", sf2::square_wave(64, 8), 64, 60));
    ASSERT_TRUE(bank.write((here / "square.sf2").string()));
    fs::create_hard_link(here / "square.sf2", here / "square-too.wav");
    std::ofstream(here / "immutable.wav") << "kept";
    const bool immutable = markImmutable(here / "immutable.wav", true);

    struct Case {
        fs::path target;
        std::string more;
        std::string says;
    };
    std::vector<Case> cases = {
        {resources / "gs_instruments.dls", "", "is the bank of a sound set, which the render reads"},
        {resources / "soundfont9.sf2", "--sound-set 5", "is the bank of a sound set, which the render reads"},
        {here / "song-link.wav", "", "is the song, which the render reads"},
        {here / "square-too.wav", "--soundfont '" + (here / "square.sf2").string() + "'",
         "is the chosen sound bank, which the render reads"},
        {here / (std::string(252, 'n') + ".wav"), "", "File name too long"},
    };
    if (immutable) cases.push_back({here / "immutable.wav", "", "Operation not permitted"});
    const auto contentOf = [](const fs::path& file) {
        std::error_code error;
        return fs::is_regular_file(file, error) ? readFile(file) : std::string();
    };
    const fs::path apart = here / "apart";
    fs::create_directory(apart);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.filename().string() + " " + c.more);
        const std::string before = contentOf(c.target);
        const std::vector<std::string> names = namesIn(here);
        // A render that got as far as its first frame would say so.
        const ProgramRun run = runProgram(
            apart, "--render '" + c.target.string() + "' --midi '" + song.string() + "' " + c.more + " </dev/null",
            "TUNEDECK_RESOURCES='" + resources.string() + "' TUNEDECK_TEST_HOLD_RENDER_AT_SECONDS=0 ");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.err.starts_with("Orvo-Tunedeck2: error: ")) << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(contentOf(c.target), before);
        EXPECT_EQ(namesIn(here), names);
    }
    if (immutable) markImmutable(here / "immutable.wav", false);
}

TEST(OfflineRender, ASongOfManyHoursSaysHowLongAndHowLargeItsFileWillBeBeforeItsFirstFrame) {
    testsupport::TestFolder folder;
    // One note after 2^28 - 1 ticks: more than 77 hours at 120 beats a minute.
    writeMidiFile(folder.path() / "far.mid", {{0x0FFFFFFF, {0x90, 60, 100}}});
    HeldRender render(folder.path(), {"--render", "out.wav", "--midi", "far.mid"}, 0.0);
    ASSERT_TRUE(render.started());
    const std::string error = render.errorUntilHeld();
    render.kill();
    // Where the file system has the room the render is announced, else refused.
    const std::vector<std::string> lines = programLines(error);
    ASSERT_FALSE(lines.empty()) << error;
    EXPECT_TRUE(lines[0].starts_with("Orvo-Tunedeck2: warning: 'far.mid' is long: its render writes 107.") ||
                lines[0].starts_with("Orvo-Tunedeck2: error: 'out.wav' would take 107."))
        << error;
    EXPECT_NE(lines[0].find(" GB for 77:40:"), std::string::npos) << error;
}

TEST(OfflineRender, ASongWhoseFileSizePassesWhat64BitsCountIsRefusedBeforeItsFirstFrame) {
    testsupport::TestFolder folder;
    // At one tick a quarter note and the slowest tempo (16.78 s a tick), 2^28 - 1 ticks apart: the song's frames at
    // 48 kHz pass 2^61 by a few thousand, so 8 bytes a frame wrap round 64 bits to a few kilobytes.
    constexpr uint32_t kLongestDelta = 0x0FFFFFFF;
    constexpr uint64_t kTicks = 2863311701334;
    std::vector<TrackEvent> events = {{0, {0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF}}, {0, {0xB0, 7, 100}}};
    for (uint64_t tick = 0; tick + kLongestDelta <= kTicks; tick += kLongestDelta)
        events.push_back({kLongestDelta, {0xB0, 7, 100}});
    events.push_back({static_cast<uint32_t>(kTicks % kLongestDelta), {0xB0, 7, 100}});
    writeMidiFile(folder.path() / "endless.mid", events, 1);
    HeldRender render(folder.path(), {"--render", "out.wav", "--midi", "endless.mid"}, 0.0);
    ASSERT_TRUE(render.started());
    const std::string error = render.errorUntilHeld();
    render.kill();
    const std::vector<std::string> lines = programLines(error);
    ASSERT_EQ(lines.size(), 1U) << error;
    EXPECT_TRUE(lines[0].starts_with("Orvo-Tunedeck2: error: 'out.wav' would take 9.22 EB for ")) << error;
    EXPECT_FALSE(fs::exists(folder.path() / "out.wav"));
}

TEST(MainScreenPicture, IsWrittenThroughTheRendersFileTargetWithTheReasonOfAnyRefusal) {
    testsupport::TestFolder folder;
    const fs::path here = folder.path();
    ASSERT_EQ(::mkfifo((here / "fifo.png").c_str(), 0600), 0);
    std::ofstream(here / "old.png") << "old";
    ::chmod((here / "old.png").c_str(), 0600);
    struct Case {
        fs::path target;
        std::string says;  // empty: the picture is written
    };
    const std::vector<Case> cases = {
        {here / "nofolder" / "p.png", "cannot write '" + (here / "nofolder" / "p.png").string() + "': the folder '" +
                                          (here / "nofolder").string() + "' does not exist"},
        {here / "fifo.png", "is a FIFO, not a regular file"},
        {here / "old.png", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.string());
        const ProgramRun run = runProgram(here, "--picture '" + c.target.string() + "' --size 64x48 </dev/null");
        if (!c.says.empty()) {
            EXPECT_EQ(run.exitCode, 1);
            const std::vector<std::string> errors = programLines(run.err);
            ASSERT_EQ(errors.size(), 1u) << run.err;
            EXPECT_NE(errors[0].find(c.says), std::string::npos) << run.err;
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(readFile(c.target).starts_with("\x89PNG"));
        struct stat info {};
        ASSERT_EQ(::stat(c.target.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << "a replaced file keeps its mode";
    }
    EXPECT_TRUE(fs::is_fifo(here / "fifo.png"));
}

}  // namespace
