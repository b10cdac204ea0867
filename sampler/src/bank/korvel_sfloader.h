// The default sound-font loader: makes a bank from a SoundFont 2 file and wraps it for the synthesizer.
//
// Thread contract: control thread.
#pragma once

#include "sampler/src/bank/korvel_sfont.h"

#ifdef __cplusplus
extern "C" {
#endif

// Null with "Out of memory?".
korvel_sfloader_t* new_korvel_defsfloader(void);
int delete_korvel_defsfloader(korvel_sfloader_t* loader);
// The loaded font, or null when the file could not be read (nothing is left behind).
korvel_sfont_t* korvel_defsfloader_load(korvel_sfloader_t* loader, const char* filename);

#ifdef __cplusplus
}
#endif
