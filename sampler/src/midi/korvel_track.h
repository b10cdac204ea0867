// A track of a MIDI file: its texts, its events in file order, the play position and the time and key
// signatures its meta events carried.
//
// Thread contract: made, filled and deleted on the control thread while loading; the play position (current event,
// ticks) moves on the thread that runs the player.
#pragma once

#include "sampler/src/midi/korvel_midi_event.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_track_t {
    char* name;       // owned
    char* copyright;  // owned
    char* instrument; // owned
    int num;
    korvel_midi_event_t* first;
    korvel_midi_event_t* cur;
    korvel_midi_event_t* last;
    uint32_t ticks; // time of the last event sent
    int numerator;
    unsigned int denominator;
    int metronome;
    int notes32;
    int key_sharps;
    int key_minor;
} korvel_track_t;

// An empty track numbered num; none with "Out of memory".
korvel_track_t* new_korvel_track(int num);
// Frees the texts and every event. Null is accepted. 0.
int delete_korvel_track(korvel_track_t* track);
// Copy the text; null clears it. 0, or -1 with "Out of memory".
int korvel_track_set_name(korvel_track_t* track, const char* name);
int korvel_track_set_copyright(korvel_track_t* track, const char* text);
int korvel_track_set_instrument(korvel_track_t* track, const char* text);
const char* korvel_track_get_name(const korvel_track_t* track);
// The sum of the events' delta times, in ticks.
uint64_t korvel_track_get_duration(const korvel_track_t* track);
// The number of events; note-ons (0x90) and note-offs (0x80) in *on and *off when given.
int korvel_track_count_events(const korvel_track_t* track, int* on, int* off);
// Appends the event, which the track then owns. 0.
int korvel_track_add_event(korvel_track_t* track, korvel_midi_event_t* evt);
korvel_midi_event_t* korvel_track_first_event(korvel_track_t* track);
korvel_midi_event_t* korvel_track_next_event(korvel_track_t* track);
// Rewinds: current event = first, ticks = 0. 0.
int korvel_track_reset(korvel_track_t* track);

#ifdef __cplusplus
}
#endif
