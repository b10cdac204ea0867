// synth/: the synthesizer (channels, MIDI handling, notes, tunings, block mixer, render); it may use sys/, fx/, bank/
// and voice/.
//
// The synthesizer record: MIDI channels, the voice pool, dry and effect buffers, reverb, chorus and effect slots,
// the sound-font loaders and the stack of loaded sound fonts, tunings and gain.
//
// Thread contract: creation, deletion, settings and the sound-font stack run on the control thread while nothing
// renders. Note, program and generator calls run on the one thread that also renders (they must not overlap a
// block). The deferred release of a busy sound font runs on a timer thread of its own, which touches only that
// sound font and is stopped and joined when the synthesizer is deleted.
#pragma once

#include "sampler/src/synth/korvel_chan.h"
#include "sampler/src/fx/korvel_chorus.h"
#include "sampler/src/fx/korvel_fx.h"
#include "sampler/src/sys/korvel_list.h"
#include "sampler/src/voice/korvel_profile.h"
#include "sampler/src/fx/korvel_rev.h"
#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/bank/korvel_sfont.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/synth/korvel_tuning_table.h"
#include "sampler/src/voice/korvel_voice.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_SYNTH_PLAYING = 1, KORVEL_SYNTH_STOPPED = 3 };
enum { KORVEL_PATH_SIZE = 1024, KORVEL_SYNTH_BUFFER = 260, KORVEL_MAX_GROUPS = 16, KORVEL_VARIATIONS = 4 };

typedef struct _korvel_bank_offset_t {
    unsigned int sfont_id;
    int offset;
} korvel_bank_offset_t;

struct _korvel_synth_t {
    // Written by the embedding caller by offset; the synthesizer never reads them.
    char resource_path[KORVEL_PATH_SIZE];
    char soundfont_path[KORVEL_PATH_SIZE];
    korvel_settings_t* settings; // borrowed
    char with_filter;
    char with_reverb;
    char with_chorus;
    char with_variation[KORVEL_VARIATIONS];
    char verbose;
    int polyphony;
    double sample_rate;
    int midi_channels;
    int audio_channels;
    int audio_groups;
    int effects_channels;
    int state;
    unsigned int ticks;
    unsigned int start;
    korvel_list_t* loaders;
    korvel_list_t* sfont;       // most recent first
    unsigned int sfont_id;      // the last identifier given
    korvel_list_t* bank_offsets; // korvel_bank_offset_t, owned
    double gain;
    korvel_channel_t** channel;
    korvel_voice_t** voice;
    korvel_voice_parts_t* voice_parts;   // nvoice entries, one per voice: the voice records and block objects
    korvel_voice_arrays_t* voice_arrays; // nvoice entries, one per voice, cleared, their pages supplied at first touch
    int nvoice;
    // The voices still playing after the last part of a block, in pool order (nvoice entries), and whether they are
    // every playing voice: starting a voice clears it.
    korvel_voice_t** sounding;
    int nsounding;
    int sounding_complete;
    // Voice-count probe for benches: the frames of every part of a block times the voices still sounding after it
    // (counted while the pulls render the frames they hand out, as the product profile has them).
    uint64_t voice_frames;
    int nbuf;
    unsigned int noteid;
    unsigned int storeid;
    float** left_buf;
    float** right_buf;
    float** fx_left_buf;
    float** fx_right_buf;
    korvel_channel_fx_t* group_fx[KORVEL_MAX_GROUPS];
    korvel_revmodel_t* reverb;
    korvel_chorus_t* chorus;
    korvel_send_fx_t* variation_fx[KORVEL_VARIATIONS];
    korvel_master_fx_t* master_fx;
    unsigned int cur;
    double cpu_load;
    korvel_tuning_table_t tuning;
    void* midi_router; // borrowed
    unsigned int instance_id;
    korvel_list_t* release_timers; // korvel_timer_t of sound fonts waiting for their voices to end
    korvel_profile_t profile;
    int quiet_frames; // of the effect tails, see korvel_mix_t
    void* capture_context; // handed to the MIDI-file player's capture hooks; none keeps them silent
};

// The synthesizer of the flat interface's instance created last (korvelsynth.h), cleared when that instance is
// finalised; the XML bank reader finds its samples below its resource folder.
extern korvel_synth_t* sharedInstance;

// Synthesizer creation reads the registry's "synth." keys; null on failure (logged).
korvel_synth_t* new_korvel_synth(korvel_settings_t* settings);
// Releases everything the synthesizer owns; ends every voice and releases sound fonts still waiting. Null is
// accepted. 0.
int delete_korvel_synth(korvel_synth_t* synth);
int korvel_synth_verify_settings(korvel_settings_t* settings);
void korvel_version(int* major, int* minor, int* micro);
const char* korvel_version_str(void);

korvel_settings_t* korvel_synth_get_settings(korvel_synth_t* synth);
int korvel_synth_setstr(korvel_synth_t* synth, const char* name, const char* str);
int korvel_synth_getstr(korvel_synth_t* synth, const char* name, const char** str);
int korvel_synth_setnum(korvel_synth_t* synth, const char* name, double val);
int korvel_synth_getnum(korvel_synth_t* synth, const char* name, double* val);
int korvel_synth_setint(korvel_synth_t* synth, const char* name, int val);
int korvel_synth_getint(korvel_synth_t* synth, const char* name, int* val);

