// Public C interface. A process-wide table holds up to sixteen instances, keyed by a 32-bit id the caller picks.
// Each instance owns its settings, a synthesizer with one SoundFont loaded on creation, and, after a MIDI file is
// given, a player.
//
// Thread contract: no locks. Creating, using and finalising instances happens from one thread at a time; the
// table is shared by every caller in the process. The MIDI and audio calls of one instance may come from its render
// thread as long as no other call on that instance overlaps them; they neither allocate nor lock, and their lines
// (a missing instance, an oversized message or pull) are let through only a few times a second.
#pragma once

#include "sampler/src/midi/korvel_audio_driver.h"
#include "sampler/src/shell/korvel_cmd.h"
#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/midi/korvel_player.h"
#include "sampler/src/synth/korvel_synth.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_INSTANCES = 16 };

typedef struct _korvelsynth_instance_t {
    unsigned int id;
    korvel_settings_t* settings;
    korvel_cmd_handler_t* cmd_handler; // a host's shell handler (korvelsynth_set_cmd_handler), deleted with it
    korvel_audio_driver_t* adriver; // the pull driver, or null when it could not be made
    korvel_synth_t* synth;
    korvel_player_t* player; // the MIDI-file player, present once a MIDI file was given
} korvelsynth_instance_t;

// The resource folder of the last instance that got a slot (a copy), or null.
const char* korvel_resource_location(void);

// Creates an instance: settings, a synthesizer, the SoundFont at soundfont_path and the pull driver (a load or
// driver failure leaves an instance without presets or without audio). 0, or -1 when the table is full, the identifier is already taken or the synthesizer
// cannot be created.
int KorvelInitialize(const char* resource_folder, const char* soundfont_path, unsigned int id);
// The same with an argument list: resource folder, SoundFont path, then MIDI files (entries that begin with "-"
// and files that are not MIDI files are passed over), which go to the play list of a new player that is started.
int korvelsynth_main_initialize(int argc, char** argv, unsigned int id);
// Tears down the instance (player, synthesizer, settings) and frees its slot. 0; -1 for an unknown id.
int KorvelFinalize(unsigned int id);
int korvelsynth_main_finalize(unsigned int id);
// The instance's synthesizer record, or null.
korvel_synth_t* KorvelGetSynth(unsigned int id);
// The instance's MIDI-file player, or null. The record is valid until korvelsynth_load_file replaces it or the
// instance is finalised.
korvel_player_t* KorvelGetPlayer(unsigned int id);

// Replaces the instance's player with a new one that plays the file: 0; 1 when the player cannot be made, the file
// cannot be read (the new player then has nothing to play) or no instance has the identifier.
int korvelsynth_load_file(unsigned int id, const char* path);

// The player calls take the record from KorvelGetPlayer and answer a null player as noted. Control thread, or the
// thread that runs the player's audio clock.

// Loads the next file of the play list: 1 when one was loaded, 0 when none; -1 for a null player.
int korvelsynth_player_load_next(korvel_player_t* player);
// Plays at bpm / 120 of the file's speed; nothing for a null player or a value at or below 0.
void korvelsynth_player_set_tempo(korvel_player_t* player, float bpm);
// The player's bpm and second bpm; 120 for a null player.
double korvelsynth_player_get_tempo(korvel_player_t* player);
double korvelsynth_player_get_tempo2(korvel_player_t* player);
// Seeks to the tick; nothing for a null player.
void korvelsynth_player_seek(korvel_player_t* player, int ticks);
// The current tick and the current sample position; -1 for a null player.
int korvelsynth_player_position(korvel_player_t* player);
int64_t korvelsynth_player_position2(korvel_player_t* player);
// The flat event list of the loaded file (its entries linked in file order), or null.
korvel_player_event_t* korvelsynth_get_events(korvel_player_t* player);

// MIDI and audio of an instance. An unknown id is logged and returns -1 without effect.

// One channel or system message (type = status & 0xF0, channel = status & 0x0F): the dispatcher's result.
int korvelsynth_midi_short_message(unsigned int id, unsigned char status, unsigned char data1, unsigned char data2);
// A system-exclusive message of fewer than 255 bytes: the dispatcher's result. For 255 bytes or more prints
// "SYSEX message too long!" and gives -1; a negative length or missing bytes give -1; nothing is dispatched then.
int korvelsynth_midi_long_message(unsigned int id, const unsigned char* data, int length);
// Renders frames (up to KORVEL_IOS_AUDIO_BUFSIZE) of float stereo through the instance's pull driver into left
// and right: 0. Too many frames (an error line is printed) or no driver: -1, buffers untouched.
int korvelsynth_process(unsigned int id, int frames, float* left, float* right);

