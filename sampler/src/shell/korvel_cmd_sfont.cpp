#include "sampler/src/shell/korvel_cmd_sfont.h"

#include <cstdlib>
#include <cstring>

#include "sampler/src/shell/korvel_cmd_args.h"
#include "sampler/src/synth/korvel_synth.h"

namespace {

korvel_synth_t* synthOf(void* data) { return static_cast<korvel_synth_t*>(data); }

// The length of the path once a leading "~/" is expanded, to refuse a path that the expansion would cut (and so
// name another file).
size_t expandedLength(const char* path) {
  const char* home = std::getenv("HOME");
  if (path[0] == '~' && path[1] == '/' && home != nullptr) return std::strlen(home) + std::strlen(path) - 1;
  return std::strlen(path);
}

}  // namespace

extern "C" {

int korvel_handle_load(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "load: too few arguments\n");
  korvel_synth_t* synth = synthOf(data);
  char path[KORVEL_SHELL_LINE_SIZE];
  if (expandedLength(av[0]) > sizeof path - 2) return KORVEL_CMD_REFUSE(out, "failed to load the SoundFont\n");
  korvel_expand_path(av[0], path, sizeof path);
  int reset = 1;
  int offset = 0;
  if (ac == 2 || ac == 3) reset = korvel_cmd_atoi(av[1]);
  if (ac == 3) offset = korvel_cmd_atoi(av[2]);
  int id = korvel_synth_sfload(synth, path, 0);
  if (id == -1) return KORVEL_CMD_REFUSE(out, "failed to load the SoundFont\n");
  korvel_ostream_printf(out, "loaded SoundFont has ID %d\n", id);
  if (offset != 0) korvel_synth_set_bank_offset(synth, id, offset);
  if (reset != 0) korvel_synth_program_reset(synth);
  return 0;
}

int korvel_handle_unload(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "unload: too few arguments\n");
  if (!korvel_is_number(av[0])) return KORVEL_CMD_REFUSE(out, "unload: expected a number as argument\n");
  int reset = ac == 2 ? korvel_cmd_atoi(av[1]) : 1;
  if (korvel_synth_sfunload(synthOf(data), static_cast<unsigned int>(korvel_cmd_atoi(av[0])), reset) != 0) {
    return KORVEL_CMD_REFUSE(out, "failed to unload the SoundFont\n");
  }
  return 0;
}

int korvel_handle_reload(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "reload: too few arguments\n");
  if (!korvel_is_number(av[0])) return KORVEL_CMD_REFUSE(out, "reload: expected a number as argument\n");
  if (korvel_synth_sfreload(synthOf(data), static_cast<unsigned int>(korvel_cmd_atoi(av[0]))) == -1) {
    return KORVEL_CMD_REFUSE(out, "failed to reload the SoundFont\n");
  }
  return 0;
}

int korvel_handle_fonts(void* data, int /*ac*/, char** /*av*/, korvel_ostream_t out) {
  korvel_synth_t* synth = synthOf(data);
  int count = korvel_synth_sfcount(synth);
  if (count == 0) {
    korvel_ostream_printf(out, "no SoundFont loaded (try load)\n");
    return 0;
  }
  korvel_ostream_printf(out, "ID  Name\n");
  for (int i = 0; i < count; i++) {
    korvel_sfont_t* sfont = korvel_synth_get_sfont(synth, static_cast<unsigned int>(i));
    if (sfont != nullptr) korvel_ostream_printf(out, "%2d  %s\n", sfont->id, sfont->get_name(sfont));
  }
  return 0;
}

int korvel_handle_inst(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "inst: too few arguments\n");
  if (!korvel_is_number(av[0])) return KORVEL_CMD_REFUSE(out, "inst: invalid argument\n");
  korvel_synth_t* synth = synthOf(data);
  int id = korvel_cmd_atoi(av[0]);
  korvel_sfont_t* sfont = korvel_synth_get_sfont_by_id(synth, static_cast<unsigned int>(id));
  if (sfont == nullptr) return KORVEL_CMD_REFUSE(out, "inst: invalid font number\n");
  int offset = korvel_synth_get_bank_offset(synth, id);
  korvel_preset_t preset{};
  sfont->iteration_start(sfont);
  while (sfont->iteration_next(sfont, &preset)) {
    korvel_ostream_printf(out, "%03d-%03d %s\n", preset.get_banknum(&preset) + offset, preset.get_num(&preset),
                          preset.get_name(&preset));
  }
  return 0;
}

int korvel_handle_channels(void* data, int ac, char** av, korvel_ostream_t out) {
  korvel_synth_t* synth = synthOf(data);
  bool verbose = ac > 0 && std::strcmp(av[0], "-verbose") == 0;
  int count = korvel_synth_count_midi_channels(synth);
  for (int chan = 0; chan < count; chan++) {
    korvel_preset_t* preset = korvel_synth_get_channel_preset(synth, chan);
    if (preset == nullptr) {
      korvel_ostream_printf(out, "chan %d, no preset\n", chan);
    } else if (verbose) {
      korvel_ostream_printf(out, "chan %d, sfont %d, bank %d, preset %d, %s\n", chan, preset->sfont->id,
                            preset->get_banknum(preset), preset->get_num(preset), preset->get_name(preset));
    } else {
      korvel_ostream_printf(out, "chan %d, %s\n", chan, preset->get_name(preset));
    }
  }
  return 0;
}

}  // extern "C"
