// Zones of presets and instruments: key and velocity ranges, a mute flag, the generator array and modulators,
// linked to an instrument (preset zone) or a sample (instrument zone).
#pragma once

#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/sys/korvel_types.h"

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
    int in_arena; // the zone lies in a bank's arena and goes with it; its name is on the heap either way
    korvel_zone_gen_t gen[GEN_LAST];
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
    int in_arena;
    korvel_zone_gen_t gen[GEN_LAST];
    korvel_mod_t* mod;
};

// Control thread. A zone with a copy of name, id -1, ranges 0..128, generator defaults; null with "Out of memory".
korvel_preset_zone_t* new_korvel_preset_zone(const char* name);
korvel_inst_zone_t* new_korvel_inst_zone(const char* name);
// Release the zone's modulators, its name and, unless it lies in an arena, the zone (not the linked instrument or
// sample). Null is accepted.
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

#ifdef __cplusplus
#include <cstring>

struct korvel_bank_arena;

// Control thread. As new_korvel_preset_zone and new_korvel_inst_zone, with the zone in arena.
korvel_preset_zone_t* new_korvel_preset_zone_in(korvel_bank_arena& arena, const char* name);
korvel_inst_zone_t* new_korvel_inst_zone_in(korvel_bank_arena& arena, const char* name);

// The zone list that presets and instruments share: a global zone and the other zones, newest first, each owned
// by its preset or instrument. Owner is korvel_defpreset_t or korvel_inst_t. Control thread.
namespace korvel_zones {

inline int delete_zone(korvel_preset_zone_t* zone)
{
    return delete_korvel_preset_zone(zone);
}

inline int delete_zone(korvel_inst_zone_t* zone)
{
    return delete_korvel_inst_zone(zone);
}

// Releases the global zone and every zone of the list.
template <typename Owner> void delete_all(Owner* owner)
{
    delete_zone(owner->global_zone);
    auto* zone = owner->zone;
    while (zone != nullptr) {
        auto* next = zone->next;
        delete_zone(zone);
        zone = next;
    }
}

// Puts the zone at the head of the list. 0.
template <typename Owner, typename Zone> int add(Owner* owner, Zone* zone)
{
    zone->next = owner->zone;
    owner->zone = zone;
    return 0;
}

// Sets the global zone, releasing an earlier, different one. 0.
template <typename Owner, typename Zone> int set_global(Owner* owner, Zone* zone)
{
    if (owner->global_zone != zone) {
        delete_zone(owner->global_zone);
    }
    owner->global_zone = zone;
    return 0;
}

// Copies name (cut to the buffer) into the owner's name buffer and points its name at it.
template <typename Owner> void set_name(Owner* owner, const char* name)
{
    std::strncpy(owner->name_buf, name, sizeof owner->name_buf - 1);
    owner->name_buf[sizeof owner->name_buf - 1] = '\0';
    owner->name = owner->name_buf;
}

} // namespace korvel_zones
#endif
