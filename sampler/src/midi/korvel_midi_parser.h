// A byte-stream MIDI parser for live input: feed it one byte at a time and it hands back each completed channel
// message (running status kept) as a message record for the dispatchers or the router.
//
// Thread contract: one parser per input stream, used by one thread at a time; parsing neither allocates nor
// locks.
#pragma once

#include "sampler/src/synth/korvel_synth_midi.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_midi_parser_t {
    unsigned char status;  // 0 when none
    unsigned char channel;
    int nr_bytes;          // data bytes gathered
    int nr_bytes_total;    // data bytes the status expects; below 1 for messages that never complete
    unsigned char data[3];
    korvel_midi_message_t event;
} korvel_midi_parser_t;

// None with "Out of memory".
korvel_midi_parser_t* new_korvel_midi_parser(void);
// Null is accepted. 0.
int delete_korvel_midi_parser(korvel_midi_parser_t* parser);
// The completed message, valid until the next call, or none. 0xFF gives a reset message (type 0xFF) and clears
// the status; other real-time bytes are ignored; 0xF1 to 0xF7 clear the status; system exclusive never completes.
korvel_midi_message_t* korvel_midi_parser_parse(korvel_midi_parser_t* parser, unsigned char c);
// The length in bytes, status included, of the message that the status byte begins.
int korvel_midi_event_length(unsigned char status);

#ifdef __cplusplus
}
#endif
