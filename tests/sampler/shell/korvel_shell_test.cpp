// Shell loops and their streams: line reading (line ends, end of input, over-long lines), formatted answers,
// command files, the text helpers, and a command handler deleted with its instance.
#include "sampler/src/shell/korvel_cmd_text.h"
#include "sampler/src/shell/korvel_shell.h"
#include "sampler/src/korvelsynth.h"
#include "tests/sampler/support/korvel_log_capture.h"
#include "tests/sampler/support/sf2_fixture.h"
#include "tests/sampler/support/shell_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using korvel_test::captureStdout;
using korvel_test::ShellFixture;

// A descriptor from which the text can be read, ending after it.
int inputOf(const std::string& text) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  EXPECT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(fds[1]);
  return fds[0];
}

std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n = 0;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  return text;
}

std::string writeFile(const std::string& name, const std::string& text) {
  std::string path = sf2::scratch_path(name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// Runs the shell loop in this thread on the input; its failed-line count and its answers.
std::pair<int, std::string> runShell(ShellFixture& shell, const std::string& input) {
  int in = inputOf(input);
  std::FILE* answers = std::tmpfile();
  korvel_shell_t loop;
  EXPECT_EQ(korvel_shell_init(&loop, shell.settings, shell.handler, in, fileno(answers)), 0);
  int failed = korvel_shell_run(&loop);
  delete_korvel_strtok(loop.tokenizer);
  close(in);
  lseek(fileno(answers), 0, SEEK_SET);
  std::string text = readAll(fileno(answers));
  std::fclose(answers);
  return {failed, text};
}

TEST(ShellStreams, GetsSplitsLinesAtEitherLineEnd) {
  int in = inputOf("one\r\ntwo\rthree");
  char line[16];
  std::vector<std::pair<int, std::string>> got;
  for (int i = 0; i < 5; i++) {
    int n = korvel_istream_gets(in, line, sizeof line);
    got.emplace_back(n, line);
    if (n == 0) break;
  }
  close(in);
  std::vector<std::pair<int, std::string>> expected = {{1, "one"}, {1, ""}, {1, "two"}, {0, "three"}};
  EXPECT_EQ(got, expected);
}

TEST(ShellStreams, GetsRefusesOverlongLinesAndTinyBuffers) {
  char line[8];
  int in = inputOf("1234567\n");
  EXPECT_EQ(korvel_istream_gets(in, line, sizeof line), -1);
  close(in);
  in = inputOf("123456\n");
  EXPECT_EQ(korvel_istream_gets(in, line, sizeof line), 1);
  EXPECT_STREQ(line, "123456");
  EXPECT_EQ(korvel_istream_gets(in, line, 1), -1);
  close(in);
  EXPECT_LT(korvel_istream_gets(-1, line, sizeof line), 0);
}

TEST(ShellStreams, PrintfCutsLongAnswersAndSkipsEmptyOnes) {
  std::FILE* file = std::tmpfile();
  std::string longText(5000, 'x');
  EXPECT_EQ(korvel_ostream_printf(fileno(file), "%s", longText.c_str()), 4094);
  EXPECT_EQ(korvel_ostream_printf(fileno(file), "%s", ""), 0);
  lseek(fileno(file), 0, SEEK_SET);
  EXPECT_EQ(readAll(fileno(file)), std::string(4094, 'x'));
  std::fclose(file);
}

TEST(ShellText, Helpers) {
  struct NumberCase {
    const char* text;
    int number;
  };
  for (const NumberCase& c : std::vector<NumberCase>{
           {"", 1}, {"12", 1}, {"-3.5", 1}, {"+", 1}, {"..", 1}, {"1e3", 0}, {"0x10", 0}, {" 1", 0}}) {
    EXPECT_EQ(korvel_is_number(c.text), c.number) << c.text;
  }
  EXPECT_EQ(korvel_is_empty(" \t\r\n"), 1);
  EXPECT_EQ(korvel_is_empty(" x"), 0);

  const char* home = std::getenv("HOME");
  std::string saved = home != nullptr ? home : "";
  setenv("HOME", "/home/player", 1);
  char out[32];
  korvel_expand_path("~/banks/a.sf2", out, sizeof out);
  EXPECT_STREQ(out, "/home/player/banks/a.sf2");
  korvel_expand_path("~user/a.sf2", out, sizeof out);
  EXPECT_STREQ(out, "~user/a.sf2");
  korvel_expand_path("~/a-very-long-folder-name/and/more", out, sizeof out);
  EXPECT_EQ(std::string(out), std::string("/home/player/a-very-long-folder-name").substr(0, 30));
  EXPECT_STREQ(korvel_get_userconf(out, sizeof out), "/home/player/.korvelsynth");
  unsetenv("HOME");
  EXPECT_EQ(korvel_get_userconf(out, sizeof out), nullptr);
  korvel_expand_path("~/a.sf2", out, sizeof out);
  EXPECT_STREQ(out, "~/a.sf2");
  if (home != nullptr) setenv("HOME", saved.c_str(), 1);
  EXPECT_STREQ(korvel_get_sysconf(out, sizeof out), "/etc/korvelsynth.conf");
}

TEST(ShellLoop, RunsLinesUntilQuitAndCountsFailures) {
  ShellFixture shell;
  auto [failed, text] = runShell(shell, "echo a\r\nnoteon 1\n\n# note\nquit\necho never\n");
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(text, "a\nnoteon: too few arguments\ncheers!\n");
}

TEST(ShellLoop, LastLineWithoutLineEndRuns) {
  ShellFixture shell;
  auto [failed, text] = runShell(shell, "echo a\necho b");
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(text, "a\nb\n");
}

TEST(ShellLoop, OverlongLineEndsTheLoop) {
  ShellFixture shell;
  auto [failed, text] = runShell(shell, "echo a\necho " + std::string(1100, 'y') + "\necho b\n");
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(text, "a\n");
  // 1022 characters still make a line.
  auto [failed2, text2] = runShell(shell, "echo " + std::string(1017, 'z') + "\n");
  EXPECT_EQ(text2, std::string(1017, 'z') + "\n");
}

TEST(ShellLoop, ThreadlessShellRunsBeforeItIsReturned) {
  ShellFixture shell;
  int in = inputOf("echo here\n");
  std::FILE* answers = std::tmpfile();
  korvel_shell_t* loop = new_korvel_shell(shell.settings, shell.handler, in, fileno(answers), 0);
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->thread, nullptr);
  lseek(fileno(answers), 0, SEEK_SET);
  EXPECT_EQ(readAll(fileno(answers)), "here\n");
  delete_korvel_shell(loop);
  close(in);
  std::fclose(answers);
}

TEST(ShellSource, RunsEveryLineOfAFileOnStandardOutput) {
  ShellFixture shell;
  std::string path = writeFile("commands.txt", "echo one\r\n# skipped\nnoteon 0\r\necho last");
  int failed = 0;
  std::string text = captureStdout([&] { failed = korvel_source(shell.handler, path.c_str()); });
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(text, "one\nnoteon: too few arguments\nlast\n");

  korvel_test::Answer answer;
  text = captureStdout([&] { answer = shell.run("source " + path); });
  EXPECT_EQ(answer.result, -1);
  EXPECT_EQ(text, "one\nnoteon: too few arguments\nlast\n");
}

TEST(ShellSource, MissingFileIsPassedOverAndQuitEndsOnlyTheFile) {
  ShellFixture shell;
  EXPECT_EQ(korvel_source(shell.handler, "/nonexistent/commands.txt"), -1);
  korvel_test::Answer missing = shell.run("source /nonexistent/commands.txt");
  EXPECT_EQ(missing.result, 0);
  EXPECT_EQ(missing.text, "");
  EXPECT_EQ(shell.run("source").text, "source: too few arguments.\n");

  std::string path = writeFile("quits.txt", "echo in\nquit\necho after\n");
  std::string text = captureStdout([&] { EXPECT_EQ(shell.run("source " + path).result, 0); });
  EXPECT_EQ(text, "in\ncheers!\n");
}

TEST(ShellSource, FileThatSourcesItselfStopsAtTheNestingLimit) {
  ShellFixture shell;
  std::string path = sf2::scratch_path("self.txt");
  std::ofstream(path) << "echo x\nsource " << path << "\n";
  korvel_test::Answer answer;
  std::string text = captureStdout([&] { answer = shell.run("source " + path); });
  EXPECT_EQ(answer.result, -1);
  std::string expected;
  for (int i = 0; i < 16; i++) expected += "x\n";
  EXPECT_EQ(text, expected + "source: too deeply nested\n");
}

TEST(ShellInstance, FinalisingAnInstanceDeletesItsCommandHandler) {
  korvel_test::LogCapture log;
  std::string bank = sf2::scratch_path("general.sf2");
  ASSERT_TRUE(sf2::general_bank().write(bank));
  constexpr unsigned int kId = 7301;
  std::string text = captureStdout([&] {
    ASSERT_EQ(KorvelInitialize("/tmp", bank.c_str(), kId), 0);
    EXPECT_EQ(korvelsynth_set_cmd_handler(kId, new_korvel_cmd_handler(KorvelGetSynth(kId))), 0);
    // A replaced handler is deleted at once.
    EXPECT_EQ(korvelsynth_set_cmd_handler(kId, new_korvel_cmd_handler(KorvelGetSynth(kId))), 0);
    EXPECT_EQ(korvelsynth_set_cmd_handler(kId + 1, nullptr), -1);
    EXPECT_EQ(KorvelFinalize(kId), 0);
  });
  EXPECT_NE(text.find("Soundfont Synthesizer: Der Synthesizer wird finalisiert... \n"
                      "Soundfont Synthesizer: Der Kommando Handler wurde gelöscht. \n"),
            std::string::npos)
      << text;
}

}  // namespace
