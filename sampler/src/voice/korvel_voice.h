// voice/: a voice and its DSP blocks, with the channel state and tuning it reads; it may use sys/, fx/ and bank/.
//
// The voice: one sounding sample of one note. The synthesizer owns a fixed pool of voices and reuses them; a voice
// turns its generators into the settings of its block objects (envelopes, LFOs, oscillator, filter) and renders
// 256-frame blocks into the dry buses of its audio group.
//
// Thread contract: creation and deletion on the control thread. Everything else runs on the thread that renders
// and handles MIDI, between blocks (or parts of them) or as the block itself, and allocates nothing.
#pragma once

#include "sampler/src/sys/korvel_block.h"
#include "sampler/src/voice/korvel_envelope.h"
#include "sampler/src/voice/korvel_filter.h"
#include "sampler/src/fx/korvel_fx.h"
#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/voice/korvel_lfo.h"
#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/voice/korvel_oscillator.h"
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_VOICE_MAX_MODS = 64, KORVEL_NO_CHANNEL = 255 };

enum korvel_voice_status {
    KORVEL_VOICE_CLEAN,
    KORVEL_VOICE_ON,
    KORVEL_VOICE_SUSTAINED,
    KORVEL_VOICE_OFF
};

// What a voice writes before it reads it: its generators and modulators at each note's start, its block at each
// block. A pool of voices keeps these in one cleared allocation, whose pages the system supplies when a voice first
// sounds, so that voices never played cost no memory and creating a pool touches little.
typedef struct _korvel_voice_arrays_t {
    korvel_gen_t gen[GEN_LAST];
    korvel_mod_t mod[KORVEL_VOICE_MAX_MODS];
    float dsp_buf[KORVEL_BUFSIZE];
} korvel_voice_arrays_t;

// Frames of the voice's block buffer waiting to be mixed: dsp_buf[from, from + count) onto frame `at` of a part.
typedef struct {
    unsigned short from;
    unsigned short count;
    unsigned short at;
} korvel_voice_run_t;

struct _korvel_voice_t {
    korvel_synth_t* owner;
    const korvel_profile_t* profile; // the owner's, or the as-built one for a voice without owner
    unsigned int id; // note identifier; the voices of one note-on share it
    unsigned char status;
    unsigned char chan; // KORVEL_NO_CHANNEL when the voice belongs to no channel
    unsigned char key;
    unsigned char vel;
    float output_rate;
    korvel_channel_t* channel;
    korvel_gen_t* gen; // GEN_LAST entries of the voice's arrays
    korvel_mod_t* mod; // KORVEL_VOICE_MAX_MODS entries
    int mod_count;
    // The voice's last block: the frames before block_end sound, the rest of the block is silent. A voice that
    // hands its blocks out in parts has handed out the frames before block_start and ends after block_end when
    // block_ends is set.
    float* dsp_buf; // KORVEL_BUFSIZE samples
    unsigned int block_start;
    unsigned int block_end;
    unsigned char block_ends;
    unsigned char replan; // a generator moved inside the block: the rest of it follows the new values
    // What korvel_voice_render_part and korvel_voice_render_part_rest left for korvel_voice_filter_parts and
    // korvel_voice_mix_part: up to two runs to mix (a part crosses the end of the voice's block at most once) and
    // the frames of the last one that the filter has still to run over (filter_count 0: none).
    korvel_voice_run_t runs[2];
    unsigned char nruns;
    unsigned short filter_from;
    unsigned short filter_count;
    unsigned short part_done; // frames of the part rendered so far
    unsigned short part_left; // and still to render
    float synth_gain; // never below 1e-7
    float amp;                // the block's gain ramp: amp at frame ramp_from, amp_incr more each frame after
    float amp_incr;
    unsigned short ramp_from;
    float prev_amp;
    float noise_floor;        // amplitudes
    float noise_floor_looped;
    // The least attenuation in cB that anything the player can move during the note (controllers, pressure, the
    // pitch wheel) can bring; the level end test judges the voice at it.
    float least_attenuation_cb;
    float reverb_send;        // 0..1
    float amp_reverb;
    float chorus_send;
    float amp_chorus;
    float pan;                // tenths of a percent, -500 left .. 500 right
    float amp_left;
    float amp_right;
    int extra;
    korvel_lfo1_t* viblfo;
    korvel_lfo2_t* modlfo;
    korvel_envelope1_t* volenv;
    korvel_envelope2_t* modenv;
    korvel_oscillator_t* osc;
    korvel_filter_t* filter;
    korvel_voice_fx_t* fx;
    // What new_korvel_voice allocated, released with the voice; none for a voice built in its caller's storage.
    struct _korvel_voice_parts_t* own_parts;
    korvel_voice_arrays_t* own_arrays;
};

// The voice record with its block objects, all in one piece: a pool keeps one per voice in a single allocation.
typedef struct _korvel_voice_parts_t {
    korvel_voice_t voice;
    korvel_lfo1_t viblfo;
    korvel_lfo2_t modlfo;
    korvel_envelope1_t volenv;
    korvel_envelope2_t modenv;
    korvel_oscillator_t osc;
    Sampler16 sampler;
    korvel_filter_t filter;
    korvel_voice_fx_t fx;
    korvel_saturation_t saturation[KORVEL_FX_SLOTS];
} korvel_voice_parts_t;

