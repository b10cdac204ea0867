#include "sampler/src/bank/korvel_defpreset.h"

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/sys/korvel_sys.h"

#include <new>

namespace {

korvel_defpreset_t* set_up(korvel_defpreset_t* preset, korvel_defsfont_t* sfont)
{
    if (preset == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    preset->sfont = sfont;
    preset->uid = ~0u;
    korvel_defpreset_fill_interface(&preset->iface, preset, nullptr);
    return preset;
}

} // namespace

korvel_defpreset_t* new_korvel_defpreset_in(korvel_bank_arena& arena, korvel_defsfont_t* sfont)
{
    return set_up(arena.make<korvel_defpreset_t>(), sfont);
}

extern "C" {

korvel_defpreset_t* new_korvel_defpreset(korvel_defsfont_t* sfont)
{
    return set_up(new (std::nothrow) korvel_defpreset_t{}, sfont);
}

int delete_korvel_defpreset(korvel_defpreset_t* preset)
{
    if (preset == nullptr) {
        return 0;
    }
    korvel_zones::delete_all(preset);
    korvel_bank_record_delete(preset);
    return 0;
}

void korvel_defpreset_set_name(korvel_defpreset_t* preset, const char* name)
{
    korvel_zones::set_name(preset, name);
}

int korvel_defpreset_add_zone(korvel_defpreset_t* preset, korvel_preset_zone_t* zone)
{
    return korvel_zones::add(preset, zone);
}

int korvel_defpreset_set_global_zone(korvel_defpreset_t* preset, korvel_preset_zone_t* zone)
{
    return korvel_zones::set_global(preset, zone);
}

const char* korvel_defpreset_get_name(korvel_defpreset_t* preset)
{
    return preset->name_buf;
}

int korvel_defpreset_get_banknum(korvel_defpreset_t* preset)
{
    return static_cast<int>(preset->bank);
}

int korvel_defpreset_get_num(korvel_defpreset_t* preset)
{
    return static_cast<int>(preset->num);
}

korvel_preset_zone_t* korvel_defpreset_get_global_zone(korvel_defpreset_t* preset)
{
    return preset->global_zone;
}

korvel_preset_zone_t* korvel_defpreset_get_zone(korvel_defpreset_t* preset)
{
    return preset->zone;
}

korvel_defpreset_t* korvel_defpreset_next(korvel_defpreset_t* preset)
{
    return preset->next;
}

void korvel_defpreset_fill_interface(korvel_preset_t* record, korvel_defpreset_t* preset, korvel_sfont_t* sfont)
{
    record->data = preset;
    record->sfont = sfont;
    record->free = korvel_defpreset_preset_delete;
    record->get_name = korvel_defpreset_preset_get_name;
    record->get_banknum = korvel_defpreset_preset_get_banknum;
    record->get_num = korvel_defpreset_preset_get_num;
    record->noteon = korvel_defpreset_preset_noteon;
    record->notify = nullptr;
}

int korvel_defpreset_preset_delete(korvel_preset_t*)
{
    return 0;
}

const char* korvel_defpreset_preset_get_name(korvel_preset_t* preset)
{
    return korvel_defpreset_get_name(static_cast<korvel_defpreset_t*>(preset->data));
}

int korvel_defpreset_preset_get_banknum(korvel_preset_t* preset)
{
    return korvel_defpreset_get_banknum(static_cast<korvel_defpreset_t*>(preset->data));
}

int korvel_defpreset_preset_get_num(korvel_preset_t* preset)
{
    return korvel_defpreset_get_num(static_cast<korvel_defpreset_t*>(preset->data));
}

} // extern "C"
