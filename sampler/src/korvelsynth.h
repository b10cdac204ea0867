// The library's outward face: a flat C interface over a process-wide table of sixteen instances, each named by a
// caller-chosen 32-bit identifier. An instance owns its settings and its synthesizer, which loads one SoundFont
// at creation.
//
// Thread contract: no locks. Creating, using and finalising instances happens from one thread at a time; the
// table is shared by every caller in the process.
#pragma once

#include "sampler/src/korvel_synth.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { KORVEL_INSTANCES = 16 };

typedef struct _korvelsynth_instance_t {
    unsigned int id;
    korvel_settings_t* settings;
    korvel_synth_t* synth;
} korvelsynth_instance_t;

// The synthesizer created last, cleared when its instance is finalised.
extern korvel_synth_t* sharedInstance;
// The resource folder of the last instance that got a slot (a copy), or null.
const char* korvel_resource_location(void);

// Creates an instance: settings, a synthesizer and the SoundFont at soundfont_path (a load failure leaves an
// instance without presets). 0, or -1 when the table is full, the identifier is already taken or the synthesizer
// cannot be created.
int KorvelInitialize(const char* resource_folder, const char* soundfont_path, unsigned int id);
// The same with an argument list: resource folder, SoundFont path, further entries ignored.
int korvelsynth_main_initialize(int argc, char** argv, unsigned int id);
// Deletes the instance's synthesizer and settings and frees its slot. 0, or -1 when no instance has the
// identifier.
int KorvelFinalize(unsigned int id);
int korvelsynth_main_finalize(unsigned int id);
// The instance's synthesizer record, or null.
korvel_synth_t* KorvelGetSynth(unsigned int id);

// Note-off for every sounding voice (of one channel), or an immediate stop for every sounding voice. 0; -1 with
// "Soundfont Synthesizer: Instance assignment failed." when no instance has the identifier.
int korvelsynth_all_notes_off_all(unsigned int id);
int korvelsynth_all_notes_off(unsigned int id, int chan);
int korvelsynth_all_sounds_off(unsigned int id);

#ifdef __cplusplus
}
#endif
