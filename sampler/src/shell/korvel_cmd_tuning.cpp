#include "sampler/src/shell/korvel_cmd_tuning.h"

#include <cstdlib>

#include "sampler/src/shell/korvel_cmd_args.h"
#include "sampler/src/synth/korvel_synth.h"

namespace {

constexpr int kTuningKeys = 128;
constexpr int kTuningNameSize = 256;

korvel_synth_t* synthOf(void* data) { return static_cast<korvel_synth_t*>(data); }

// One numeric argument in 0..limit - 1, with the command's messages for a text that is no number and for a value
// out of range.
bool readIndex(const char* text, int limit, const char* notNumber, const char* outOfRange, int* value,
               korvel_ostream_t out) {
  if (!korvel_is_number(text)) {
    korvel_ostream_printf(out, "%s", notNumber);
    return false;
  }
  *value = korvel_cmd_atoi(text);
  if (*value < 0 || *value >= limit) {
    korvel_ostream_printf(out, "%s", outOfRange);
    return false;
  }
  return true;
}

bool readBankAndProgram(char** av, int* bank, int* prog, korvel_ostream_t out) {
  return readIndex(av[0], kTuningKeys, "tuning: 2nd argument should be a number.\n", "tuning: invalid bank number.\n",
                   bank, out) &&
         readIndex(av[1], kTuningKeys, "tuning: 3rd argument should be a number.\n",
                   "tuning: invalid program number.\n", prog, out);
}

bool readChannel(void* data, const char* text, int* chan, korvel_ostream_t out) {
  return readIndex(text, korvel_synth_count_midi_channels(synthOf(data)), "tune: 1st argument should be a number.\n",
                   "tune: invalid channel number.\n", chan, out);
}

}  // namespace

extern "C" {

int korvel_handle_tuning(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 3) return KORVEL_CMD_REFUSE(out, "tuning: too few arguments.\n");
  int bank = 0;
  int prog = 0;
  if (!readBankAndProgram(av + 1, &bank, &prog, out)) return -1;
  return korvel_synth_create_key_tuning(synthOf(data), bank, prog, av[0], nullptr);
}

int korvel_handle_tune(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 4) return KORVEL_CMD_REFUSE(out, "tune: too few arguments.\n");
  int bank = 0;
  int prog = 0;
  int key = 0;
  if (!readIndex(av[0], kTuningKeys, "tune: 1st argument should be a number.\n", "tune: invalid bank number.\n",
                 &bank, out) ||
      !readIndex(av[1], kTuningKeys, "tune: 2nd argument should be a number.\n", "tune: invalid program number.\n",
                 &prog, out) ||
      !readIndex(av[2], kTuningKeys, "tune: 3rd argument should be a number.\n", "tune: invalid key number.\n", &key,
                 out)) {
    return -1;
  }
  char* end = nullptr;
  double pitch = std::strtod(av[3], &end);
  if (*end != '\0' || !(pitch >= 0.0)) return KORVEL_CMD_REFUSE(out, "tune: invalid pitch.\n");
  return korvel_synth_tune_notes(synthOf(data), bank, prog, 1, &key, &pitch);
}

int korvel_handle_settuning(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 3) return KORVEL_CMD_REFUSE(out, "settuning: too few arguments.\n");
  int chan = 0;
  int bank = 0;
  int prog = 0;
  if (!readChannel(data, av[0], &chan, out) || !readBankAndProgram(av + 1, &bank, &prog, out)) return -1;
  return korvel_synth_select_tuning(synthOf(data), chan, bank, prog);
}

int korvel_handle_resettuning(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 1) return KORVEL_CMD_REFUSE(out, "resettuning: too few arguments.\n");
  int chan = 0;
  if (!readChannel(data, av[0], &chan, out)) return -1;
  return korvel_synth_reset_tuning(synthOf(data), chan);
}

int korvel_handle_tunings(void* data, int /*ac*/, char** /*av*/, korvel_ostream_t out) {
  korvel_synth_t* synth = synthOf(data);
  int bank = 0;
  int prog = 0;
  int count = 0;
  korvel_synth_tuning_iteration_start(synth);
  while (korvel_synth_tuning_iteration_next(synth, &bank, &prog)) {
    char name[kTuningNameSize];
    korvel_synth_tuning_dump(synth, bank, prog, name, kTuningNameSize, nullptr);
    korvel_ostream_printf(out, "%03d-%03d %s\n", bank, prog, name);
    count++;
  }
  if (count == 0) korvel_ostream_printf(out, "No tunings available\n");
  return 0;
}

int korvel_handle_dumptuning(void* data, int ac, char** av, korvel_ostream_t out) {
  if (ac < 2) return KORVEL_CMD_REFUSE(out, "dumptuning: too few arguments.\n");
  int bank = 0;
  int prog = 0;
  if (!readIndex(av[0], kTuningKeys, "dumptuning: 1st argument should be a number.\n",
                 "dumptuning: invalid bank number.\n", &bank, out) ||
      !readIndex(av[1], kTuningKeys, "dumptuning: 2nd argument should be a number.\n",
                 "dumptuning: invalid program number.\n", &prog, out)) {
    return -1;
  }
  char name[kTuningNameSize];
  double pitch[kTuningKeys];
  if (korvel_synth_tuning_dump(synthOf(data), bank, prog, name, kTuningNameSize, pitch) != 0) return -1;
  korvel_ostream_printf(out, "%03d-%03d %s:\n", bank, prog, name);
  for (int key = 0; key < kTuningKeys; key++) korvel_ostream_printf(out, "key %03d, pitch %5.2f\n", key, pitch[key]);
  return 0;
}

}  // extern "C"
