// The korvelshell program run on command files: the WAV it renders (read back by soxi and libsndfile), its
// answers, its exit status, and the "render" command's refusals.
#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
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

TEST(KorvelShellProgram, SampleRateOptionAndFailedLines)
{
    const std::string wav = sf2::scratch_path("out.wav");
    const std::string commands = writeFile("bad.txt", "render 100\nnoteon 0\nrender -5\nrender soon\nrender\n");
    const ProgramRun run = runCommand(program("-r 24000 -o " + wav + " " + bankPath() + " " + commands));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("noteon: too few arguments\nrender: invalid duration.\nrender: invalid duration.\n"
                              "render: too few arguments.\n"),
              std::string::npos)
        << run.output;
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

} // namespace
