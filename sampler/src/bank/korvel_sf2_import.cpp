#include "sampler/src/bank/korvel_sf2_import.h"

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/bank/korvel_sfload.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/sys/korvel_uid.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr int MIN_SAMPLE_POINTS = 8;

// Appends to a bank pool in constant time: a file may hold many thousands of records.
class pool_appender {
public:
    explicit pool_appender(korvel_list_t*& head) : head_(head), last_(korvel_list_last(head)) {}

    bool append(void* data)
    {
        korvel_list_t* grown = korvel_list_append(last_, data);
        korvel_list_t* cell = last_ == nullptr ? grown : last_->next;
        if (cell == nullptr) {
            return false;
        }
        if (last_ == nullptr) {
            head_ = cell;
        }
        last_ = cell;
        return true;
    }

private:
    korvel_list_t*& head_;
    korvel_list_t* last_;
};

// The records made from the file, by their index in it: zones link through these.
struct imported {
    std::vector<korvel_sample_t*> samples;
    std::vector<korvel_inst_t*> instruments;
};

bool load_sampledata(korvel_defsfont_t* sfont)
{
    if (sfont->samplesize == 0) {
        return true;
    }
    std::FILE* f = std::fopen(sfont->filename, "rb");
    if (f == nullptr) {
        korvel_log(KORVEL_ERR, "Can't open soundfont file");
        return false;
    }
    bool ok = false;
    if (std::fseek(f, static_cast<long>(sfont->samplepos), SEEK_SET) != 0) {
        std::perror("error");
        korvel_log(KORVEL_ERR, "Failed to seek position in data file");
    } else if ((sfont->sampledata = korvel_sample_data_new(sfont->samplesize)) == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
    } else if (std::fread(sfont->sampledata, sfont->samplesize, 1, f) != 1) {
        korvel_log(KORVEL_ERR, "Failed to read sample data");
    } else {
        ok = true;
    }
    std::fclose(f);
    return ok;
}

// A sample can play when it has points and its loop lies inside its play span.
bool playable(const korvel_sample_t* s)
{
    return s->data != nullptr && s->pend > s->pstart && s->lstart >= s->pstart && s->lstart < s->lend &&
           s->lend <= s->pend + 1;
}

bool import_samples(korvel_defsfont_t* sfont, sfont_data_t& sf, imported& made)
{
    pool_appender pool(sfont->sample);
    for (sfont_sample_t& header : sf.sample) {
        header.uid = generate_sample_uid();
        korvel_sample_t* sample = new_korvel_sample_in(*sfont->arena);
        if (sample == nullptr) {
            return false;
        }
        sample->uid = header.uid;
        korvel_sample_set_name(sample, header.name);
        sample->data = sfont->sampledata;
        sample->data_points = sfont->samplesize / 2;
        sample->pstart = header.start;
        sample->pend = header.start + header.end;
        sample->lstart = header.start + header.loopstart;
        sample->lend = header.start + header.loopend;
        sample->size = header.end;
        sample->rate = header.samplerate;
        sample->pitch = header.origpitch;
        sample->adjust = header.pitchadj;
        sample->type = header.sampletype;
        if (korvel_sample_in_rom(sample)) {
            korvel_log(KORVEL_WARN, "Ignoring sample %s: can't use ROM samples", header.name);
            sample->valid = 0;
        } else if (header.disabled || header.end + 1 < MIN_SAMPLE_POINTS) {
            if (!header.disabled) {
                korvel_log(KORVEL_WARN, "Ignoring sample %s: too few sample data points", header.name);
            }
            sample->valid = 0;
        } else if (!playable(sample)) {
            sample->valid = 0;
        }
        if (!pool.append(sample)) {
            delete_korvel_sample(sample);
            return false;
        }
        made.samples.push_back(sample);
        korvel_voice_optimize_sample(sample);
    }
    return true;
}