// count cleared parts in one mapping of present pages (huge pages for a large pool), for new_korvel_voice_in; null
// with "Out of memory".
korvel_voice_parts_t* new_korvel_voice_parts(int count);
// Releases what new_korvel_voice_parts(count) allocated once no voice in it is used any more; null is accepted.
void delete_korvel_voice_parts(korvel_voice_parts_t* parts, int count);

// A voice for output at output_rate Hz with its block objects and the as-built profile, which an owning synthesizer
// replaces with its own; null with "Out of memory".
korvel_voice_t* new_korvel_voice(korvel_synth_t* synth, float output_rate);
// The same built in the caller's cleared parts and arrays, which must outlive the voice; allocates nothing.
korvel_voice_t* new_korvel_voice_in(korvel_synth_t* synth, float output_rate, korvel_voice_parts_t* parts,
                                    korvel_voice_arrays_t* arrays);
// Releases what new_korvel_voice allocated for the voice; null is accepted. 0.
int delete_korvel_voice(korvel_voice_t* voice);

// Prepares the voice for a note: 0, or 1 with "Invalid parameters for voice initialization!" when voice, sample or
// channel is missing. The gain ramp starts from silence.
int korvel_voice_init(korvel_voice_t* voice, korvel_sample_t* sample, korvel_channel_t* channel, int key, int vel,
                      unsigned int id, unsigned int start_time, float gain);
// Computes the runtime parameters from the generators and modulators and switches the voice on.
int korvel_voice_start(korvel_voice_t* voice);
// Renders one block and adds it to the group's dry buses, and by the voice's send levels to the reverb and chorus
// send buses that are given (null: not fed). 0.
int korvel_voice_write(korvel_voice_t* voice, float* left, float* right, float* reverb, float* chorus);
// Adds the voice's next n frames (1 to KORVEL_BUFSIZE) in the same way, rendering its next block whenever the last
// one is handed out: the voice keeps the block cadence of its own start, so that a voice started between two parts
// sounds from the first frame of the next. 0.
int korvel_voice_write_part(korvel_voice_t* voice, int n, float* left, float* right, float* reverb, float* chorus);
// korvel_voice_write_part in steps, so that the filters of many voices run together: render the part's frames up
// to the end of the voice's block (the voice may end on the way), run the filters of the voices that left frames
// to filter, render the rest of the part (a part of at most KORVEL_BUFSIZE frames crosses the end of a voice's
// block at most once), run the filters again, then mix each voice's frames, in the order of the voices so that the
// buses sum as with korvel_voice_write_part. At most KORVEL_VOICE_MAX_BATCH voices go to one
// korvel_voice_filter_parts.
enum { KORVEL_VOICE_MAX_BATCH = 32 };
void korvel_voice_render_part(korvel_voice_t* voice, int n);
void korvel_voice_render_part_rest(korvel_voice_t* voice);
void korvel_voice_filter_parts(korvel_voice_t* const* voices, int nvoices);
void korvel_voice_mix_part(const korvel_voice_t* voice, float* left, float* right, float* reverb, float* chorus);
// Release (or sustain while the channel's pedal is down), exclusive-class cut and immediate end. 0.
int korvel_voice_noteoff(korvel_voice_t* voice);
int korvel_voice_kill_excl(korvel_voice_t* voice);
int korvel_voice_off(korvel_voice_t* voice);

// How korvel_voice_add_mod treats a modulator identical to one the voice holds.
enum korvel_voice_addmod {
    KORVEL_VOICE_OVERWRITE = 0, // take the new amount
    KORVEL_VOICE_ADD = 1,       // add the new amount
    KORVEL_VOICE_DEFAULT = 2    // append without looking
};

// Sets the generator's value and marks it set.
void korvel_voice_gen_set(korvel_voice_t* voice, int gen, float value);
// Adds to the generator's value and marks it set.
void korvel_voice_gen_incr(korvel_voice_t* voice, int gen, float value);
float korvel_voice_gen_get(const korvel_voice_t* voice, int gen);
// Effective value: base + modulation + NRPN offset; an absolute NRPN replaces the first two.
float korvel_voice_gen_value(const korvel_voice_t* voice, int gen);
// Adds a copy of mod by mode. A general source other than none, velocity, key, poly and channel pressure, pitch
// wheel and its sensitivity is refused with a warning; a destination that is no generator is ignored, and nothing
// is added once the voice holds 64 modulators.
void korvel_voice_add_mod(korvel_voice_t* voice, const korvel_mod_t* mod, int mode);
// Recomputes the modulation of every generator that a modulator with source ctrl (a MIDI controller when is_cc)
// drives, and applies it.
int korvel_voice_modulate(korvel_voice_t* voice, int is_cc, int ctrl);
int korvel_voice_modulate_all(korvel_voice_t* voice);
// Stores value as the generator's NRPN offset (absolute when absolute is non-zero) and applies it.
int korvel_voice_set_param(korvel_voice_t* voice, int gen, int absolute, float value);
// Applies the generator's effective value to the block objects.
void korvel_voice_update_param(korvel_voice_t* voice, int gen);
int korvel_voice_set_gain(korvel_voice_t* voice, float gain);

unsigned int korvel_voice_get_id(const korvel_voice_t* voice);
int korvel_voice_get_channel(const korvel_voice_t* voice);
// Non-zero for a voice that is on or sustained.
int korvel_voice_is_playing(const korvel_voice_t* voice);

#ifdef __cplusplus
}
#endif
