#include "sampler/src/shell/korvel_cmd_synth.h"

#include "sampler/src/shell/korvel_cmd_args.h"
#include "sampler/src/synth/korvel_synth.h"

namespace {

constexpr int kLastInterpMethod = 7;
constexpr float kMaxShellGain = 5.0f;

korvel_synth_t* synthOf(void* data) { return static_cast<korvel_synth_t*>(data); }

}  // namespace

extern "C" {

int korvel_handle_interp(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "interp: too few arguments.\n");
  int method = korvel_cmd_atoi(av[0]);
  if (!korvel_is_number(av[0]) || method < 0 || method > kLastInterpMethod) {
    return KORVEL_CMD_REFUSE(out, "interp: Bad value\n");
  }
  return korvel_synth_set_interp_method(synthOf(data), -1, method);
}

int korvel_handle_interpc(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 2) return KORVEL_CMD_REFUSE(out, "interpc: too few arguments.\n");
  korvel_synth_t* synth = synthOf(data);
  int chan = korvel_cmd_atoi(av[0]);
  if (!korvel_is_number(av[0]) || chan < 0 || chan >= korvel_synth_count_midi_channels(synth)) {
    return KORVEL_CMD_REFUSE(out, "interp: Bad value for channel number.\n");
  }
  int method = korvel_cmd_atoi(av[1]);
  if (!korvel_is_number(av[1]) || method < 0 || method > kLastInterpMethod) {
    return KORVEL_CMD_REFUSE(out, "interp: Bad value for interpolation method.\n");
  }
  return korvel_synth_set_interp_method(synth, chan, method);
}

int korvel_handle_gain(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "gain: too few arguments.\n");
  auto gain = static_cast<float>(korvel_cmd_atof(av[0]));
  if (!korvel_is_number(av[0]) || gain < 0.0f || gain > kMaxShellGain) {
    return KORVEL_CMD_REFUSE(out, "gain: value should be between '0' and '5'.\n");
  }
  korvel_synth_set_gain(synthOf(data), gain);
  return 0;
}

int korvel_handle_reset(void* data, int /*ac*/, char** /*av*/, korvel_ostream_t /*out*/) {
  korvel_synth_system_reset(synthOf(data));
  return 0;
}

int korvel_handle_echo(void* /*data*/, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "echo: too few arguments.\n");
  korvel_ostream_printf(out, "%s\n", av[0]);
  return 0;
}

}  // extern "C"
