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

// One channel or meta event: its sample time since the start of the file, its frame offset in the current block
// (0 to frames - 1), channel, type (0x80..0xE0, 0x51 tempo, 5 lyric, 6 marker, 127 other meta) and its two
// parameters as bytes.
void korvelsynth_capture_event(void* context, int64_t sample_time, int offset, int channel, int type, int param1,
                               int param2);
// One system-exclusive event: its length (below 256) and its bytes, valid during the call.
void korvelsynth_capture_sysex(void* context, int64_t sample_time, int offset, int length,
                               const unsigned char* data);

#ifdef __cplusplus
}
#endif
