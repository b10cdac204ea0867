// The korvelshell program run on command files: the WAV it renders (read back by soxi and libsndfile), its
// answers, its exit status, and the "render" command's refusals.
#include "tests/sampler/support/sf2_fixture.h"
#include "tools/korvelshell/OfflineRender.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

struct ProgramRun {
    int status;
    std::string output;
};

// Runs a shell command line and collects its standard output and exit status.
ProgramRun runCommand(const std::string& command)
{
    ProgramRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string writeFile(const std::string& name, const std::string& text)
{
    const std::string path = sf2::scratch_path(name);
    std::ofstream(path) << text;
    return path;
}

std::string bankPath()
{
    const std::string path = sf2::scratch_path("general.sf2");
    EXPECT_TRUE(sf2::general_bank().write(path));
    return path;
}

// A WAV file's frames, left and right interleaved.
std::vector<float> readWav(const std::string& path, SF_INFO& info)
{
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return {};
    }
    std::vector<float> frames(static_cast<size_t>(info.frames) * 2);
    sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    return frames;
}

// The first frame from `from` on where either channel is louder than the last bit of 16 bits, or -1.
long firstSound(const std::vector<float>& frames, long from)
{
    for (size_t i = static_cast<size_t>(2 * from); i < frames.size(); i++) {
        if (std::fabs(frames[i]) > 1.5f / 32768.0f) {
            return static_cast<long>(i / 2);
        }
    }
    return -1;
}

std::string program(const std::string& arguments)
{
    return std::string(KORVELSHELL_PROGRAM) + " " + arguments + " 2>/dev/null";
}

TEST(KorvelShellProgram, RendersACommandFileIntoAWavOfTheScriptedLength)
{
    const std::string wav = sf2::scratch_path("out.wav");
    const std::string commands = writeFile("play.txt",
                                           "# a note of half a second, then its release\n"
                                           "noteon 0 60 100\n"
                                           "render 500\n"
                                           "noteoff 0 60\n"
                                           "render 250\n"
                                           "echo rendered\n");
    const ProgramRun run = runCommand(program("-o " + wav + " " + bankPath() + " " + commands));
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("rendered\n"), std::string::npos);

    EXPECT_EQ(runCommand("soxi -s " + wav).output, "36000\n");
    EXPECT_EQ(runCommand("soxi -r " + wav).output, "48000\n");
    EXPECT_EQ(runCommand("soxi -c " + wav).output, "2\n");

    SF_INFO info{};
    SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    std::vector<float> frames(static_cast<size_t>(info.frames) * 2);
    EXPECT_EQ(sf_readf_float(file, frames.data(), info.frames), info.frames);
    sf_close(file);
    double sum = 0.0;
    for (size_t i = 0; i < 2 * 24000; i++) {
        sum += frames[i] * frames[i];
    }
    EXPECT_GT(std::sqrt(sum / (2 * 24000)), 0.01) << "the note is heard";
}

TEST(KorvelShellProgram, ANormalSessionWithADrumThatEndedByItselfSucceeds)
{
    const std::string commands = writeFile("drum.txt", "noteon 9 42 100\nrender 3000\nnoteoff 9 42\n");
    const ProgramRun run = runCommand(program(bankPath() + " " + commands));
    EXPECT_EQ(run.status, 0) << run.output;
}

