// bank/: the sound-bank model (samples, generators, modulators, zones, instruments, presets) with its SoundFont 2
// reader and the default loader; it may use sys/ and fx/.
//
// The interface records through which the synthesizer reaches a sound font, its presets and its loader.
#pragma once

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// One sound font on the synthesizer's stack. Operations run on the control thread; get_preset also on the thread
// that handles MIDI.
struct _korvel_sfont_t {
    void* data;
    unsigned int id;
    // 0 when the font and this record were released; -1 while the font is still in use (retry later).
    int (*free)(korvel_sfont_t* sfont);
    const char* (*get_name)(korvel_sfont_t* sfont);
    // The preset's record (release it with its free operation), or null. Allocates nothing.
    korvel_preset_t* (*get_preset)(korvel_sfont_t* sfont, unsigned int bank, unsigned int prenum);
    void (*iteration_start)(korvel_sfont_t* sfont);
    // Fills preset with the next preset and returns 1, or returns 0 at the end.
    int (*iteration_next)(korvel_sfont_t* sfont, korvel_preset_t* preset);
};

// One preset of a sound font.
struct _korvel_preset_t {
    void* data;
    korvel_sfont_t* sfont;
    int (*free)(korvel_preset_t* preset);
    const char* (*get_name)(korvel_preset_t* preset);
    int (*get_banknum)(korvel_preset_t* preset);
    int (*get_num)(korvel_preset_t* preset);
    int (*noteon)(korvel_preset_t* preset, korvel_synth_t* synth, int chan, int key, int vel);
    int (*notify)(korvel_preset_t* preset, int reason, int chan);
};

// Makes sound fonts from files.
struct _korvel_sfloader_t {
    void* data;
    int (*free)(korvel_sfloader_t* loader);
    korvel_sfont_t* (*load)(korvel_sfloader_t* loader, const char* filename);
};

#ifdef __cplusplus
}
#endif
