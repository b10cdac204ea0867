// The Standard MIDI File reader (formats 0, 1 and 2): the header, the track chunks and their events. Every length
// that a file gives is checked against the bytes the file still holds, so a corrupt or truncated file is refused
// with a log line instead of being read past its end.
//
// Thread contract: control thread (it reads a file and allocates).
#pragma once

#include "sampler/src/midi/korvel_track.h"

#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_player_t korvel_player_t;

typedef struct _korvel_midi_file_t {
    FILE* fp;
    long size;           // of the file, in bytes
    long pos;            // bytes consumed
    int running_status;  // -1 when none
    int c;               // a pushed-back byte, -1 when none
    int type;            // 0, 1 or 2
    int ntracks;
    int uses_smpte;
    unsigned int smpte_fps;
    unsigned int smpte_res;
    unsigned int division; // ticks per quarter note
    uint32_t tracklen;
    uint32_t trackpos;     // bytes read in the current track
    int eot;
    int eof;               // the end of the file was hit
    uint32_t varlen;       // the last variable-length value
    uint32_t dtime;        // ticks gathered for the next event (of events that keep nothing)
} korvel_midi_file_t;

// Opens the file and reads its header: none with "Couldn't open the MIDI file" or the header's refusal.
korvel_midi_file_t* new_korvel_midi_file(const char* path);
// Closes the file. Null is accepted.
void delete_korvel_midi_file(korvel_midi_file_t* mf);
// Reads and checks the 14-byte MThd chunk: 0. -1, with an error logged, for a bad header or SMPTE timing.
int korvel_midi_file_read_mthd(korvel_midi_file_t* mf);
// Reads every track the header announces into the player. 0 or -1.
int korvel_midi_file_load_tracks(korvel_midi_file_t* mf, korvel_player_t* player);
// Reads the next track chunk (other chunks are passed over) as track num and adds it to the player, unless the
// player is full. 0, or -1 with the reader's error.
int korvel_midi_file_read_track(korvel_midi_file_t* mf, korvel_player_t* player, int num);
// Reads one event (delta time, then the message) and appends it to the track when it carries something. 0 or -1.
int korvel_midi_file_read_event(korvel_midi_file_t* mf, korvel_track_t* track);
// A number of at most four 7-bit bytes into mf->varlen. 0, or -1 with "Invalid variable length number".
int korvel_midi_file_read_varlen(korvel_midi_file_t* mf);
// A big-endian 32-bit length into mf->tracklen. 0 or -1.
int korvel_midi_file_read_tracklen(korvel_midi_file_t* mf);
// The next byte, or -1 at the end of the file.
int korvel_midi_file_getc(korvel_midi_file_t* mf);
// Pushes one byte back. 0.
int korvel_midi_file_push(korvel_midi_file_t* mf, int c);
// 0 when all n bytes came, -1 otherwise.
int korvel_midi_file_read(korvel_midi_file_t* mf, void* buf, int n);
// Passes over n bytes. 0, or -1 with "Failed to seek position in file" when the file has fewer.
int korvel_midi_file_skip(korvel_midi_file_t* mf, int n);
// Non-zero when the current track ended (end-of-track event, or its bytes are used).
int korvel_midi_file_eot(const korvel_midi_file_t* mf);
int korvel_midi_file_get_division(const korvel_midi_file_t* mf);

// 1 when each of the n bytes is ASCII.
int korvel_isasciistring(const char* s, int n);
// The big-endian 32-bit number in the first four bytes.
uint32_t korvel_getlength(const unsigned char* s);

#ifdef __cplusplus
}
#endif
