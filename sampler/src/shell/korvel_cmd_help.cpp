#include "sampler/src/shell/korvel_cmd_help.h"

#include <cstring>

#include "sampler/src/shell/korvel_cmd.h"

namespace {

bool topicSeenBefore(const korvel_cmd_t* row) {
  for (const korvel_cmd_t* earlier = korvel_commands; earlier != row; earlier++) {
    if (std::strcmp(earlier->topic, row->topic) == 0) return true;
  }
  return false;
}

}  // namespace

extern "C" {

int korvel_handle_help(void* /*data*/, int ac, char** av, korvel_ostream_t out) {
  const char* topic = ac > 0 ? av[0] : "general";
  korvel_ostream_printf(out, "\n");
  if (std::strcmp(topic, "help") == 0) {
    korvel_ostream_printf(out, "*** Help topics:***\nhelp help (prints this list)\nhelp all (prints all topics)\n");
    for (const korvel_cmd_t* row = korvel_commands; row->name != nullptr; row++) {
      if (!topicSeenBefore(row)) korvel_ostream_printf(out, "help %s\n", row->topic);
    }
    return 0;
  }
  bool all = std::strcmp(topic, "all") == 0;
  bool found = false;
  for (const korvel_cmd_t* row = korvel_commands; row->name != nullptr; row++) {
    if (all || std::strcmp(row->topic, topic) == 0) {
      korvel_ostream_printf(out, "%s\n", row->help);
      found = true;
    }
  }
  if (!found) korvel_ostream_printf(out, "Unknown help topic. Try 'help help'.\n");
  return 0;
}

int korvel_handle_quit(void* /*data*/, int /*ac*/, char** /*av*/, korvel_ostream_t out) {
  korvel_ostream_printf(out, "cheers!\n");
  return KORVEL_CMD_QUIT;
}

}  // extern "C"
