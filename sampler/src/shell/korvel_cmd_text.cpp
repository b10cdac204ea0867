#include "sampler/src/shell/korvel_cmd_text.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {

int korvel_is_number(const char* text) {
  for (const char* c = text; *c != '\0'; c++) {
    if ((*c < '0' || *c > '9') && *c != '+' && *c != '-' && *c != '.') return 0;
  }
  return 1;
}

int korvel_is_empty(const char* text) {
  for (const char* c = text; *c != '\0'; c++) {
    if (*c != ' ' && *c != '\t' && *c != '\n' && *c != '\r') return 0;
  }
  return 1;
}

void korvel_expand_path(const char* path, char* out, int length) {
  if (length < 2) return;
  const char* home = std::getenv("HOME");
  if (path[0] == '~' && path[1] == '/' && home != nullptr) {
    std::snprintf(out, static_cast<size_t>(length - 1), "%s%s", home, path + 1);
  } else {
    std::snprintf(out, static_cast<size_t>(length - 1), "%s", path);
  }
}

char* korvel_get_userconf(char* out, int length) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || length < 1) return nullptr;
  std::snprintf(out, static_cast<size_t>(length), "%s/.korvelsynth", home);
  return out;
}

char* korvel_get_sysconf(char* out, int length) {
  if (length < 1) return nullptr;
  std::snprintf(out, static_cast<size_t>(length), "/etc/korvelsynth.conf");
  return out;
}

int korvel_cmd_atoi(const char* text) {
  long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double korvel_cmd_atof(const char* text) { return std::strtod(text, nullptr); }

}  // extern "C"
