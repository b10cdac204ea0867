#include "sampler/src/korvel_inst.h"

#include "sampler/src/korvel_sys.h"
#include "sampler/src/korvel_uid.h"

#include <cstring>
#include <new>

extern "C" {

korvel_inst_t* new_korvel_inst(void)
{
    auto* inst = new (std::nothrow) korvel_inst_t{};
    if (inst == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    inst->uid = ~0u;
    inst->serial = generate_instrument_serial();
    return inst;
}

int delete_korvel_inst(korvel_inst_t* inst)
{
    if (inst == nullptr) {
        return 0;
    }
    delete_korvel_inst_zone(inst->global_zone);
    korvel_inst_zone_t* zone = inst->zone;
    while (zone != nullptr) {
        korvel_inst_zone_t* next = zone->next;
        delete_korvel_inst_zone(zone);
        zone = next;
    }
    delete inst;
    return 0;
}

void korvel_inst_set_name(korvel_inst_t* inst, const char* name)
{
    std::strncpy(inst->name_buf, name, sizeof inst->name_buf - 1);
    inst->name_buf[sizeof inst->name_buf - 1] = '\0';
    inst->name = inst->name_buf;
}

int korvel_inst_add_zone(korvel_inst_t* inst, korvel_inst_zone_t* zone)
{
    zone->next = inst->zone;
    inst->zone = zone;
    return 0;
}

int korvel_inst_set_global_zone(korvel_inst_t* inst, korvel_inst_zone_t* zone)
{
    if (inst->global_zone != zone) {
        delete_korvel_inst_zone(inst->global_zone);
    }
    inst->global_zone = zone;
    return 0;
}

korvel_inst_zone_t* korvel_inst_get_global_zone(korvel_inst_t* inst)
{
    return inst->global_zone;
}

korvel_inst_zone_t* korvel_inst_get_zone(korvel_inst_t* inst)
{
    return inst->zone;
}

} // extern "C"