// Sets synth's profile; voices started earlier pick up its interpolation with their next note. Null is ignored.
void korvel_synth_set_profile(korvel_synth_t* synth, const korvel_profile_t* profile);
// Gain 0..10 for every sounding voice.
void korvel_synth_set_gain(korvel_synth_t* synth, float gain);
float korvel_synth_get_gain(korvel_synth_t* synth);
// The settings' change callback of "synth.gain": data is the synthesizer. 0.
int korvel_synth_update_gain(void* data, const char* name, double value);

int korvel_synth_count_midi_channels(korvel_synth_t* synth);
int korvel_synth_count_audio_channels(korvel_synth_t* synth);
int korvel_synth_count_audio_groups(korvel_synth_t* synth);
int korvel_synth_count_effects_channels(korvel_synth_t* synth);
double korvel_synth_get_cpu_load(korvel_synth_t* synth);
int korvel_synth_get_internal_bufsize(korvel_synth_t* synth);
// For a negative channel every channel, else the channel with that number. 0, or -1 with "Channels don't exist
// (yet)!".
int korvel_synth_set_interp_method(korvel_synth_t* synth, int chan, int interp_method);
// Fills buf with the sounding voices (of the note identifier id when it is not negative), ending with null when
// there is room.
void korvel_synth_get_voicelist(korvel_synth_t* synth, korvel_voice_t* buf[], int bufsize, int id);
void korvel_synth_set_midi_router(korvel_synth_t* synth, void* router);
const char* korvel_synth_error(korvel_synth_t* synth);

int korvel_synth_set_reverb_preset(korvel_synth_t* synth, int num);
void korvel_synth_set_reverb(korvel_synth_t* synth, double roomsize, double damping, double width, double level);
// Chorus voices, modulation type (korvel_chorus_mod), level, speed in Hz and depth in ms; takes effect at once.
void korvel_synth_set_chorus(korvel_synth_t* synth, int nr, int type, double level, double speed, double depth_ms);
double korvel_synth_get_reverb_roomsize(korvel_synth_t* synth);
double korvel_synth_get_reverb_damp(korvel_synth_t* synth);
double korvel_synth_get_reverb_level(korvel_synth_t* synth);
double korvel_synth_get_reverb_width(korvel_synth_t* synth);
// The chorus values in effect: voices, level, speed, depth and modulation type (korvel_chorus_mod).
int korvel_synth_get_chorus_nr(korvel_synth_t* synth);
double korvel_synth_get_chorus_level(korvel_synth_t* synth);
double korvel_synth_get_chorus_speed_Hz(korvel_synth_t* synth);
double korvel_synth_get_chorus_depth_ms(korvel_synth_t* synth);
int korvel_synth_get_chorus_type(korvel_synth_t* synth);
void korvel_synth_set_filter_on(korvel_synth_t* synth, int on);
void korvel_synth_set_reverb_on(korvel_synth_t* synth, int on);
void korvel_synth_set_chorus_on(korvel_synth_t* synth, int on);

// The sound-font stack. Loading returns the new identifier (the first is 1) or -1.
int korvel_synth_sfload(korvel_synth_t* synth, const char* filename, int reset_presets);
// Takes the sound font off the stack and releases it, later on a timer when its samples still sound. 0 or -1.
int korvel_synth_sfunload(korvel_synth_t* synth, unsigned int id, int reset_presets);
// Loads the sound font's file again under the same identifier and stack position. The identifier or -1.
int korvel_synth_sfreload(korvel_synth_t* synth, unsigned int id);
int korvel_synth_add_sfont(korvel_synth_t* synth, korvel_sfont_t* sfont);
void korvel_synth_remove_sfont(korvel_synth_t* synth, korvel_sfont_t* sfont);
int korvel_synth_sfcount(korvel_synth_t* synth);
korvel_sfont_t* korvel_synth_get_sfont(korvel_synth_t* synth, unsigned int num);
korvel_sfont_t* korvel_synth_get_sfont_by_id(korvel_synth_t* synth, unsigned int id);
korvel_sfont_t* korvel_synth_get_sfont_by_name(korvel_synth_t* synth, const char* name);
void korvel_synth_add_sfloader(korvel_synth_t* synth, korvel_sfloader_t* loader);
// Pushes a new empty bank on top of the sound-font stack and returns its fresh identifier; 0 (logged) when memory
// runs out.
unsigned int korvel_defsfont_create_soundbank(korvel_synth_t* synth);
// Stops the timers of sound fonts waiting for their voices to end and releases those sound fonts; the voices must
// have ended. Control thread.
void korvel_synth_release_pending_sfonts(korvel_synth_t* synth);

