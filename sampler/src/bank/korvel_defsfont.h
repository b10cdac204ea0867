// The in-memory sound bank: pools of samples and instruments, a preset chain sorted by bank and program number,
// and the sound-font interface record the synthesizer keeps on its stack.
//
// Thread contract: building, editing, loading and deleting run on the control thread while no voice plays the
// bank; preset selection (korvel_defsfont_get_preset) only reads and may run on the MIDI thread.
#pragma once

#include "sampler/src/bank/korvel_defpreset.h"
#include "sampler/src/bank/korvel_inst.h"
#include "sampler/src/sys/korvel_list.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/bank/korvel_sfont.h"

#ifdef __cplusplus
extern "C" {
#endif

struct _korvel_defsfont_t {
    char* filename;          // owned; null for a bank created empty
    unsigned int samplepos;  // byte offset of the sample data in the file
    unsigned int samplesize; // byte size of the sample data
    short* sampledata;       // owned (korvel_sample_data_new); shared by the samples of a SoundFont 2 file
    korvel_list_t* sample;   // korvel_sample_t, in order of arrival
    korvel_list_t* inst;     // korvel_inst_t, in order of arrival
    korvel_defpreset_t* preset;
    korvel_defpreset_t* iter_cur;
    struct korvel_defsfont_index* index; // owned; lookup aids that keep loading linear
    struct korvel_bank_arena* arena;     // owned, or null; storage of the records a file load made
};

// An empty bank; null with "Out of memory".
korvel_defsfont_t* new_korvel_defsfont(void);
// Releases everything the bank owns and returns 0; -1 and nothing changed while a sample is in use.
int delete_korvel_defsfont(korvel_defsfont_t* sfont);
// Wraps the bank in a sound-font interface record (id 0); null with "Out of memory".
korvel_sfont_t* korvel_defsfont_new_sfont(korvel_defsfont_t* sfont);
const char* korvel_defsfont_get_name(korvel_defsfont_t* sfont);

// Unsupported here; logs an error and returns 1.
int korvel_defsfont_export_sf2(korvel_defsfont_t* sfont, const char* file);
int korvel_defsfont_export_dls(korvel_defsfont_t* sfont, const char* file);
int korvel_defsfont_import_dls(korvel_defsfont_t* sfont, const char* file);

// Create operations: append a record with a fresh identifier and return the identifier; 0 with "Out of memory".
unsigned int korvel_defsfont_create_sample(korvel_defsfont_t* sfont);
unsigned int korvel_defsfont_create_instrument(korvel_defsfont_t* sfont);
unsigned int korvel_defsfont_create_preset(korvel_defsfont_t* sfont);

// The bank takes ownership. Samples and instruments are appended; a preset goes after every preset of lower or
// equal bank and number. 0, or -1 with "Out of memory".
int korvel_defsfont_add_sample(korvel_defsfont_t* sfont, korvel_sample_t* sample);
int korvel_defsfont_add_instrument(korvel_defsfont_t* sfont, korvel_inst_t* inst);
int korvel_defsfont_add_preset(korvel_defsfont_t* sfont, korvel_defpreset_t* preset);
// Append the modulator to the zone's list; the zone takes ownership. 0.
int korvel_defsfont_add_pmodulator(korvel_preset_zone_t* zone, korvel_mod_t* mod);
int korvel_defsfont_add_imodulator(korvel_inst_zone_t* zone, korvel_mod_t* mod);

// Lookups, first match from the head; null when absent.
korvel_sample_t* korvel_defsfont_get_sample_by_id(korvel_defsfont_t* sfont, unsigned int uid);
korvel_sample_t* korvel_defsfont_get_sample(korvel_defsfont_t* sfont, const char* name);
korvel_inst_t* korvel_defsfont_get_instrument_by_id(korvel_defsfont_t* sfont, unsigned int uid);
korvel_inst_t* find_korvel_inst(korvel_defsfont_t* sfont, unsigned int uid);
korvel_defpreset_t* korvel_defsfont_get_preset_by_id(korvel_defsfont_t* sfont, unsigned int uid);
// Zone number 0 is the global zone.
korvel_preset_zone_t* korvel_defsfont_get_pzone_by_id(korvel_defpreset_t* preset, int id);
korvel_inst_zone_t* korvel_defsfont_get_izone_by_id(korvel_inst_t* inst, int id);
korvel_mod_t* korvel_defsfont_get_pmodulator_by_id(korvel_preset_zone_t* zone, int id);
korvel_mod_t* korvel_defsfont_get_imodulator_by_id(korvel_inst_zone_t* zone, int id);

// Preset selection: bit 31 of bank (the drum request) is ignored; the preset with this bank and program, else for a
// bank above 127 the first preset of banks 128 and up with program 0, for banks 0..127 bank 0 with this program;
// else the first preset. Null only for a bank without presets. Takes time logarithmic in the number of presets.
korvel_defpreset_t* korvel_defsfont_get_preset(korvel_defsfont_t* sfont, unsigned int bank, unsigned int prenum);
// To be called after changing the bank or program of presets already in the bank, before the next selection.
void korvel_defsfont_reindex_presets(korvel_defsfont_t* sfont);

// Walk the preset chain: next hands out the current preset and returns 1, or 0 at the end.
void korvel_defsfont_iteration_start(korvel_defsfont_t* sfont);
int korvel_defsfont_iteration_next(korvel_defsfont_t* sfont, korvel_defpreset_t** preset);

// Operations of the sound-font interface record.
int korvel_defsfont_sfont_delete(korvel_sfont_t* sfont);
const char* korvel_defsfont_sfont_get_name(korvel_sfont_t* sfont);
korvel_preset_t* korvel_defsfont_sfont_get_preset(korvel_sfont_t* sfont, unsigned int bank, unsigned int prenum);
void korvel_defsfont_sfont_iteration_start(korvel_sfont_t* sfont);
int korvel_defsfont_sfont_iteration_next(korvel_sfont_t* sfont, korvel_preset_t* preset);

// Every name of a pool followed by ", " on standard output.
void print_samples(korvel_defsfont_t* sfont);
void print_instruments(korvel_defsfont_t* sfont);
void print_presets(korvel_defsfont_t* sfont);

#ifdef __cplusplus
}
#endif
