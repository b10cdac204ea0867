// A synthesizer with a command handler whose answers are captured, for the command shell tests.
#pragma once

#include "sampler/src/shell/korvel_cmd.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth.h"

#include <functional>
#include <string>

namespace korvel_test {

// The result of one command line and everything it wrote.
struct Answer {
  int result;
  std::string text;
};

class ShellFixture {
 public:
  ShellFixture();
  ~ShellFixture();
  ShellFixture(const ShellFixture&) = delete;
  ShellFixture& operator=(const ShellFixture&) = delete;

  // Runs the line through korvel_command with answers on a pipe.
  Answer run(const std::string& line);
  // Loads the general fixture bank through the "load" command; its path.
  std::string loadGeneralBank();

  korvel_settings_t* settings = nullptr;
  korvel_synth_t* synth = nullptr;
  korvel_cmd_handler_t* handler = nullptr;

 private:
  int pipe_[2] = {-1, -1};
};

// Everything `body` writes on standard output (descriptor 1), through a temporary file.
std::string captureStdout(const std::function<void()>& body);

}  // namespace korvel_test