unsigned char source_flags(uint16_t source, bool& bad_type)
{
    unsigned char flags = 0;
    if (source & 0x80) {
        flags |= KORVEL_MOD_CC;
    }
    if (source & 0x100) {
        flags |= KORVEL_MOD_NEGATIVE;
    }
    if (source & 0x200) {
        flags |= KORVEL_MOD_BIPOLAR;
    }
    switch (source >> 10) {
    case 0:
        break;
    case 1:
        flags |= KORVEL_MOD_CONCAVE;
        break;
    case 2:
        flags |= KORVEL_MOD_CONVEX;
        break;
    case 3:
        flags |= KORVEL_MOD_SWITCH;
        break;
    default:
        bad_type = true;
    }
    return flags;
}

korvel_mod_t* convert_modulator(const sfont_mod_t& in)
{
    korvel_mod_t* mod = korvel_mod_new();
    if (mod == nullptr) {
        return nullptr;
    }
    bool bad_type = false;
    mod->id = -1;
    mod->src1 = in.src & 127;
    mod->flags1 = source_flags(in.src, bad_type);
    mod->src2 = in.amtsrc & 127;
    mod->flags2 = source_flags(in.amtsrc, bad_type);
    mod->dest = static_cast<unsigned char>(in.dest);
    mod->amount = in.amount;
    if (bad_type || in.trans != 0) {
        mod->amount = 0.0;
    }
    return mod;
}

// Fills a bank zone from a file zone: ranges, generators and modulators. The link is the caller's.
template <typename Zone>
bool import_zone(Zone* zone, const sfont_data_t& sf, const sfont_zone_t& in)
{
    for (const sfont_gen_t& g : sf.gens(in)) {
        if (g.oper == GEN_KEYRANGE) {
            zone->keylo = g.lo();
            zone->keyhi = g.hi();
        } else if (g.oper == GEN_VELRANGE) {
            zone->vello = g.lo();
            zone->velhi = g.hi();
        } else if (g.oper < GEN_LAST) {
            zone->gen[g.oper].val = g.amount;
            zone->gen[g.oper].flags = GEN_SET;
        }
    }
    korvel_mod_t** tail = &zone->mod;
    for (const sfont_mod_t& m : sf.mods(in)) {
        if (m.dest >= GEN_LAST) {
            continue; // linked modulators and unknown destinations address no generator
        }
        korvel_mod_t* mod = convert_modulator(m);
        if (mod == nullptr) {
            return false;
        }
        *tail = mod;
        tail = &mod->next;
    }
    return true;
}

void number_modulators(korvel_mod_t* mod)
{
    for (int id = 1; mod != nullptr; mod = mod->next, id++) {
        mod->id = id;
    }
}

// Zones get the numbers 1, 2, ... in list order, and the modulators of each zone, the global zone's too, the same
// within their zone: an edit finds a modulator by its number, so no two of one zone may share one.
template <typename Owner>
void number_zones(Owner* owner)
{
    if (owner->global_zone != nullptr) {
        number_modulators(owner->global_zone->mod);
    }
    int id = 1;
    for (auto* zone = owner->zone; zone != nullptr; zone = zone->next, id++) {
        zone->id = id;
        number_modulators(zone->mod);
    }
}

std::string zone_name(const char* owner, size_t n)
{
    return std::string(owner) + "/" + std::to_string(n);
}

bool import_instruments(korvel_defsfont_t* sfont, sfont_data_t& sf, imported& made)
{
    pool_appender pool(sfont->inst);
    for (sfont_inst_t& header : sf.inst) {
        header.uid = generate_instrument_uid();
        korvel_inst_t* inst = new_korvel_inst_in(*sfont->arena);
        if (inst == nullptr) {
            return false;
        }
        inst->uid = header.uid;
        korvel_inst_set_name(inst, header.name[0] != '\0' ? header.name : "Untitled");
        if (!pool.append(inst)) {
            delete_korvel_inst(inst);
            return false;
        }
        made.instruments.push_back(inst);
        for (size_t n = 0; n < header.zone.size(); n++) {
            const sfont_zone_t& in = header.zone[n];
            korvel_inst_zone_t* zone = new_korvel_inst_zone_in(*sfont->arena, zone_name(inst->name, n + 1).c_str());
            if (zone == nullptr) {
                return false;
            }
            if (n == 0 && in.link < 0) {
                korvel_inst_set_global_zone(inst, zone);
            } else {
                korvel_inst_add_zone(inst, zone);
                zone->sample = made.samples[static_cast<size_t>(in.link)];
            }
            if (!import_zone(zone, sf, in)) {
                return false;
            }
        }
        number_zones(inst);
    }
    return true;
}

