// An instrument of a bank's instrument pool: an optional global zone and a list of zones linked to samples.
#pragma once

#include "sampler/src/bank/korvel_zone.h"

#ifdef __cplusplus
extern "C" {
#endif

struct _korvel_inst_t {
    char name_buf[256];
    char* name; // name_buf, or null
    unsigned int uid;
    unsigned int serial;
    int shift;     // -12..12, stored and listed only
    int alternate; // 0..12, stored and listed only
    korvel_inst_zone_t* global_zone;
    korvel_inst_zone_t* zone;
    int in_arena; // the instrument lies in a bank's arena and goes with it
};

// Control thread. A free-standing instrument with no identifier (all bits set) and the next serial number; null
// with "Out of memory".
korvel_inst_t* new_korvel_inst(void);
// Releases the instrument's zones and, unless it lies in an arena, the instrument. Null is accepted.
int delete_korvel_inst(korvel_inst_t* inst);
// Copies name (cut to 255 characters) into the name buffer and points name at it.
void korvel_inst_set_name(korvel_inst_t* inst, const char* name);
// Puts the zone at the head of the zone list. 0.
int korvel_inst_add_zone(korvel_inst_t* inst, korvel_inst_zone_t* zone);
// Sets the global zone, releasing an earlier, different one. 0.
int korvel_inst_set_global_zone(korvel_inst_t* inst, korvel_inst_zone_t* zone);
korvel_inst_zone_t* korvel_inst_get_global_zone(korvel_inst_t* inst);
korvel_inst_zone_t* korvel_inst_get_zone(korvel_inst_t* inst);

#ifdef __cplusplus
}

struct korvel_bank_arena;

// Control thread. As new_korvel_inst, with the instrument in arena.
korvel_inst_t* new_korvel_inst_in(korvel_bank_arena& arena);
#endif
