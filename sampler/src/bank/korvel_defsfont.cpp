#include "sampler/src/bank/korvel_defsfont.h"

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/bank/korvel_defsfont_index.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/sys/korvel_uid.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned int DRUM_REQUEST = 0x80000000u;

template <typename Zone>
void append_modulator(Zone* zone, korvel_mod_t* mod)
{
    mod->next = nullptr;
    korvel_mod_t** tail = &zone->mod;
    while (*tail != nullptr) {
        tail = &(*tail)->next;
    }
    *tail = mod;
}

template <typename Zone>
korvel_mod_t* find_modulator(Zone* zone, int id)
{
    if (zone == nullptr) {
        return nullptr;
    }
    for (korvel_mod_t* mod = zone->mod; mod != nullptr; mod = mod->next) {
        if (mod->id == id) {
            return mod;
        }
    }
    return nullptr;
}

template <typename Owner>
auto find_zone(Owner* owner, int id) -> decltype(owner->zone)
{
    if (owner == nullptr) {
        return nullptr;
    }
    if (id == 0) {
        return owner->global_zone;
    }
    for (auto* zone = owner->zone; zone != nullptr; zone = zone->next) {
        if (zone->id == id) {
            return zone;
        }
    }
    return nullptr;
}

korvel_defsfont_t* bank_of(korvel_sfont_t* sfont)
{
    return static_cast<korvel_defsfont_t*>(sfont->data);
}

} // namespace

