// midi/: the MIDI file player, tracks, events, parser, router and the drivers; they may use every folder but shell/.
//
// Standard MIDI File playback: a play list, the current file's tracks and a clock converting the caller's sample
// time to ticks. The renderer drives it by calling `korvelsynth_audio_clock` for each block (start sample time,
// length); every event falling due goes to the capture hooks (korvel_capture.h) with its sample time and offset
// within the block. The player makes no sound and owns no thread.
//
// Thread contract: creation, loading, the play list and deletion run on the control thread while the audio clock
// is not running; `korvelsynth_audio_clock`, the callback and the sending of events run on the render thread and
// neither allocate nor lock (their few lines are limited to a few a second). The tempo and seek calls run on the
// thread that runs the clock, or while it is stopped.
#pragma once

#include "sampler/src/sys/korvel_list.h"
#include "sampler/src/synth/korvel_synth_midi.h"
#include "sampler/src/midi/korvel_track.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_MAX_TRACKS = 1024 };
enum { KORVEL_PLAYER_READY = 0, KORVEL_PLAYER_PLAYING = 1, KORVEL_PLAYER_DONE = 2 };

// One entry of the flat event list that loading builds over every track of the file.
typedef struct _korvel_player_event_t korvel_player_event_t;
struct _korvel_player_event_t {
    unsigned int global_index;
    uint32_t time; // absolute ticks
    int type;
    int channel;
    uint32_t param1;
    uint32_t param2;
    korvel_player_event_t* next;
};

typedef struct _korvel_player_t korvel_player_t;
struct _korvel_player_t {
    int status;
    int loop;
    int ntracks;
    korvel_track_t* track[KORVEL_MAX_TRACKS]; // owned
    korvel_synth_t* synth;                    // borrowed
    korvel_list_t* playlist;                  // owned copies of file names
    char* current_file;                       // owned; none while no file plays
    uint32_t begin_ticks;
    uint32_t cur_ticks;
    unsigned int begin_count; // tick counts given to the callback
    unsigned int start_count;
    unsigned int cur_count;
    int miditempo;    // microseconds per quarter note; kept, not used for timing
    double deltatime; // 120 / bpm
    double factor;    // tempo factor
    double bpm;
    double bpm2;
    unsigned int division;
    uint64_t clock;      // scaled sample time of the last block
    unsigned int frames; // of the current block
    int tempo_locked;
    korvel_player_event_t* events; // owned, one array linked in order
    int event_count;
};

// A ready player for the synthesizer; none with "Out of memory".
korvel_player_t* new_korvel_player(korvel_synth_t* synth);
// Stops, resets and frees the player with its play list. Null is accepted. 0.
int delete_korvel_player(korvel_player_t* player);
// Appends a copy of the path to the play list. 0, or -1 with "Out of memory".
int korvel_player_add(korvel_player_t* player, const char* path);
// Takes the track; -1 (the caller keeps it) once KORVEL_MAX_TRACKS are held.
int korvel_player_add_track(korvel_player_t* player, korvel_track_t* track);
int korvel_player_count_tracks(const korvel_player_t* player);
// The track i, or none.
korvel_track_t* korvel_player_get_track(korvel_player_t* player, int i);
// Reads the file's tracks in place of those held and builds the flat event list. 0; -1 after "ERROR: Could not open MIDI file." or
// "ERROR: Could not load tracks from MIDI file." (nothing of the file is kept then).
int korvel_player_load(korvel_player_t* player, const char* path);
// While no file plays, loads the next readable file of the play list (unreadable ones are passed over) and starts
// it at the callback's tick count `count`: 1. 0 when no file was loaded.
int korvel_player_load_next_file(korvel_player_t* player, unsigned int count);
// Playing (1) when not already playing and the play list is not empty. 0.
int korvel_player_play(korvel_player_t* player);
// Done (2). 0.
int korvel_player_stop(korvel_player_t* player);
// Frees the tracks and the flat list and restores the defaults: division 96, tempo 480000, bpm 120, factor 1.
int korvel_player_reset(korvel_player_t* player);
// The clock goes to the tick and every track is rewound. 0.
int korvel_player_seek(korvel_player_t* player, int ticks);
int korvel_player_set_loop(korvel_player_t* player, int loop);
// korvel_player_set_midi_tempo is declared with the MIDI dispatcher that calls it (korvel_synth_midi.h).
int korvel_player_set_bpm(korvel_player_t* player, int bpm);
// Prints "TEMPO: %f"; plays at bpm / 120 of the file's speed from now on. 0; 1 for a value at or below 0 (or not
// a number).
int korvel_player_set_midi_tempo2(korvel_player_t* player, double bpm);
// The player has no thread: 0 at once.
int korvel_player_join(korvel_player_t* player);

// One render block: its start sample time, counted from the start of the file (the caller starts counting at 0
// when it loads a file), and its frame count. Events are stamped one block late: an event goes out in the first
// block whose start reaches it, at its distance from the start of the block before (at most frames - 1). 0; -1
// with "ERROR: (audio clock) Player not initialized." or "ERROR: (audio clock) Synth not initialized.".
int korvelsynth_audio_clock(korvel_player_t* player, int64_t sample_time, int frames);
// Sends every event due by the tick count, tick by tick across the tracks, the note-offs of a tick before its
// other events. 1 while no file plays, else 0.
int korvel_player_callback(korvel_player_t* player, unsigned int count);
// Sends the track's events due by ticks, the note-offs of a tick before its other events. 0.
int korvel_track_send_events(korvel_track_t* track, korvel_synth_t* synth, korvel_player_t* player, uint32_t ticks);
// Stamps the event and hands it to the capture hooks. 0; -1 when it is dropped.
int korvel_midi_send_event(korvel_synth_t* synth, korvel_player_t* player, korvel_midi_event_t* evt);

#ifdef __cplusplus
}
#endif
