#include "sampler/src/shell/korvel_cmd_event.h"

#include "sampler/src/shell/korvel_cmd_args.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/synth/korvel_synth_midi.h"

namespace {

using korvel_cmd::allNumbers;

// Checks `count` numeric arguments of the command `name` and converts them into values.
bool readNumbers(const char* name, int count, int ac, char** av, int* values, korvel_ostream_t out) {
  if (ac < count) {
    korvel_ostream_printf(out, "%s: too few arguments\n", name);
    return false;
  }
  if (!allNumbers(count, av)) {
    korvel_ostream_printf(out, "%s: invalid argument\n", name);
    return false;
  }
  for (int i = 0; i < count; i++) values[i] = korvel_cmd_atoi(av[i]);
  return true;
}

}  // namespace

extern "C" {

int korvel_handle_noteon(void* synth, int ac, char** av, korvel_ostream_t out) {
  int v[3];
  if (!readNumbers("noteon", 3, ac, av, v, out)) return -1;
  return korvel_synth_noteon(static_cast<korvel_synth_t*>(synth), v[0], v[1], v[2]);
}

int korvel_handle_noteoff(void* synth, int ac, char** av, korvel_ostream_t out) {
  int v[2];
  if (!readNumbers("noteoff", 2, ac, av, v, out)) return -1;
  return korvel_synth_noteoff(static_cast<korvel_synth_t*>(synth), v[0], v[1]);
}

int korvel_handle_cc(void* synth, int ac, char** av, korvel_ostream_t out) {
  int v[3];
  if (!readNumbers("cc", 3, ac, av, v, out)) return -1;
  return korvel_synth_cc(static_cast<korvel_synth_t*>(synth), v[0], v[1], v[2]);
}

int korvel_handle_prog(void* synth, int ac, char** av, korvel_ostream_t out) {
  int v[2];
  if (!readNumbers("prog", 2, ac, av, v, out)) return -1;
  return korvel_synth_program_change(static_cast<korvel_synth_t*>(synth), v[0], v[1]);
}

int korvel_handle_select(void* data, int ac, char** av, korvel_ostream_t out) {
  int v[4];
  if (!readNumbers("preset", 4, ac, av, v, out)) return -1;
  auto* synth = static_cast<korvel_synth_t*>(data);
  const int chan = v[0];
  const auto sfont = static_cast<unsigned int>(v[1]);
  const auto bank = static_cast<unsigned int>(v[2]);
  if (sfont != 0) return korvel_synth_program_select(synth, chan, sfont, bank, static_cast<unsigned int>(v[3]));
  if (korvel_synth_bank_select(synth, chan, bank) != 0) return -1;
  return korvel_synth_program_change(synth, chan, v[3]);
}

}  // extern "C"
