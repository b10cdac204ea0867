// Reading a SoundFont 2 file into a bank.
//
// Thread contract: control thread, into a bank that no voice plays yet.
#pragma once

#include "sampler/src/bank/korvel_defsfont.h"

#ifdef __cplusplus
extern "C" {
#endif

// Reads the file into the empty bank: samples (their points loaded whole), instruments and presets with fresh
// identifiers, zones linked by the file's indices. Samples that cannot play are kept but marked not valid.
// 0, or -1 after logging why; a failed bank is for deleting only.
int korvel_defsfont_load(korvel_defsfont_t* sfont, const char* file);
int korvel_defsfont_import_sf2(korvel_defsfont_t* sfont, const char* file);

#ifdef __cplusplus
}
#endif
