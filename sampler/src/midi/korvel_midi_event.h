// The MIDI event record of the file reader and player: one event of a track, with its tick times (filled at load)
// and its sample times (filled when the player sends it), and the accessors of its two parameters.
//
// Thread contract: events are made and deleted while loading, on the control thread; the accessors may be called
// from any thread that owns the event.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_MIDI_EVENT_DATA = 256 };

// Event types besides the channel messages 0x80..0xE0.
enum {
    KORVEL_MIDI_LYRIC = 5,
    KORVEL_MIDI_MARKER = 6,
    KORVEL_MIDI_TEMPO = 0x51,
    KORVEL_MIDI_OTHER_META = 127,
    KORVEL_MIDI_SYSEX = 0xF0,
    KORVEL_MIDI_RESET = 0xFF
};

typedef struct _korvel_midi_event_t korvel_midi_event_t;
struct _korvel_midi_event_t {
    korvel_midi_event_t* next;
    unsigned int index;        // in its track, from 1
    unsigned int global_index; // in its file, from 1
    int64_t sample_time;       // filled when sent
    int32_t sample_delta;      // filled when sent
    uint32_t time;             // absolute ticks
    uint32_t dtime;            // ticks since the previous event of the track
    unsigned char type;
    unsigned char channel;
    uint32_t param1; // key, controller, program, pitch value or tempo
    uint32_t param2; // velocity or value
    unsigned char data[KORVEL_MIDI_EVENT_DATA]; // text, meta or system-exclusive bytes
    uint32_t data_len;
};

// A cleared event; none with "Out of memory".
korvel_midi_event_t* new_korvel_midi_event(void);
korvel_midi_event_t* korvel_create_midi_event(void);
// Frees the event and every event that follows it. 0.
int delete_korvel_midi_event(korvel_midi_event_t* evt);

int korvel_midi_event_get_type(const korvel_midi_event_t* evt);
int korvel_midi_event_set_type(korvel_midi_event_t* evt, int type);
int korvel_midi_event_get_channel(const korvel_midi_event_t* evt);
int korvel_midi_event_set_channel(korvel_midi_event_t* evt, int chan);
// Key, control, program and pitch1 are the first parameter; velocity, value and pitch2 the second.
int korvel_midi_event_get_key(const korvel_midi_event_t* evt);
int korvel_midi_event_set_key(korvel_midi_event_t* evt, int key);
int korvel_midi_event_get_velocity(const korvel_midi_event_t* evt);
int korvel_midi_event_set_velocity(korvel_midi_event_t* evt, int vel);
int korvel_midi_event_get_control(const korvel_midi_event_t* evt);
int korvel_midi_event_set_control(korvel_midi_event_t* evt, int ctrl);
int korvel_midi_event_get_value(const korvel_midi_event_t* evt);
int korvel_midi_event_set_value(korvel_midi_event_t* evt, int val);
int korvel_midi_event_get_program(const korvel_midi_event_t* evt);
int korvel_midi_event_set_program(korvel_midi_event_t* evt, int prog);
int korvel_midi_event_get_pitch1(const korvel_midi_event_t* evt);
int korvel_midi_event_set_pitch1(korvel_midi_event_t* evt, int val);
int korvel_midi_event_get_pitch2(const korvel_midi_event_t* evt);
int korvel_midi_event_set_pitch2(korvel_midi_event_t* evt, int val);
// Whether the event ends a note: a note-off, or a note-on of velocity 0.
int korvel_midi_event_is_note_off(const korvel_midi_event_t* evt);

#ifdef __cplusplus
}
#endif
