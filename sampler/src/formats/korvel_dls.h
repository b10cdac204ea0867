// formats/: DLS, AIFF and the XML bank reader, writer and editor; they may use sys/, fx/, bank/, voice/ and synth/.
#pragma once
// Loads DLS banks (Level 1, and the Level 2 region and articulation chunks) into the library's sound-bank model,
// the same model a SoundFont 2 file fills.
//
// What a bank becomes: every wave of the wave pool (mono 16-bit PCM only) becomes a sample whose points are copied
// into the bank's one sample block, each followed by 46 zero points; its sample record gives the root key, pitch
// correction and loop. Every instrument becomes a pool instrument with one zone per region (key and velocity range,
// the pool sample, the key group as exclusive class, the loop mode, the region's own root key, fine tune,
// attenuation and loop where it has a sample record) and its articulation turned into generators (see
// korvel_dls_art.h; a region's own articulation replaces the instrument's). Each instrument also gets a preset with
// a single zone linking it, named after the instrument, at the instrument's program and at a bank number built from
// its bank select the way a channel builds it when only the non-zero parts are sent: controller 0 alone gives its
// value, controller 32 alone its value, both 128 x controller 0 + controller 32; drum kits go to bank 128.
//
// Thread contract: control thread, while no voice plays the bank.

#include "sampler/src/bank/korvel_defsfont.h"

#ifdef __cplusplus
extern "C" {
#endif

// 1 when the file begins with a RIFF header of form "DLS "; 0 when it does not or cannot be read.
int korvel_is_dls(const char* path);

// Loads a DLS file into an empty bank, whose file name becomes a copy of path. 0; or -1 with an error logged
// ("DLS: ..." for a fault of the file, naming the chunk, the instrument or the wave). A file that is
// truncated, corrupted or in a wave format other than mono 16-bit PCM is refused before the bank is touched; only
// when memory runs out midway can the bank hold part of the file, and it is then to be deleted.
int korvel_dls_load(korvel_defsfont_t* sfont, const char* path);

#ifdef __cplusplus
}
#endif
