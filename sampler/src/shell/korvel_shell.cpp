#include "sampler/src/shell/korvel_shell.h"

#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace {

constexpr int kMaxSourceDepth = 16;

// Files being sourced by the thread's shell right now; a file that sources itself stops here instead of
// exhausting the stack.
thread_local int sourceDepth = 0;

void runOnThread(void* shell) { korvel_shell_run(static_cast<korvel_shell_t*>(shell)); }

}  // namespace

extern "C" {

int korvel_shell_init(korvel_shell_t* shell, korvel_settings_t* settings, korvel_cmd_handler_t* handler,
                      korvel_istream_t in, korvel_ostream_t out) {
  shell->settings = settings;
  shell->handler = handler;
  shell->thread = nullptr;
  shell->in = in;
  shell->out = out;
  shell->tokenizer = new_korvel_strtok(nullptr, nullptr);
  return shell->tokenizer != nullptr ? 0 : -1;
}

korvel_shell_t* new_korvel_shell(korvel_settings_t* settings, korvel_cmd_handler_t* handler, korvel_istream_t in,
                                 korvel_ostream_t out, int thread) {
  auto* shell = new (std::nothrow) korvel_shell_t{};
  if (shell == nullptr || korvel_shell_init(shell, settings, handler, in, out) != 0) {
    korvel_log(KORVEL_PANIC, "Out of memory");
    delete shell;
    return nullptr;
  }
  if (thread == 0) {
    korvel_shell_run(shell);
    return shell;
  }
  shell->thread = new_korvel_thread(runOnThread, shell, 0);
  if (shell->thread == nullptr) {
    delete_korvel_shell(shell);
    return nullptr;
  }
  return shell;
}

void delete_korvel_shell(korvel_shell_t* shell) {
  if (shell == nullptr) return;
  if (shell->thread != nullptr) {
    korvel_thread_join(shell->thread);
    delete_korvel_thread(shell->thread);
  }
  delete_korvel_strtok(shell->tokenizer);
  delete shell;
}

int korvel_shell_run(korvel_shell_t* shell) {
  const char* prompt = "";
  if (shell->settings != nullptr) korvel_settings_getstr(shell->settings, "shell.prompt", &prompt);
  char line[KORVEL_SHELL_LINE_SIZE];
  int errors = 0;
  for (;;) {
    int n = korvel_istream_readline(shell->in, prompt, line, sizeof line);
    if (n < 0) break;
    int result = korvel_command2(shell->tokenizer, shell->handler, line, shell->out);
    if (result == KORVEL_CMD_QUIT) break;
    if (result == -1) errors++;
    if (n == 0) break;
  }
  return errors;
}

int korvel_usershell(korvel_settings_t* settings, korvel_cmd_handler_t* handler) {
  korvel_shell_t shell;
  if (korvel_shell_init(&shell, settings, handler, korvel_get_stdin(), korvel_get_stdout()) != 0) return -1;
  int errors = korvel_shell_run(&shell);
  delete_korvel_strtok(shell.tokenizer);
  return errors;
}

int korvel_source(korvel_cmd_handler_t* handler, const char* filename) {
  int file = open(filename, O_RDONLY | O_CLOEXEC);
  if (file < 0) return -1;
  korvel_shell_t shell;
  int errors = -1;
  if (korvel_shell_init(&shell, nullptr, handler, file, korvel_get_stdout()) == 0) {
    errors = korvel_shell_run(&shell);
  }
  delete_korvel_strtok(shell.tokenizer);
  close(file);
  return errors;
}

int korvel_handle_source(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) {
    korvel_ostream_printf(out, "source: too few arguments.\n");
    return -1;
  }
  if (sourceDepth >= kMaxSourceDepth) {
    korvel_ostream_printf(out, "source: too deeply nested\n");
    return -1;
  }
  sourceDepth++;
  int errors = korvel_source(static_cast<korvel_cmd_handler_t*>(data), av[0]);
  sourceDepth--;
  return errors > 0 ? -1 : 0;
}

}  // extern "C"