TEST(KorvelShellProgram, RendersASongWithEveryEventAtItsFrameAndTheFilesTempo)
{
    // 480 ticks a quarter. At 120 bpm the first note starts at tick 480 (0.5 s, frame 24000); from there the tempo
    // doubles, so its note-off at tick 720 falls on frame 30000 and the second note at tick 960 on frame 36000.
    const std::string csv = writeFile("song.csv", "0, 0, Header, 1, 1, 480\n"
                                                  "1, 0, Start_track\n"
                                                  "1, 0, Tempo, 500000\n"
                                                  "1, 480, Tempo, 250000\n"
                                                  "1, 480, Note_on_c, 0, 69, 100\n"
                                                  "1, 720, Note_off_c, 0, 69, 0\n"
                                                  "1, 960, Note_on_c, 1, 76, 100\n"
                                                  "1, 1200, Note_off_c, 1, 76, 0\n"
                                                  "1, 1200, End_track\n"
                                                  "0, 0, End_of_file\n");
    const std::string song = sf2::scratch_path("song.mid");
    ASSERT_EQ(runCommand("csvmidi " + csv + " " + song).status, 0);
    const std::string bank = bankPath();
    for (const char* profile : {"", "--as-specified "}) {
        SCOPED_TRACE(profile);
        const std::string wav = sf2::scratch_path("song.wav");
        ASSERT_EQ(runCommand(program(std::string(profile) + "-o " + wav + " " + bank + " " + song)).status, 0);
        SF_INFO info{};
        const std::vector<float> frames = readWav(wav, info);
        ASSERT_EQ(info.samplerate, 48000);
        if (*profile == '\0') {
            EXPECT_NEAR(firstSound(frames, 0), 24000, 1);
            EXPECT_NEAR(firstSound(frames, 31000), 36000, 1) << "silent between the notes";
        } else {
            // The library's own defaults start notes at its next 256-frame block.
            EXPECT_NEAR(firstSound(frames, 0), 24000 + 128, 128);
            EXPECT_NEAR(firstSound(frames, 31000), 36000 + 128, 128);
        }
        EXPECT_GE(info.frames, 42000) << "the song plays to its end";
        EXPECT_LT(info.frames, 42000 + 48000) << "and its tail stops once quiet";
    }
}

TEST(KorvelShellProgram, SampleRateOptionAndFailedLines)
{
    const std::string wav = sf2::scratch_path("out.wav");
    std::filesystem::remove(wav);
    const std::string commands = writeFile("bad.txt", "render 100\nnoteon 0\nrender -5\nrender soon\nrender\n");
    const ProgramRun run = runCommand(program("-r 24000 -o " + wav + " " + bankPath() + " " + commands));
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(std::filesystem::exists(wav)) << "a run with failed lines writes no file";
    EXPECT_NE(runCommand(std::string(KORVELSHELL_PROGRAM) + " " + bankPath() + " " + commands + " 2>&1 >/dev/null")
                  .output.find("korvelshell: some commands failed\n"),
              std::string::npos);
    EXPECT_NE(run.output.find("noteon: too few arguments\nrender: invalid duration.\nrender: invalid duration.\n"
                              "render: too few arguments.\n"),
              std::string::npos)
        << run.output;
    ASSERT_EQ(runCommand(program("-r 24000 -o " + wav + " " + bankPath() + " " + writeFile("good.txt", "render 100\n")))
                  .status,
              0);
    EXPECT_EQ(runCommand("soxi -s " + wav).output, "2400\n");
    EXPECT_EQ(runCommand("soxi -r " + wav).output, "24000\n");
}

TEST(KorvelShellProgram, SetupFailuresExitWithTwo)
{
    const std::string bank = bankPath();
    EXPECT_EQ(runCommand(program("")).status, 2);
    EXPECT_EQ(runCommand(program("-r fast " + bank)).status, 2);
    EXPECT_EQ(runCommand(program(sf2::scratch_path("missing.sf2"))).status, 2);
    EXPECT_EQ(runCommand(program(bank + " " + sf2::scratch_path("missing.txt"))).status, 2);
    EXPECT_EQ(runCommand(program("-o /nonexistent/folder/out.wav " + bank + " /dev/null")).status, 2);
}

TEST(KorvelShellProgram, ReadsCommandsFromStandardInputUntilQuit)
{
    const ProgramRun run = runCommand("printf 'echo one\\nquit\\necho two\\n' | " + program(bankPath()));
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("one\ncheers!\n"), std::string::npos);
    EXPECT_EQ(run.output.find("two"), std::string::npos);
}

// A command file that is a pipe (bash's process substitution) is read from its first byte: telling a song from
// commands must not take anything from it.
TEST(KorvelShellProgram, ReadsACommandFileThatIsAPipeWhole)
{
    const std::string script = writeFile("pipe.sh", program(bankPath() + " <(printf 'echo one\\necho two\\n')"));
    const ProgramRun run = runCommand("bash " + script);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("one\ntwo\n"), std::string::npos) << run.output;
}

