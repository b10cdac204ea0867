#include "sampler/src/shell/korvel_cmd_fx.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "sampler/src/shell/korvel_cmd_args.h"
#include "sampler/src/synth/korvel_synth.h"

namespace {

constexpr double kMaxRoomSize = 1.2;
constexpr double kMaxWidth = 100.0;
constexpr int kMaxLevel = 30;

korvel_synth_t* synthOf(void* data) { return static_cast<korvel_synth_t*>(data); }

// Reads the one numeric argument of a reverb or chorus command; tooFew is the command's own message.
bool readValue(const char* name, const char* tooFew, int ac, char** av, double* value, korvel_ostream_t out) {
  if (ac < 1) {
    korvel_ostream_printf(out, "%s", tooFew);
    return false;
  }
  if (!korvel_is_number(av[0])) {
    korvel_ostream_printf(out, "%s: invalid argument\n", name);
    return false;
  }
  *value = korvel_cmd_atof(av[0]);
  return true;
}

// "0"/"off" and "1"/"on": 0 or 1; -1 for any other text.
int readSwitch(const char* text) {
  if (std::strcmp(text, "0") == 0 || std::strcmp(text, "off") == 0) return 0;
  if (std::strcmp(text, "1") == 0 || std::strcmp(text, "on") == 0) return 1;
  return -1;
}

template <typename Setter>
int setChorus(void* data, const char* name, int ac, char** av, korvel_ostream_t out, Setter set) {
  char tooFew[64];
  std::snprintf(tooFew, sizeof tooFew, "%s: too few arguments.\n", name);
  double value = 0.0;
  if (!readValue(name, tooFew, ac, av, &value, out)) return -1;
  korvel_chorus_t* chorus = synthOf(data)->chorus;
  set(chorus, value);
  return korvel_chorus_update(chorus);
}

}  // namespace

extern "C" {

int korvel_handle_rev_preset(void* data, int ac, char** av, korvel_ostream_t out) {
  double value = 0.0;
  if (!readValue("rev_preset", "rev_preset: too few arguments\n", ac, av, &value, out)) return -1;
  if (korvel_synth_set_reverb_preset(synthOf(data), korvel_cmd_atoi(av[0])) != 0) {
    return KORVEL_CMD_REFUSE(out, "rev_preset: Failed. Parameter out of range?\n");
  }
  return 0;
}

int korvel_handle_rev_setroomsize(void* data, int ac, char** av, korvel_ostream_t out) {
  double value = 0.0;
  if (!readValue("rev_setroomsize", "rev_setroomsize: too few arguments.\n", ac, av, &value, out)) return -1;
  if (value < 0.0) return KORVEL_CMD_REFUSE(out, "rev_setroomsize: Room size must be positive!\n");
  if (value > kMaxRoomSize) return KORVEL_CMD_REFUSE(out, "rev_setroomsize: Room size too big!\n");
  korvel_revmodel_setroomsize(synthOf(data)->reverb, value);
  return 0;
}

int korvel_handle_rev_setdamp(void* data, int ac, char** av, korvel_ostream_t out) {
  double value = 0.0;
  if (!readValue("rev_setdamp", "rev_setdamp: too few arguments.\n", ac, av, &value, out)) return -1;
  if (value < 0.0 || value > 1.0) return KORVEL_CMD_REFUSE(out, "rev_setdamp: damp must be between 0 and 1!\n");
  korvel_revmodel_setdamp(synthOf(data)->reverb, value);
  return 0;
}

int korvel_handle_rev_setwidth(void* data, int ac, char** av, korvel_ostream_t out) {
  double value = 0.0;
  if (!readValue("rev_setwidth", "rev_setwidth: too few arguments.\n", ac, av, &value, out)) return -1;
  if (value < 0.0 || value > kMaxWidth) {
    korvel_ostream_printf(out, "%s: Too wide! (0..100)\n", "rev_setwidth");
    return 0;
  }
  korvel_revmodel_setwidth(synthOf(data)->reverb, value);
  return 0;
}

int korvel_handle_rev_setlevel(void* data, int ac, char** av, korvel_ostream_t out) {
  double value = 0.0;
  if (!readValue("rev_setlevel", "rev_setlevel: too few arguments.\n", ac, av, &value, out)) return -1;
  // The value counts by its integer part: -30.9 is -30, 30.9 is 30.
  if (std::fabs(value) >= kMaxLevel + 1) {
    korvel_ostream_printf(out, "rev_setlevel: Value too high! (Value of 10 =+20 dB)\n");
    return 0;
  }
  korvel_revmodel_setlevel(synthOf(data)->reverb, static_cast<int>(value));
  return 0;
}

int korvel_handle_reverb(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "reverb: too few arguments.\n");
  int on = readSwitch(av[0]);
  if (on < 0) return KORVEL_CMD_REFUSE(out, "reverb: invalid arguments %s [0|1|on|off]", av[0]);
  korvel_synth_set_reverb_on(synthOf(data), on);
  return 0;
}

int korvel_handle_cho_set_nr(void* data, int ac, char** av, korvel_ostream_t out) {
  return setChorus(data, "cho_set_nr", ac, av, out, [&](korvel_chorus_t* chorus, double) {
    korvel_chorus_set_nr(chorus, korvel_cmd_atoi(av[0]));
  });
}

int korvel_handle_cho_set_level(void* data, int ac, char** av, korvel_ostream_t out) {
  return setChorus(data, "cho_set_level", ac, av, out, korvel_chorus_set_level);
}

int korvel_handle_cho_set_speed(void* data, int ac, char** av, korvel_ostream_t out) {
  return setChorus(data, "cho_set_speed", ac, av, out, korvel_chorus_set_speed_Hz);
}

int korvel_handle_cho_set_depth(void* data, int ac, char** av, korvel_ostream_t out) {
  return setChorus(data, "cho_set_depth", ac, av, out, korvel_chorus_set_depth_ms);
}

int korvel_handle_chorus(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "chorus: too few arguments\n");
  int on = readSwitch(av[0]);
  if (on < 0) return KORVEL_CMD_REFUSE(out, "chorus: invalid arguments %s [0|1|on|off]", av[0]);
  korvel_synth_set_chorus_on(synthOf(data), on);
  return 0;
}

}  // extern "C"