extern "C" {

korvel_defsfont_t* new_korvel_defsfont(void)
{
    auto* sfont = new (std::nothrow) korvel_defsfont_t{};
    if (sfont != nullptr) {
        sfont->index = new (std::nothrow) korvel_defsfont_index{};
        if (sfont->index == nullptr) {
            delete sfont;
            sfont = nullptr;
        }
    }
    if (sfont == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
    }
    return sfont;
}

int delete_korvel_defsfont(korvel_defsfont_t* sfont)
{
    for (korvel_list_t* cell = sfont->sample; cell != nullptr; cell = cell->next) {
        if (static_cast<korvel_sample_t*>(cell->data)->use_count.load() != 0) {
            return -1;
        }
    }
    std::free(sfont->filename);
    for (korvel_list_t* cell = sfont->sample; cell != nullptr; cell = cell->next) {
        delete_korvel_sample(static_cast<korvel_sample_t*>(cell->data));
    }
    delete_korvel_list(sfont->sample);
    for (korvel_list_t* cell = sfont->inst; cell != nullptr; cell = cell->next) {
        delete_korvel_inst(static_cast<korvel_inst_t*>(cell->data));
    }
    delete_korvel_list(sfont->inst);
    delete sfont->index;
    korvel_defpreset_t* preset = sfont->preset;
    while (preset != nullptr) {
        korvel_defpreset_t* next = preset->next;
        delete_korvel_defpreset(preset);
        preset = next;
    }
    delete sfont->arena;
    korvel_sample_data_delete(sfont->sampledata);
    delete sfont;
    return 0;
}

korvel_sfont_t* korvel_defsfont_new_sfont(korvel_defsfont_t* sfont)
{
    auto* record = new (std::nothrow) korvel_sfont_t{};
    if (record == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    record->data = sfont;
    record->free = korvel_defsfont_sfont_delete;
    record->get_name = korvel_defsfont_sfont_get_name;
    record->get_preset = korvel_defsfont_sfont_get_preset;
    record->iteration_start = korvel_defsfont_sfont_iteration_start;
    record->iteration_next = korvel_defsfont_sfont_iteration_next;
    return record;
}

const char* korvel_defsfont_get_name(korvel_defsfont_t* sfont)
{
    return sfont->filename;
}

int korvel_defsfont_export_sf2(korvel_defsfont_t*, const char*)
{
    korvel_log(KORVEL_ERR, "Not implemented yet!");
    return 1;
}

int korvel_defsfont_export_dls(korvel_defsfont_t*, const char*)
{
    korvel_log(KORVEL_ERR, "Not implemented yet!");
    return 1;
}

int korvel_defsfont_import_dls(korvel_defsfont_t*, const char*)
{
    korvel_log(KORVEL_ERR, "Not implemented yet!");
    return 1;
}

unsigned int korvel_defsfont_create_sample(korvel_defsfont_t* sfont)
{
    auto* sample = new (std::nothrow) korvel_sample_t{};
    if (sample == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return 0;
    }
    sample->uid = generate_sample_uid();
    if (korvel_defsfont_add_sample(sfont, sample) != 0) {
        delete sample;
        return 0;
    }
    korvel_voice_optimize_sample(sample);
    return sample->uid;
}

unsigned int korvel_defsfont_create_instrument(korvel_defsfont_t* sfont)
{
    auto* inst = new (std::nothrow) korvel_inst_t{};
    if (inst == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return 0;
    }
    generate_instrument_serial();
    inst->uid = generate_instrument_uid();
    if (korvel_defsfont_add_instrument(sfont, inst) != 0) {
        delete inst;
        return 0;
    }
    return inst->uid;
}

unsigned int korvel_defsfont_create_preset(korvel_defsfont_t* sfont)
{
    korvel_defpreset_t* preset = new_korvel_defpreset(sfont);
    if (preset == nullptr) {
        return 0;
    }
    preset->name = preset->name_buf;
    preset->uid = generate_preset_uid();
    korvel_defsfont_add_preset(sfont, preset);
    return preset->uid;
}

int korvel_defsfont_add_sample(korvel_defsfont_t* sfont, korvel_sample_t* sample)
{
    return sfont->index->samples.append(sfont->sample, sample);
}

int korvel_defsfont_add_instrument(korvel_defsfont_t* sfont, korvel_inst_t* inst)
{
    return sfont->index->instruments.append(sfont->inst, inst);
}

int korvel_defsfont_add_preset(korvel_defsfont_t* sfont, korvel_defpreset_t* preset)
{
    sfont->index->presets.insert(sfont->preset, preset);
    return 0;
}

int korvel_defsfont_add_pmodulator(korvel_preset_zone_t* zone, korvel_mod_t* mod)
{
    append_modulator(zone, mod);
    return 0;
}

int korvel_defsfont_add_imodulator(korvel_inst_zone_t* zone, korvel_mod_t* mod)
{
    append_modulator(zone, mod);
    return 0;
}

korvel_sample_t* korvel_defsfont_get_sample_by_id(korvel_defsfont_t* sfont, unsigned int uid)
{
    return sfont->index->samples.find(sfont->sample, uid);
}

korvel_sample_t* korvel_defsfont_get_sample(korvel_defsfont_t* sfont, const char* name)
{
    for (korvel_list_t* cell = sfont->sample; cell != nullptr; cell = cell->next) {
        auto* sample = static_cast<korvel_sample_t*>(cell->data);
        if (sample->name != nullptr && std::strcmp(sample->name, name) == 0) {
            return sample;
        }
    }
    return nullptr;
}

korvel_inst_t* korvel_defsfont_get_instrument_by_id(korvel_defsfont_t* sfont, unsigned int uid)
{
    return sfont->index->instruments.find(sfont->inst, uid);
}

korvel_inst_t* find_korvel_inst(korvel_defsfont_t* sfont, unsigned int uid)
{
    return korvel_defsfont_get_instrument_by_id(sfont, uid);
}

korvel_defpreset_t* korvel_defsfont_get_preset_by_id(korvel_defsfont_t* sfont, unsigned int uid)
{
    return sfont->index->presets.find(sfont->preset, uid);
}

korvel_preset_zone_t* korvel_defsfont_get_pzone_by_id(korvel_defpreset_t* preset, int id)
{
    return find_zone(preset, id);
}

korvel_inst_zone_t* korvel_defsfont_get_izone_by_id(korvel_inst_t* inst, int id)
{
    return find_zone(inst, id);
}

korvel_mod_t* korvel_defsfont_get_pmodulator_by_id(korvel_preset_zone_t* zone, int id)
{
    return find_modulator(zone, id);
}

korvel_mod_t* korvel_defsfont_get_imodulator_by_id(korvel_inst_zone_t* zone, int id)
{
    return find_modulator(zone, id);
}

korvel_defpreset_t* korvel_defsfont_get_preset(korvel_defsfont_t* sfont, unsigned int bank, unsigned int prenum)
{
    // A drum channel's file often selects bank 0 before its program: that must still find a kit, never the melodic
    // preset of that bank.
    bool drum = (bank & DRUM_REQUEST) != 0 || bank > 127;
    bank &= ~DRUM_REQUEST;
    return sfont->index->presets.select(sfont->preset, bank, prenum, drum);
}

void korvel_defsfont_reindex_presets(korvel_defsfont_t* sfont)
{
    sfont->index->presets.rekey(sfont->preset);
}

void korvel_defsfont_iteration_start(korvel_defsfont_t* sfont)
{
    sfont->iter_cur = sfont->preset;
}

int korvel_defsfont_iteration_next(korvel_defsfont_t* sfont, korvel_defpreset_t** preset)
{
    if (sfont->iter_cur == nullptr) {
        return 0;
    }
    *preset = sfont->iter_cur;
    sfont->iter_cur = sfont->iter_cur->next;
    return 1;
}

int korvel_defsfont_sfont_delete(korvel_sfont_t* sfont)
{
    if (delete_korvel_defsfont(bank_of(sfont)) != 0) {
        return -1;
    }
    delete sfont;
    return 0;
}

const char* korvel_defsfont_sfont_get_name(korvel_sfont_t* sfont)
{
    return korvel_defsfont_get_name(bank_of(sfont));
}

korvel_preset_t* korvel_defsfont_sfont_get_preset(korvel_sfont_t* sfont, unsigned int bank, unsigned int prenum)
{
    korvel_defpreset_t* preset = korvel_defsfont_get_preset(bank_of(sfont), bank, prenum);
    if (preset == nullptr) {
        return nullptr;
    }
    preset->iface.sfont = sfont;
    return &preset->iface;
}

void korvel_defsfont_sfont_iteration_start(korvel_sfont_t* sfont)
{
    korvel_defsfont_iteration_start(bank_of(sfont));
}

int korvel_defsfont_sfont_iteration_next(korvel_sfont_t* sfont, korvel_preset_t* preset)
{
    korvel_defpreset_t* next = nullptr;
    if (!korvel_defsfont_iteration_next(bank_of(sfont), &next)) {
        return 0;
    }
    korvel_defpreset_fill_interface(preset, next, sfont);
    return 1;
}

void print_samples(korvel_defsfont_t* sfont)
{
    for (korvel_list_t* cell = sfont->sample; cell != nullptr; cell = cell->next) {
        auto* sample = static_cast<korvel_sample_t*>(cell->data);
        std::printf("%s, ", sample->name_buf);
    }
}

void print_instruments(korvel_defsfont_t* sfont)
{
    for (korvel_list_t* cell = sfont->inst; cell != nullptr; cell = cell->next) {
        auto* inst = static_cast<korvel_inst_t*>(cell->data);
        std::printf("%s, ", inst->name_buf);
    }
}

void print_presets(korvel_defsfont_t* sfont)
{
    for (korvel_defpreset_t* preset = sfont->preset; preset != nullptr; preset = preset->next) {
        std::printf("%s, ", preset->name_buf);
    }
}

} // extern "C"
