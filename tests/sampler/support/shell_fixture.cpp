#include "tests/sampler/support/shell_fixture.h"

#include "tests/sampler/support/sf2_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace korvel_test {

namespace {

std::string drain(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

}  // namespace

ShellFixture::ShellFixture() {
  settings = new_korvel_settings();
  korvel_settings_setint(settings, "synth.polyphony", 32);
  synth = new_korvel_synth(settings);
  handler = new_korvel_cmd_handler(synth);
  if (pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0) ADD_FAILURE() << "no pipe";
}

ShellFixture::~ShellFixture() {
  delete_korvel_cmd_handler(handler);
  delete_korvel_synth(synth);
  delete_korvel_settings(settings);
  close(pipe_[0]);
  close(pipe_[1]);
}

Answer ShellFixture::run(const std::string& line) {
  std::vector<char> text(line.begin(), line.end());
  text.push_back('\0');
  int result = korvel_command(handler, text.data(), pipe_[1]);
  return {result, drain(pipe_[0])};
}

std::string ShellFixture::loadGeneralBank() {
  std::string path = sf2::scratch_path("general.sf2");
  EXPECT_TRUE(sf2::general_bank().write(path));
  Answer answer = run("load " + path);
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.text, "loaded SoundFont has ID 1\n");
  return path;
}

std::string captureStdout(const std::function<void()>& body) {
  std::fflush(stdout);
  FILE* file = std::tmpfile();
  int saved = dup(STDOUT_FILENO);
  dup2(fileno(file), STDOUT_FILENO);
  body();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  std::rewind(file);
  std::string text;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

}  // namespace korvel_test