bool import_presets(korvel_defsfont_t* sfont, sfont_data_t& sf, const imported& made)
{
    for (sfont_preset_t& header : sf.preset) {
        header.uid = generate_preset_uid();
        korvel_defpreset_t* preset = new_korvel_defpreset_in(*sfont->arena, sfont);
        if (preset == nullptr) {
            return false;
        }
        preset->uid = header.uid;
        if (header.name[0] != '\0') {
            korvel_defpreset_set_name(preset, header.name);
        } else {
            char name[64];
            std::snprintf(name, sizeof name, "Preset Bank %d, Preset %d", header.bank, header.prenum);
            korvel_defpreset_set_name(preset, name);
        }
        preset->bank = header.bank;
        preset->num = header.prenum;
        korvel_defsfont_add_preset(sfont, preset);
        for (size_t n = 0; n < header.zone.size(); n++) {
            const sfont_zone_t& in = header.zone[n];
            korvel_preset_zone_t* zone =
                new_korvel_preset_zone_in(*sfont->arena, zone_name(preset->name, n + 1).c_str());
            if (zone == nullptr) {
                return false;
            }
            if (n == 0 && in.link < 0) {
                korvel_defpreset_set_global_zone(preset, zone);
            } else {
                korvel_defpreset_add_zone(preset, zone);
                zone->inst = made.instruments[static_cast<size_t>(in.link)];
            }
            if (!import_zone(zone, sf, in)) {
                return false;
            }
        }
        number_zones(preset);
    }
    return true;
}

// One arena holds every sample, instrument, preset and zone of the file, so their pages come present in one mapping.
bool make_arena(korvel_defsfont_t* sfont, const sfont_data_t& sf)
{
    constexpr size_t slack = korvel_bank_arena::alignment;
    size_t bytes = sf.sample.size() * (sizeof(korvel_sample_t) + slack) +
                   sf.inst.size() * (sizeof(korvel_inst_t) + slack) +
                   sf.preset.size() * (sizeof(korvel_defpreset_t) + slack);
    for (const sfont_inst_t& inst : sf.inst) {
        bytes += inst.zone.size() * (sizeof(korvel_inst_zone_t) + slack);
    }
    for (const sfont_preset_t& preset : sf.preset) {
        bytes += preset.zone.size() * (sizeof(korvel_preset_zone_t) + slack);
    }
    if (sfont->arena == nullptr) {
        sfont->arena = new korvel_bank_arena;
    }
    if (!sfont->arena->reserve(bytes)) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return false;
    }
    return true;
}

int load(korvel_defsfont_t* sfont, const char* file)
{
    sfont->filename = strdup(file);
    if (sfont->filename == nullptr) {
        return korvel_log(KORVEL_ERR, "Out of memory");
    }
    std::unique_ptr<sfont_data_t> sf = sfload_file(file);
    if (sf == nullptr) {
        return korvel_log(KORVEL_ERR, "Couldn't load soundfont file");
    }
    sfont->samplepos = sf->samplepos;
    sfont->samplesize = sf->samplesize;
    imported made;
    if (!load_sampledata(sfont) || !make_arena(sfont, *sf) || !import_samples(sfont, *sf, made) ||
        !import_instruments(sfont, *sf, made) || !import_presets(sfont, *sf, made)) {
        return -1;
    }
    std::printf("Soundfont Synthesizer: Die Datenstrukturen für einen Soundfont wurden initialisiert. \n");
    return 0;
}

} // namespace

extern "C" {

int korvel_defsfont_load(korvel_defsfont_t* sfont, const char* file)
{
    try {
        return load(sfont, file);
    } catch (const std::bad_alloc&) {
        return korvel_log(KORVEL_ERR, "Out of memory");
    }
}

int korvel_defsfont_import_sf2(korvel_defsfont_t* sfont, const char* file)
{
    return korvel_defsfont_load(sfont, file);
}

} // extern "C"
