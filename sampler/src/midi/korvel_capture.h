// The MIDI-file player's outbound hooks. The player hands every event it plays to these two functions while the
// synthesizer's capture context is set; the library looks at no result.
//
// The library's own definitions do nothing and are weak: a program that wants the player's events defines the two
// functions itself. Thread contract: they are called on the thread that runs the player's audio clock, inside that
// call, and must neither block nor allocate.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// A channel or meta event with its sample time from file start and offset in the block (0 to frames - 1). type is
// the status nibble 0x80..0xE0 or, for meta events, 0x51 tempo, 5 lyric, 6 marker and 127 for the rest; the two
// parameters are bytes.
void korvelsynth_capture_event(void* context, int64_t sample_time, int offset, int channel, int type, int param1,
                               int param2);
// One system-exclusive event: its length (below 256) and its bytes, valid during the call.
void korvelsynth_capture_sysex(void* context, int64_t sample_time, int offset, int length,
                               const unsigned char* data);

#ifdef __cplusplus
}
#endif
