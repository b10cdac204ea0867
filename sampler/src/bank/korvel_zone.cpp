#include "sampler/src/bank/korvel_zone.h"

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/sys/korvel_sys.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Zone defaults: id -1, ranges 0..128, generator defaults.
template <typename Zone>
Zone* set_up(Zone* zone)
{
    zone->id = -1;
    zone->keylo = 0;
    zone->keyhi = 128;
    zone->vello = 0;
    zone->velhi = 128;
    korvel_zone_gen_set_default_values(zone->gen);
    return zone;
}

// The zone's name is a heap copy wherever the zone lives, so that an edit can replace any zone's name alike.
template <typename Zone>
Zone* named(Zone* zone, const char* name)
{
    zone->name = strdup(name != nullptr ? name : "");
    return zone->name != nullptr ? set_up(zone) : nullptr;
}

template <typename Zone>
Zone* new_zone(const char* name)
{
    auto* zone = new (std::nothrow) Zone{};
    if (zone == nullptr || named(zone, name) == nullptr) {
        delete zone;
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    return zone;
}

template <typename Zone>
Zone* new_zone_in(korvel_bank_arena& arena, const char* name)
{
    auto* zone = arena.make<Zone>();
    if (zone == nullptr || named(zone, name) == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    return zone;
}

template <typename Zone>
int delete_zone(Zone* zone)
{
    if (zone == nullptr) {
        return 0;
    }
    korvel_mod_t* mod = zone->mod;
    while (mod != nullptr) {
        korvel_mod_t* next = mod->next;
        korvel_mod_delete(mod);
        mod = next;
    }
    std::free(zone->name);
    korvel_bank_record_delete(zone);
    return 0;
}

template <typename Zone>
int inside_range(const Zone* zone, int key, int vel)
{
    return zone->keylo <= key && key <= zone->keyhi && zone->vello <= vel && vel <= zone->velhi;
}

} // namespace

korvel_preset_zone_t* new_korvel_preset_zone_in(korvel_bank_arena& arena, const char* name)
{
    return new_zone_in<korvel_preset_zone_t>(arena, name);
}

korvel_inst_zone_t* new_korvel_inst_zone_in(korvel_bank_arena& arena, const char* name)
{
    return new_zone_in<korvel_inst_zone_t>(arena, name);
}

extern "C" {

korvel_preset_zone_t* new_korvel_preset_zone(const char* name)
{
    return new_zone<korvel_preset_zone_t>(name);
}

korvel_inst_zone_t* new_korvel_inst_zone(const char* name)
{
    return new_zone<korvel_inst_zone_t>(name);
}

int delete_korvel_preset_zone(korvel_preset_zone_t* zone)
{
    return delete_zone(zone);
}

int delete_korvel_inst_zone(korvel_inst_zone_t* zone)
{
    return delete_zone(zone);
}

korvel_preset_zone_t* korvel_preset_zone_next(korvel_preset_zone_t* zone)
{
    return zone->next;
}

korvel_inst_t* korvel_preset_zone_get_inst(korvel_preset_zone_t* zone)
{
    return zone->inst;
}

korvel_inst_zone_t* korvel_inst_zone_next(korvel_inst_zone_t* zone)
{
    return zone->next;
}

korvel_sample_t* korvel_inst_zone_get_sample(korvel_inst_zone_t* zone)
{
    return zone->sample;
}

int korvel_preset_zone_inside_range(const korvel_preset_zone_t* zone, int key, int vel)
{
    return inside_range(zone, key, vel);
}

int korvel_inst_zone_inside_range(const korvel_inst_zone_t* zone, int key, int vel)
{
    return inside_range(zone, key, vel);
}

} // extern "C"
