// A shell on its own thread: it reads commands as they arrive on its input, answers on its output, and deleting it
// waits for the loop to end once the input is closed.
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/shell/korvel_shell.h"
#include "sampler/src/synth/korvel_synth.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

std::string readAll(int fd) {
  std::string text;
  char buffer[1024];
  ssize_t n = 0;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
  return text;
}

void send(int fd, const std::string& text) {
  ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

TEST(ShellThread, RunsCommandsFromItsInputUntilTheInputEnds) {
  korvel_settings_t* settings = new_korvel_settings();
  korvel_settings_setint(settings, "synth.polyphony", 16);
  korvel_synth_t* synth = new_korvel_synth(settings);
  korvel_cmd_handler_t* handler = new_korvel_cmd_handler(synth);
  int input[2];
  int output[2];
  ASSERT_EQ(pipe(input), 0);
  ASSERT_EQ(pipe(output), 0);

  korvel_shell_t* shell = new_korvel_shell(settings, handler, input[0], output[1], 1);
  ASSERT_NE(shell, nullptr);
  EXPECT_NE(shell->thread, nullptr);
  send(input[1], "echo first\n");
  char answer[7] = {};
  ASSERT_EQ(read(output[0], answer, 6), 6);
  EXPECT_STREQ(answer, "first\n");
  send(input[1], "set synth.gain 0.75\ngain 2\necho done");
  close(input[1]);
  delete_korvel_shell(shell);
  close(output[1]);
  EXPECT_EQ(readAll(output[0]), "done\n");
  EXPECT_FLOAT_EQ(korvel_synth_get_gain(synth), 2.0f);

  close(input[0]);
  close(output[0]);
  delete_korvel_cmd_handler(handler);
  delete_korvel_synth(synth);
  delete_korvel_settings(settings);
}

TEST(ShellThread, QuitEndsTheLoopWhileTheInputStaysOpen) {
  korvel_cmd_handler_t* handler = new_korvel_cmd_handler(nullptr);
  int input[2];
  int output[2];
  ASSERT_EQ(pipe(input), 0);
  ASSERT_EQ(pipe(output), 0);
  korvel_cmd_t quit = {"quit", "general", [](void*, int, char**, korvel_ostream_t out) {
                         korvel_ostream_printf(out, "bye\n");
                         return -2;
                       },
                       nullptr, "quit"};
  ASSERT_EQ(korvel_cmd_handler_register(handler, &quit), 0);
  korvel_shell_t* shell = new_korvel_shell(nullptr, handler, input[0], output[1], 1);
  ASSERT_NE(shell, nullptr);
  send(input[1], "quit\n");
  delete_korvel_shell(shell);
  close(output[1]);
  EXPECT_EQ(readAll(output[0]), "bye\n");
  close(input[0]);
  close(input[1]);
  close(output[0]);
  delete_korvel_cmd_handler(handler);
}

}  // namespace