int korvel_synth_set_bank_offset(korvel_synth_t* synth, int sfont_id, int offset);
int korvel_synth_get_bank_offset(korvel_synth_t* synth, int sfont_id);
korvel_bank_offset_t* korvel_synth_get_bank_offset0(korvel_synth_t* synth, int sfont_id);
void korvel_synth_remove_bank_offset(korvel_synth_t* synth, int sfont_id);

// Preset resolution: the sound fonts in stack order, each asked for bank minus its bank offset.
korvel_preset_t* korvel_synth_find_preset(korvel_synth_t* synth, unsigned int banknum, unsigned int prognum);
korvel_preset_t* korvel_synth_get_preset(korvel_synth_t* synth, unsigned int sfontnum, unsigned int banknum,
                                         unsigned int prognum);
korvel_preset_t* korvel_synth_get_preset2(korvel_synth_t* synth, const char* sfont_name, unsigned int banknum,
                                          unsigned int prognum);
void korvel_synth_update_presets(korvel_synth_t* synth);
int korvel_synth_program_reset(korvel_synth_t* synth);
korvel_preset_t* korvel_synth_get_channel_preset(korvel_synth_t* synth, int chan);
// Program change with the drum-channel rule. 0; -1, logged, for a channel or program out of range.
int korvel_synth_program_change(korvel_synth_t* synth, int chan, int prognum);

// Tunings (see korvel_tuning_table.h); select and reset act on a channel.
int korvel_synth_create_key_tuning(korvel_synth_t* synth, int bank, int prog, const char* name,
                                   const double* pitch);
int korvel_synth_create_octave_tuning(korvel_synth_t* synth, int bank, int prog, const char* name,
                                      const double* pitch);
int korvel_synth_tune_notes(korvel_synth_t* synth, int bank, int prog, int len, const int* keys,
                            const double* pitch);
int korvel_synth_select_tuning(korvel_synth_t* synth, int chan, int bank, int prog);
int korvel_synth_reset_tuning(korvel_synth_t* synth, int chan);
void korvel_synth_tuning_iteration_start(korvel_synth_t* synth);
int korvel_synth_tuning_iteration_next(korvel_synth_t* synth, int* bank, int* prog);
int korvel_synth_tuning_dump(korvel_synth_t* synth, int bank, int prog, char* name, int len, double* pitch);

// Channel generator offsets: relative (set_gen), absolute or normalised (set_gen2), or only for the voices of one
// key (set_gen3). 0, or -1 with "Channel out of range" or "Parameter number out of range".
int korvel_synth_set_gen(korvel_synth_t* synth, int chan, int param, float value);
int korvel_synth_set_gen2(korvel_synth_t* synth, int chan, int param, int absolute, int normalized, float value);
int korvel_synth_set_gen3(korvel_synth_t* synth, int chan, int param, int key, float value);
float korvel_synth_get_gen(korvel_synth_t* synth, int chan, int param);

// Notes: the channel preset's note-on starts one voice per sounding zone pair.
int korvel_synth_noteon(korvel_synth_t* synth, int chan, int key, int vel);
int korvel_synth_noteoff(korvel_synth_t* synth, int chan, int key);
korvel_voice_t* korvel_synth_alloc_voice(korvel_synth_t* synth, korvel_sample_t* sample, int chan, int key, int vel);
void korvel_synth_start_voice(korvel_synth_t* synth, korvel_voice_t* voice);
korvel_voice_t* korvel_synth_free_voice_by_kill(korvel_synth_t* synth);
void korvel_synth_kill_by_exclusive_class(korvel_synth_t* synth, korvel_voice_t* voice);
void korvel_synth_release_voice_on_same_note(korvel_synth_t* synth, int chan, int key);
// Note-off (or immediate stop) for every sounding voice, of one channel or of all. 0.
int korvel_synth_all_notes_off(korvel_synth_t* synth, int chan);
int korvel_synth_all_notes_off_all(korvel_synth_t* synth);
int korvel_synth_all_sounds_off(korvel_synth_t* synth, int chan);
int korvel_synth_all_sounds_off_all(korvel_synth_t* synth);
// The preset's note-on under the given note identifier; releases nothing and leaves the identifier counter. -1 on
// a range error or for a preset without note-on. The audio channel is not used.
int korvel_synth_start(korvel_synth_t* synth, unsigned int id, korvel_preset_t* preset, int audio_chan, int chan,
                       int key, int vel);
// Note-off for the voices of the identifier that are on and not yet released. 0 when one was found, else -1.
int korvel_synth_stop(korvel_synth_t* synth, unsigned int id);
// Note-off for the channel's sustained voices (the sustain pedal was let go). 0.
int korvel_synth_damp_voices(korvel_synth_t* synth, int chan);
// Stops every voice and resets every channel, the chorus and the reverb. 0.
int korvel_synth_system_reset(korvel_synth_t* synth);
// Every voice of the channel, in any state, updates the modulators with this source (a MIDI controller when
// is_cc), or all its modulators. 0.
int korvel_synth_modulate_voices(korvel_synth_t* synth, int chan, int is_cc, int ctrl);
int korvel_synth_modulate_voices_all(korvel_synth_t* synth, int chan);

#ifdef __cplusplus
}
#endif
