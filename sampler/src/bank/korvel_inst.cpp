#include "sampler/src/bank/korvel_inst.h"

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/sys/korvel_uid.h"

#include <new>

namespace {

korvel_inst_t* set_up(korvel_inst_t* inst)
{
    if (inst == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    inst->uid = ~0u;
    inst->serial = generate_instrument_serial();
    return inst;
}

} // namespace

korvel_inst_t* new_korvel_inst_in(korvel_bank_arena& arena)
{
    return set_up(arena.make<korvel_inst_t>());
}

extern "C" {

korvel_inst_t* new_korvel_inst(void)
{
    return set_up(new (std::nothrow) korvel_inst_t{});
}

int delete_korvel_inst(korvel_inst_t* inst)
{
    if (inst == nullptr) {
        return 0;
    }
    korvel_zones::delete_all(inst);
    korvel_bank_record_delete(inst);
    return 0;
}

void korvel_inst_set_name(korvel_inst_t* inst, const char* name)
{
    korvel_zones::set_name(inst, name);
}

int korvel_inst_add_zone(korvel_inst_t* inst, korvel_inst_zone_t* zone)
{
    return korvel_zones::add(inst, zone);
}

int korvel_inst_set_global_zone(korvel_inst_t* inst, korvel_inst_zone_t* zone)
{
    return korvel_zones::set_global(inst, zone);
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