// Releases every sounding voice (optionally of one channel), or silences all at once. 0; -1 for an unknown id.
int korvelsynth_all_notes_off_all(unsigned int id);
int korvelsynth_all_notes_off(unsigned int id, int chan);
int korvelsynth_all_sounds_off(unsigned int id);

// Access to the bank on top of the instance's stack (the newest loaded or created). With an unknown id (reported)
// or no sound font, status and id results are -1 and object results null.

// The object with that unique identifier, or null.
korvel_defpreset_t* KorvelGetPreset(unsigned int id, unsigned int uid);
korvel_inst_t* KorvelGetInstrument(unsigned int id, unsigned int uid);
korvel_sample_t* KorvelGetSample(unsigned int id, unsigned int uid);
korvel_defpreset_t* korvelsynth_get_preset_with_id(unsigned int id, unsigned int uid);
korvel_inst_t* korvelsynth_get_instrument_with_id(unsigned int id, unsigned int uid);
korvel_sample_t* korvelsynth_get_sample_with_id(unsigned int id, unsigned int uid);
// Accepted and without effect: 0.
int KorvelSetSample(unsigned int id, korvel_sample_t* sample);
int KorvelSetInstrument(unsigned int id, korvel_inst_t* inst);
int KorvelSetPreset(unsigned int id, korvel_defpreset_t* preset);
// A new empty bank at the head of the synthesizer's stack: its sound-font identifier, 0 when it cannot be made.
int korvelsynth_create_soundbank(unsigned int id);
// A new object in the first sound font: its unique identifier.
int korvelsynth_create_sample(unsigned int id);
int korvelsynth_create_instrument(unsigned int id);
int korvelsynth_create_preset(unsigned int id);
// XML texts of the first sound font. Texts live in the shared text buffer until the next call that uses it.
// Creates the object as above and applies the XML fragment to it: the new identifier (0 when creation failed,
// after "FEHLER: ... (XML) konnte nicht erstellt werden."; a fragment that cannot be applied prints
// "... konnte nicht gesetzt werden." and the identifier is still returned).
int korvelsynth_create_soundbank_xml(unsigned int id, const char* xml);
int korvelsynth_create_sample_xml(unsigned int id, const char* xml);
int korvelsynth_create_instrument_xml(unsigned int id, const char* xml);
int korvelsynth_create_preset_xml(unsigned int id, const char* xml);
// Applies an XML fragment to the object with that unique identifier: 0, or -1 when the object is missing or the
// fragment cannot be parsed.
int korvelsynth_set_preset(unsigned int id, unsigned int uid, const char* xml);
int korvelsynth_set_instrument(unsigned int id, unsigned int uid, const char* xml);
int korvelsynth_set_sample(unsigned int id, unsigned int uid, const char* xml);
// One XML line per pool entry; null without an instance, a sound font or entries.
const char* korvelsynth_get_preset_list(unsigned int id);
const char* korvelsynth_get_instrument_list(unsigned int id);
const char* korvelsynth_get_sample_list(unsigned int id);
// The object as XML text; null when absent.
const char* korvelsynth_get_preset_with_id_xml(unsigned int id, unsigned int uid);
const char* korvelsynth_get_instrument_with_id_xml(unsigned int id, unsigned int uid);
const char* korvelsynth_get_sample_with_id_xml(unsigned int id, unsigned int uid);
// XML export of the top sound font: 0; 1 if path cannot be created; -1 on a write failure or an unknown id.
int KorvelExportXML(unsigned int id, const char* path);
int korvelsynth_save_bank(unsigned int id, const char* path);
// One AIFF per sample of the top sound font (korvel_aiff_export.h): 1 when it has samples and every one was
// exported or skipped, -1 when a file could not be made or written (logged), 0 if it has none, the id is unknown or
// no sound font is loaded.
int KorvelExportSamples(unsigned int id);

// Stub: logs that it is unsupported and returns null.
korvel_defpreset_t* korvelsynth_get_preset_on_channel(unsigned int id);
// No text: null.
const char* korvelsynth_get_preset_on_channel_xml(unsigned int id);
// The canned channel-setup text, copied into the shared text buffer; null without an instance.
const char* korvelsynth_get_channel_setup(unsigned int id);
// Length of the text in the shared text buffer plus 1; -1 without an instance.
int korvelsynth_get_last_buffersize(unsigned int id);

// Hands the instance a host's command handler (korvel_cmd.h), which finalisation deletes; a handler it held
// before is deleted now. Control thread. 0; -1 when no instance has the identifier.
int korvelsynth_set_cmd_handler(unsigned int id, korvel_cmd_handler_t* handler);

#ifdef __cplusplus
}
#endif
