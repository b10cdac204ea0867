// Zones of presets and instruments: key and velocity ranges, a mute flag, the generator array and modulators,
// linked to an instrument (preset zone) or a sample (instrument zone).
#pragma once

#include "sampler/src/korvel_gen.h"
#include "sampler/src/korvel_mod.h"
#include "sampler/src/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _korvel_inst_t korvel_inst_t;
typedef struct _korvel_preset_zone_t korvel_preset_zone_t;
typedef struct _korvel_inst_zone_t korvel_inst_zone_t;

struct _korvel_preset_zone_t {
    korvel_preset_zone_t* next;
    char* name; // owned
    int id;     // number within the preset; -1 until numbered
    korvel_inst_t* inst;
    int keylo;
    int keyhi;
    int vello;
    int velhi;
    int mute;
    korvel_gen_t gen[GEN_LAST];
    korvel_mod_t* mod; // owned list, in order of arrival
};

struct _korvel_inst_zone_t {
    korvel_inst_zone_t* next;
    char* name;
    int id;
    korvel_sample_t* sample;
    int keylo;
    int keyhi;
    int vello;
    int velhi;
    int mute;
    korvel_gen_t gen[GEN_LAST];
    korvel_mod_t* mod;
};

// Control thread. A zone with a copy of name, id -1, ranges 0..128, generator defaults; null with "Out of memory".
korvel_preset_zone_t* new_korvel_preset_zone(const char* name);
korvel_inst_zone_t* new_korvel_inst_zone(const char* name);
// Release the zone with its name and modulators (not the linked instrument or sample). Null is accepted.
int delete_korvel_preset_zone(korvel_preset_zone_t* zone);
int delete_korvel_inst_zone(korvel_inst_zone_t* zone);

korvel_preset_zone_t* korvel_preset_zone_next(korvel_preset_zone_t* zone);
korvel_inst_t* korvel_preset_zone_get_inst(korvel_preset_zone_t* zone);
korvel_inst_zone_t* korvel_inst_zone_next(korvel_inst_zone_t* zone);
korvel_sample_t* korvel_inst_zone_get_sample(korvel_inst_zone_t* zone);
// Non-zero when keylo <= key <= keyhi and vello <= vel <= velhi. Any thread.
int korvel_preset_zone_inside_range(const korvel_preset_zone_t* zone, int key, int vel);
int korvel_inst_zone_inside_range(const korvel_inst_zone_t* zone, int key, int vel);

#ifdef __cplusplus
}
#endif
