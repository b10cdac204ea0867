// A preset of a bank: bank and program number, an optional global zone and zones linked to pool instruments; and
// the preset interface record the synthesizer uses.
#pragma once

#include "sampler/src/bank/korvel_sfont.h"
#include "sampler/src/bank/korvel_zone.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_defsfont_t korvel_defsfont_t;
typedef struct _korvel_defpreset_t korvel_defpreset_t;

struct _korvel_defpreset_t {
    korvel_defpreset_t* next;
    korvel_defsfont_t* sfont;
    char name_buf[256];
    char* name; // name_buf, or null
    unsigned int uid;
    unsigned int bank;
    unsigned int num;
    korvel_preset_zone_t* global_zone;
    korvel_preset_zone_t* zone;
    // The interface record preset selection hands out, prepared here so that a program change allocates nothing.
    korvel_preset_t iface;
    int in_arena; // the preset lies in a bank's arena and goes with it
};

// Control thread. A free-standing preset of the bank with no identifier (all bits set); null with "Out of memory".
korvel_defpreset_t* new_korvel_defpreset(korvel_defsfont_t* sfont);
// Releases the preset and its zones (not the instruments they link). Null is accepted.
int delete_korvel_defpreset(korvel_defpreset_t* preset);
// Copies name (cut to 255 characters) into the name buffer and points name at it.
void korvel_defpreset_set_name(korvel_defpreset_t* preset, const char* name);
// Puts the zone at the head of the zone list. 0.
int korvel_defpreset_add_zone(korvel_defpreset_t* preset, korvel_preset_zone_t* zone);
// Sets the global zone, releasing an earlier, different one. 0.
int korvel_defpreset_set_global_zone(korvel_defpreset_t* preset, korvel_preset_zone_t* zone);

const char* korvel_defpreset_get_name(korvel_defpreset_t* preset);
int korvel_defpreset_get_banknum(korvel_defpreset_t* preset);
int korvel_defpreset_get_num(korvel_defpreset_t* preset);
korvel_preset_zone_t* korvel_defpreset_get_global_zone(korvel_defpreset_t* preset);
korvel_preset_zone_t* korvel_defpreset_get_zone(korvel_defpreset_t* preset);
korvel_defpreset_t* korvel_defpreset_next(korvel_defpreset_t* preset);

// Fills an interface record for preset (data, sfont and the operations; notify null).
void korvel_defpreset_fill_interface(korvel_preset_t* record, korvel_defpreset_t* preset, korvel_sfont_t* sfont);

// Operations of the preset interface record. The records are prepared by their presets or owned by the caller,
// so releasing one does nothing.
int korvel_defpreset_preset_delete(korvel_preset_t* preset);
const char* korvel_defpreset_preset_get_name(korvel_preset_t* preset);
int korvel_defpreset_preset_get_banknum(korvel_preset_t* preset);
int korvel_defpreset_preset_get_num(korvel_preset_t* preset);
// The note-on operation: starts the preset's voices on the synthesizer. It is defined with the note-on walk
// (korvel_defpreset_noteon.cpp), where the synthesizer's voice calls are at hand; the bank model only points the
// record at it.
int korvel_defpreset_preset_noteon(korvel_preset_t* preset, korvel_synth_t* synth, int chan, int key, int vel);

#ifdef __cplusplus
}

struct korvel_bank_arena;

// Control thread. As new_korvel_defpreset, with the preset in arena.
korvel_defpreset_t* new_korvel_defpreset_in(korvel_bank_arena& arena, korvel_defsfont_t* sfont);
#endif