TEST(KorvelShellProgram, EveryAnswerEndsItsLine)
{
    const ProgramRun run =
        runCommand("printf 'get synth.sample-rate\\nget synth\\nget synth.verbose\\nbogus\\nquit\\n' | " +
                   program(bankPath()));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("48000.000\nsynth is a node\nno\nunknown command: bogus (try help)\ncheers!\n"),
              std::string::npos)
        << run.output;
}

TEST(KorvelShellProgram, ARateOutsideTheSynthesizersRangeIsUsedAtItsEdgeWithAWarning)
{
    struct Case {
        const char* asked;
        const char* used;
    };
    const std::string bank = bankPath();
    const std::string commands = writeFile("short.txt", "render 100\n");
    for (const Case& c : {Case{"22050", "24000"}, Case{"192000", "96000"}}) {
        SCOPED_TRACE(c.asked);
        const std::string wav = sf2::scratch_path("rate.wav");
        const ProgramRun run = runCommand(std::string(KORVELSHELL_PROGRAM) + " -r " + c.asked + " -o " + wav + " " +
                                          bank + " " + commands + " 2>&1 >/dev/null");
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.output.find(std::string("korvelshell: warning: the synthesizer takes sample rates from 24000 "
                                              "to 96000 Hz; using ") +
                                  c.used + " Hz instead of " + c.asked + " Hz\n"),
                  std::string::npos)
            << run.output;
        EXPECT_EQ(runCommand("soxi -r " + wav).output, std::string(c.used) + "\n");
    }
    EXPECT_EQ(runCommand(std::string(KORVELSHELL_PROGRAM) + " -r 44100 " + bank + " " + commands + " 2>&1 >/dev/null")
                  .output.find("korvelshell: warning"),
              std::string::npos);
}

TEST(KorvelShellProgram, HelpPrintsTheUsageOnStandardOutput)
{
    for (const char* option : {"-h", "--help"}) {
        SCOPED_TRACE(option);
        const ProgramRun run = runCommand(std::string(KORVELSHELL_PROGRAM) + " " + option + " 2>&1");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output.rfind("usage: korvelshell [-o out.wav] [-r sample-rate]", 0), 0u) << run.output;
    }
    EXPECT_EQ(runCommand(std::string(KORVELSHELL_PROGRAM) + " --bogus 2>/dev/null").output, "");
}

// A song as loud as a file can ask for: every channel at full volume plays six-note chords at full velocity, four
// bars long. Written by csvmidi from the text.
std::string loudSong()
{
    std::string csv = "0, 0, Header, 1, 1, 480\n1, 0, Start_track\n";
    for (int channel = 0; channel < 16; channel++) {
        csv += "1, 0, Control_c, " + std::to_string(channel) + ", 7, 127\n";
    }
    for (int bar = 0; bar < 4; bar++) {
        for (const bool on : {true, false}) {
            const int tick = bar * 960 + (on ? 0 : 900);
            for (int channel = 0; channel < 16; channel++) {
                for (int key : {48, 52, 55, 60, 64, 67}) {
                    csv += "1, " + std::to_string(tick) + (on ? ", Note_on_c, " : ", Note_off_c, ") +
                           std::to_string(channel) + ", " + std::to_string(key + 2 * (bar % 2)) +
                           (on ? ", 127\n" : ", 0\n");
                }
            }
        }
    }
    csv += "1, 3840, End_track\n0, 0, End_of_file\n";
    const std::string song = sf2::scratch_path("loud.mid");
    EXPECT_EQ(runCommand("csvmidi " + writeFile("loud.csv", csv) + " " + song).status, 0);
    return song;
}

