// The synthesizer's MIDI side: the two dispatchers that turn a MIDI message record into synthesizer calls, and the
// checked controller, pitch-wheel, program, bank and system-exclusive operations.
//
// Thread contract: every function runs on the thread that renders (or calls serialised with it), never during a
// block. Range warnings and errors go to the library's logger, limited to a few lines per second; the verbose
// lines and the system-exclusive dump print only while the synthesizer's verbose switch is on.
#pragma once

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_player_t korvel_player_t;
// The MIDI-file player's tempo event (defined with the player, korvel_player.cpp), which the instance dispatcher
// below hands tempo messages to: prints "TEMPO: %d" and locks the tempo at 120 bpm the first time; the value does
// not change the speed. 0.
int korvel_player_set_midi_tempo(korvel_player_t* player, int tempo);

enum { KORVEL_SYSEX_MAX = 256 };

// One MIDI message as the dispatchers take it, built on the caller's stack.
typedef struct _korvel_midi_message_t {
    unsigned char status;
    unsigned char type;    // status with the channel bits cleared; 0x50 and 0x51 for the player's tempo events
    unsigned char channel; // status bits 0 to 3
    unsigned int param1;
    unsigned int param2;
    unsigned char sysex[KORVEL_SYSEX_MAX];
    unsigned int sysex_len;
} korvel_midi_message_t;

// The instance interface's dispatcher: note, controller, program, pitch bend and system exclusive; tempo events set
// the player's MIDI tempo (korvel_player_set_midi_tempo) and succeed without a player; 0xFF and the other system and pressure messages are ignored (0); an unknown type logs
// "UNKNOWN MIDI MESSAGE: %d / %d" and gives 0. The handler's result otherwise; 1 for a null synth.
int korvel_synth_handle_midi_event2(korvel_synth_t* synth, korvel_player_t* player, const korvel_midi_message_t* msg);
// The router's dispatcher: the same for the channel messages and system exclusive; 0xFF resets the synthesizer;
// every other message gives -1.
int korvel_synth_handle_midi_event(korvel_synth_t* synth, const korvel_midi_message_t* msg);

// Controller 0..127 to value 0..127. 0; -1 and a log line naming the bad argument (channel, ctrl or value).
int korvel_synth_cc(korvel_synth_t* synth, int chan, int num, int value);
int korvel_synth_get_cc(korvel_synth_t* synth, int chan, int num, int* pval);
// Pitch bend from its two 7-bit halves. 0; -1 with "Channel out of range".
int korvel_synth_pitch_bend(korvel_synth_t* synth, int chan, int lsb, int msb);
int korvel_synth_get_pitch_bend(korvel_synth_t* synth, int chan, int* ppitch_bend);
// Sensitivity in semitones. 0; -1 for a channel out of range.
int korvel_synth_pitch_wheel_sens(korvel_synth_t* synth, int chan, int val);
int korvel_synth_get_pitch_wheel_sens(korvel_synth_t* synth, int chan, int* pval);
// Only dumps the message when verbose. 0; -1 (logged) when len >= 255.
int korvel_synth_sysex(korvel_synth_t* synth, const unsigned char* data, int len);
// Set the channel's bank or sound-font number only, for a later program change. 0; -1 for a bad channel.
int korvel_synth_bank_select(korvel_synth_t* synth, int chan, unsigned int bank);
int korvel_synth_sfont_select(korvel_synth_t* synth, int chan, unsigned int sfont_id);
int korvel_synth_get_program(korvel_synth_t* synth, int chan, unsigned int* sfont_id, unsigned int* bank_num,
                             unsigned int* preset_num);
// Picks a preset from one sound font, given by identifier or by name. 0; -1 with a log line for a bad channel, an
// unknown sound font or a missing bank/preset pair.
int korvel_synth_program_select(korvel_synth_t* synth, int chan, unsigned int sfont_id, unsigned int bank_num,
                                unsigned int preset_num);
int korvel_synth_program_select2(korvel_synth_t* synth, int chan, const char* sfont_name, unsigned int bank_num,
                                 unsigned int preset_num);

#ifdef __cplusplus
}
#endif
