// A sample: 16-bit points with play and loop positions, pitch and rate.
#pragma once

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
#include <atomic>
extern "C" {
#endif

// Where the points of a sample come from.
enum korvel_sample_source {
    KORVEL_SAMPLE_ORIGIN = 1,   // the bank's SoundFont 2 sample data
    KORVEL_SAMPLE_MONOLITH = 2, // not used
    KORVEL_SAMPLE_FILE = 3      // a raw file under the resources folder; the sample owns its points
};

enum { KORVEL_SAMPLE_ROM = 0x8000 };

struct _korvel_sample_t {
    char name_buf[256];
    char* name; // name_buf, or null in a sample created empty
    int tsource;
    char* subpath; // owned; raw file relative to the resources folder
    unsigned int uid;
    unsigned int size;
    unsigned int pstart; // positions in points within data; pend is the last point
    unsigned int pend;
    unsigned int lstart;
    unsigned int lend;
    unsigned int rate;
    int pitch;  // root key
    int adjust; // pitch correction in cents
    int type;
    // 1 when the sample can play: it has data and its play and loop positions lie inside it. The reader clears it
    // for samples that cannot play, and note-on skips those.
    int valid;
    short* data;
    unsigned int data_points; // points in the block data points at, the bank's whole sample data for its samples
    // 1 when the bank states its zones' attenuation as the level change it means (DLS gains), so that a profile's
    // attenuation share does not apply to it; 0 for SoundFont 2 samples.
    int attenuation_in_full;
    int noise_floor_valid;
    double noise_floor_amp;
    // The largest magnitude of the sample's points from pstart to pend, of its loop's (lstart to lend) and of those
    // after its loop (lend to pend, what a voice that leaves the loop at release plays on to), as a share of full
    // scale, set once at load by korvel_voice_optimize_sample; peaks_valid is 0 until then.
    int peaks_valid;
    float peak;
    float loop_peak;
    float tail_peak;
    std::atomic<unsigned int> use_count; // voices playing the sample; written by the audio thread
    int (*notify)(korvel_sample_t* sample, int reason);
    void* userdata;
    int in_arena; // the sample lies in a bank's arena and goes with it
};

// A free-standing sample: origin source, no identifier (all bits set), valid, everything else 0 or null. Null with
// "Out of memory". Control thread.
korvel_sample_t* new_korvel_sample(void);
// Releases the sample's subpath and the points it owns (file samples) and, unless it lies in an arena, the sample.
// Null is accepted. Control thread.
int delete_korvel_sample(korvel_sample_t* sample);
// Non-zero for a ROM sample.
int korvel_sample_in_rom(const korvel_sample_t* sample);
// Non-zero when the sample can be played: valid, with points, not in ROM. Any thread.
int korvel_sample_can_play(const korvel_sample_t* sample);
// Copies name (cut to 255 characters) into the name buffer and points name at it.
void korvel_sample_set_name(korvel_sample_t* sample, const char* name);
// Prepares a sample for playing: finds the peaks of its points, of its loop and after its loop (peaks_valid stays 0
// for a sample that is not valid or has no points). Returns 0. Control thread, after the points and positions are
// set and before a voice plays the sample.
int korvel_voice_optimize_sample(korvel_sample_t* sample);

#ifdef __cplusplus
}

struct korvel_bank_arena;

// Control thread. As new_korvel_sample, with the sample in arena.
korvel_sample_t* new_korvel_sample_in(korvel_bank_arena& arena);
#endif