// The loud song drives the mix far past full scale; the file holds it at the limiter's ceiling, with not one point
// at the largest value 16 bits have.
TEST(KorvelShellProgram, ALoudSongIsLimitedBelowFullScaleWithoutAClippedPoint)
{
    const std::string wav = sf2::scratch_path("loud.wav");
    ASSERT_EQ(runCommand(program("-o " + wav + " " + bankPath() + " " + loudSong())).status, 0);
    SF_INFO info{};
    const std::vector<float> frames = readWav(wav, info);
    ASSERT_FALSE(frames.empty());
    long loudest = 0;
    long clipped = 0;
    for (float frame : frames) {
        const long point = std::lround(std::fabs(frame) * 32768.0f);
        loudest = std::max(loudest, point);
        clipped += point >= 32767 ? 1 : 0;
    }
    EXPECT_EQ(clipped, 0);
    const double ceiling = 32768.0 * std::pow(10.0, korvelshell::OfflineRender::CEILING_DECIBELS / 20.0);
    EXPECT_LE(loudest, ceiling + 1.0);
    EXPECT_GT(loudest, 0.9 * ceiling) << "the song reaches the limiter";
}

// Input that fails (a song whose track header claims 4 GB, which the host refuses too; a command file that is not
// there) leaves no WAV file, no file beside it, and an older file of that name as it was.
TEST(KorvelShellProgram, FailingInputLeavesNoFileAndAnOlderOneAsItWas)
{
    std::string bytes;
    {
        std::ifstream in(loudSong(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t track = bytes.find("MTrk");
    ASSERT_NE(track, std::string::npos);
    bytes.replace(track + 4, 4, "\xFF\xFF\xFF\xF0");
    const std::string huge = writeFile("huge.mid", bytes);
    const std::string bank = bankPath();
    for (const std::string& input : {huge, sf2::scratch_path("missing.txt")}) {
        SCOPED_TRACE(input);
        const std::filesystem::path folder = sf2::scratch_path("failing");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const std::filesystem::path wav = folder / "out.wav";
        const ProgramRun fresh = runCommand(std::string(KORVELSHELL_PROGRAM) + " -o " + wav.string() + " " + bank +
                                            " " + input + " 2>&1 >/dev/null");
        EXPECT_EQ(fresh.status, 2);
        EXPECT_TRUE(std::filesystem::is_empty(folder));

        writeFile("failing/out.wav", "an older file");
        EXPECT_EQ(runCommand(program("-o " + wav.string() + " " + bank + " " + input)).status, 2);
        std::ifstream older(wav);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(older), {}), "an older file");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    }
    EXPECT_NE(runCommand(program(bank + " " + huge) + " ; " + std::string(KORVELSHELL_PROGRAM) + " " + bank + " " +
                         huge + " 2>&1 >/dev/null")
                  .output.find("korvelshell: cannot play the MIDI file '" + huge +
                               "': it is not a well-formed standard MIDI file"),
              std::string::npos);
}

} // namespace

namespace {

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A file that begins as a SoundFont does, says how long it is, and holds nothing but zeros after that.
std::string zeroedBank()
{
    std::string bytes = std::string("RIFF") + std::string("\x04\x04\x00\x00", 4) + "sfbk" + std::string(1024, '\0');
    return writeFile("zeroed.sf2", bytes);
}

} // namespace

