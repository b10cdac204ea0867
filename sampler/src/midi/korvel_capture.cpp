#include "sampler/src/midi/korvel_capture.h"

extern "C" {

__attribute__((weak)) void korvelsynth_capture_event(void*, int64_t, int, int, int, int, int) {}

__attribute__((weak)) void korvelsynth_capture_sysex(void*, int64_t, int, int, const unsigned char*) {}

} // extern "C"
