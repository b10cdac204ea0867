#include "sampler/src/shell/korvel_cmd.h"

#include <cstring>
#include <new>

#include "sampler/src/shell/korvel_shell.h"
#include "sampler/src/sys/korvel_sys.h"

namespace {

constexpr const char* kDelimiters = " \t\n\r";

char* copyText(const char* text) {
  if (text == nullptr) return nullptr;
  size_t size = std::strlen(text) + 1;
  char* copy = new (std::nothrow) char[size];
  if (copy != nullptr) std::memcpy(copy, text, size);
  return copy;
}

void deleteRow(void* value, int /*type*/) {
  auto* row = static_cast<korvel_cmd_t*>(value);
  delete[] row->name;
  delete[] row->topic;
  delete[] row->help;
  delete row;
}

korvel_cmd_t* copyRow(const korvel_cmd_t* cmd) {
  auto* row = new (std::nothrow) korvel_cmd_t{};
  if (row == nullptr) return nullptr;
  row->name = copyText(cmd->name);
  row->topic = copyText(cmd->topic);
  row->help = copyText(cmd->help);
  row->handler = cmd->handler;
  row->data = cmd->data;
  if ((cmd->name && !row->name) || (cmd->topic && !row->topic) || (cmd->help && !row->help)) {
    deleteRow(row, 0);
    return nullptr;
  }
  return row;
}

const korvel_cmd_t kSource = {"source", "general", korvel_handle_source, nullptr,
                              "source filename            Load a file and parse every line as a command"};

}  // namespace

extern "C" {

korvel_cmd_handler_t* new_korvel_cmd_handler(void* synth) {
  korvel_cmd_handler_t* handler = new_korvel_hashtable(deleteRow);
  if (handler == nullptr) return nullptr;
  if (synth != nullptr) {
    for (const korvel_cmd_t* cmd = korvel_commands; cmd->name != nullptr; cmd++) {
      korvel_cmd_t row = *cmd;
      row.data = synth;
      if (korvel_cmd_handler_register(handler, &row) != 0) {
        delete_korvel_cmd_handler(handler);
        return nullptr;
      }
    }
  }
  korvel_cmd_t source = kSource;
  source.data = handler;
  if (korvel_cmd_handler_register(handler, &source) != 0) {
    delete_korvel_cmd_handler(handler);
    return nullptr;
  }
  return handler;
}

void delete_korvel_cmd_handler(korvel_cmd_handler_t* handler) { delete_korvel_hashtable(handler); }

int korvel_cmd_handler_register(korvel_cmd_handler_t* handler, const korvel_cmd_t* cmd) {
  korvel_cmd_t* row = copyRow(cmd);
  if (row == nullptr || korvel_hashtable_replace(handler, cmd->name, row, 0) != 0) {
    if (row != nullptr) deleteRow(row, 0);
    korvel_log(KORVEL_PANIC, "Out of memory");
    return -1;
  }
  return 0;
}

int korvel_cmd_handler_unregister(korvel_cmd_handler_t* handler, const char* name) {
  return korvel_hashtable_remove(handler, name);
}

int korvel_cmd_handler_handle(korvel_cmd_handler_t* handler, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return -1;
  void* value = nullptr;
  if (korvel_hashtable_lookup(handler, av[0], &value, nullptr)) {
    auto* row = static_cast<korvel_cmd_t*>(value);
    if (row->handler != nullptr) return row->handler(row->data, ac - 1, av + 1, out);
  }
  korvel_ostream_printf(out, "unknown command: %s (try help)\n", av[0]);
  return -1;
}

int korvel_command(korvel_cmd_handler_t* handler, char* line, korvel_ostream_t out) {
  korvel_strtok_t* tokenizer = new_korvel_strtok(line, kDelimiters);
  if (tokenizer == nullptr) return -1;
  int result = korvel_command2(tokenizer, handler, line, out);
  delete_korvel_strtok(tokenizer);
  return result;
}

int korvel_command2(korvel_strtok_t* tokenizer, korvel_cmd_handler_t* handler, char* line, korvel_ostream_t out) {
  if (line[0] == '#') return 1;
  korvel_strtok_set(tokenizer, line, kDelimiters);
  char* av[KORVEL_CMD_MAX_TOKENS];
  int ac = 0;
  while (char* token = korvel_strtok_next_token(tokenizer)) {
    if (ac == KORVEL_CMD_MAX_TOKENS) {
      korvel_ostream_printf(out, "%s: too many arguments\n", av[0]);
      return -1;
    }
    av[ac++] = token;
  }
  if (ac == 0) return 1;
  return korvel_cmd_handler_handle(handler, ac, av, out);
}

int korvel_handle_mstat(void* /*data*/, int /*ac*/, char** /*av*/, korvel_ostream_t out) {
  korvel_ostream_printf(out, "not yet implemented\n");
  return -1;
}

}  // extern "C"