// Each way a run can fail says why in one line on standard error and leaves an earlier output file as it was, with
// nothing beside it.
TEST(KorvelShellProgram, AFailingRunSaysWhyInOneLineAndKeepsAnEarlierOutput)
{
    struct Case {
        const char* name;
        std::string bank;
        std::string input;
        int status;
        std::string line; // what the one line on standard error begins with
    };
    const std::string bank = bankPath();
    const std::string song = writeFile("words.mid", "noteon 0 60 100\nrender 100\n");
    const std::string missing = sf2::scratch_path("missing.sf2");
    const std::string text = writeFile("text.sf2", "not a bank\n");
    const std::string cut = writeFile("cut.sf2", readFile(bank).substr(0, 1000));
    const std::string zeroed = zeroedBank();
    const std::string commands = writeFile("failing.txt", "noteon 0 60 100\nrender 100\nbogus\n");
    const std::string folder = sf2::scratch_path("commands.d");
    std::filesystem::create_directories(folder);
    const std::string absent = sf2::scratch_path("absent.txt");
    const std::string prefix = "korvelshell: ";
    const Case cases[] = {
        {"a song that is no MIDI file", bank, song, 2,
         prefix + "cannot play the MIDI file '" + song +
             "': it is not a well-formed standard MIDI file (or larger than one can be)"},
        {"a missing bank", missing, commands, 2,
         prefix + "cannot load the SoundFont '" + missing + "': there is no such file"},
        {"a bank of another kind", text, commands, 2,
         prefix + "cannot load the SoundFont '" + text + "': it is not a SoundFont 2 (.sf2) file"},
        {"a bank cut short", cut, commands, 2,
         prefix + "cannot load the SoundFont '" + cut + "': it is cut short (1000 of "},
        {"a bank the library refuses", zeroed, commands, 2,
         prefix + "cannot load the SoundFont '" + zeroed +
             "': its content is damaged or of a kind this program does not read"},
        {"a command file with a failing line", bank, commands, 1, prefix + "some commands failed"},
        {"a command file that is a folder", bank, folder, 2,
         prefix + "cannot open the command file '" + folder + "': Is a directory"},
        {"a missing command file", bank, absent, 2,
         prefix + "cannot open the command file '" + absent + "': No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path folder = sf2::scratch_path("kept");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const std::filesystem::path wav = folder / "out.wav";
        std::ofstream(wav) << "an earlier render";
        const ProgramRun run = runCommand(std::string(KORVELSHELL_PROGRAM) + " -o " + wav.string() + " " + c.bank +
                                          " " + c.input + " 2>&1 >/dev/null");
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.output.rfind(c.line, 0), 0u) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_TRUE(readFile(wav) == "an earlier render") << "the earlier output was replaced";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    }
}

// A note whose note-off falls on the tick of its note-on is played as the host plays it: note-offs go first among
// the messages of one frame, so it sounds as the same note without a note-off does (until its key is struck again).
TEST(KorvelShellProgram, ANoteWhoseNoteOffSharesItsTickSoundsAsAHeldNote)
{
    struct Case {
        const char* name;
        int channel;
        int key;
        bool offInOwnTrack; // else the note-off comes from a second track
    };
    const std::string bank = bankPath();
    // The note at tick 480 (frame 24000), the same key again at tick 1440 (frame 72000), which ends the first.
    const auto render = [&](const Case& c, const char* firstOff) {
        const std::string ch = std::to_string(c.channel);
        const std::string key = std::to_string(c.key);
        std::string csv = "0, 0, Header, 1, 2, 480\n"
                          "1, 0, Start_track\n"
                          "1, 0, Program_c, " + ch + ", 0\n"
                          "1, 480, Note_on_c, " + ch + ", " + key + ", 100\n";
        std::string second = "2, 0, Start_track\n";
        if (firstOff != nullptr) {
            (c.offInOwnTrack ? csv : second) += std::string(c.offInOwnTrack ? "1" : "2") + ", " + firstOff +
                                                ", Note_off_c, " + ch + ", " + key + ", 0\n";
        }
        csv += "1, 1440, Note_on_c, " + ch + ", " + key + ", 100\n"
               "1, 1500, Note_off_c, " + ch + ", " + key + ", 0\n"
               "1, 1500, End_track\n" + second + "2, 1500, End_track\n0, 0, End_of_file\n";
        const std::string song = sf2::scratch_path("zero.mid");
        EXPECT_EQ(runCommand("csvmidi " + writeFile("zero.csv", csv) + " " + song).status, 0);
        const std::string wav = sf2::scratch_path("zero.wav");
        EXPECT_EQ(runCommand(program("-o " + wav + " " + bank + " " + song)).status, 0);
        SF_INFO info{};
        const std::vector<float> frames = readWav(wav, info);
        double sum = 0.0;
        for (size_t i = 2 * 24000; i < std::min<size_t>(frames.size(), 2 * 48000); i++) {
            sum += frames[i] * frames[i];
        }
        return 10.0 * std::log10(sum / (2 * 24000) + 1e-20);
    };
    for (const Case& c : {Case{"a looped melodic note", 0, 60, true}, Case{"a drum hit", 9, 36, true},
                          Case{"a note-off from another track", 0, 60, false}}) {
        SCOPED_TRACE(c.name);
        const double held = render(c, nullptr);
        EXPECT_GT(held, -60.0) << "the held note is heard";
        EXPECT_NEAR(render(c, "480"), held, 1.0);
    }
}
