#include "sampler/src/formats/korvel_xml_reader.h"

#include "sampler/src/bank/korvel_bank_memory.h"
#include "sampler/src/sys/korvel_file_limits.h"

#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/sys/korvel_uid.h"
#include "sampler/src/formats/korvel_xml_parse.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <sys/stat.h>

namespace {

using korvel_xml::to_double;
using korvel_xml::to_int;
using korvel_xml::generator_attributes;
using korvel_xml::global_zone_attributes;
using korvel_xml::is;
using korvel_xml::bank_of;
using korvel_xml::copy_name;
using korvel_xml::modulator_attribute;
using korvel_xml::zone_range_attribute;
using korvel_xml::instrument_kind;
using korvel_xml::preset_kind;

constexpr size_t READ_NAME_MAX = 127;

// Elements the running pass has made, held against their caps; each pass starts from zero.
struct pass_counts {
    int owners = 0; // samples, instruments or presets
    int zones = 0;
    int modulators = 0;
};
thread_local pass_counts counts;

// Counts one more element; past the cap the pass ends with a message instead.
bool take(int& count, int limit, const char* kind)
{
    if (count >= limit) {
        std::printf("WARNING: The sound bank holds more than %d %s; the rest of them is not read.\n", limit, kind);
        korvel_xml::stop_pass();
        return false;
    }
    count++;
    return true;
}

void print_pool_names(korvel_list_t* pool, const char* (*name_of)(void*))
{
    for (korvel_list_t* p = pool; p != nullptr; p = p->next) {
        const char* name = name_of(p->data);
        std::printf("%s, ", name != nullptr ? name : "");
    }
}

// The resources folder joined with a sample's subpath; false with a message when it cannot be built.
bool sample_path(const char* subpath, char (&path)[KORVEL_PATH_SIZE])
{
    if (sharedInstance == nullptr) {
        std::printf("ERROR: The shared synthesizer instance is undefined.");
        return false;
    }
    if (!korvel_xml::safe_subpath(subpath)) {
        std::printf("ERROR: The sample path '%s' leaves the resources folder.", subpath);
        return false;
    }
    const int n = std::snprintf(path, sizeof path, "%s%s", sharedInstance->resource_path, subpath);
    if (n < 0 || static_cast<size_t>(n) >= sizeof path) {
        std::printf("ERROR: The sample path '%s' is too long.", subpath);
        return false;
    }
    return true;
}

void XMLCALL soundbank_start(void* data, const XML_Char*, const XML_Char**)
{
    bank_of(data);
}

void XMLCALL sample_start(void* data, const XML_Char* element, const XML_Char** atts)
{
    korvel_defsfont_t* sfont = bank_of(data);
    if (sfont == nullptr || !is(element, "sample") || !take(counts.owners, KORVEL_XML_SAMPLE_LIMIT, "samples")) {
        return;
    }
    korvel_sample_t* sample = new_korvel_sample();
    if (sample == nullptr || korvel_defsfont_add_sample(sfont, sample) != 0) {
        delete_korvel_sample(sample);
        return;
    }
    for (int i = 0; atts[i] != nullptr; i += 2) {
        const char* key = atts[i];
        const char* value = atts[i + 1];
        if (is(key, "uid")) {
            sample->uid = static_cast<unsigned int>(to_int(value));
            current_sample_id = to_int(value);
        } else if (is(key, "name")) {
            copy_name(sample->name_buf, value, READ_NAME_MAX);
            sample->name = sample->name_buf;
        } else if (is(key, "tsource")) {
            sample->tsource = to_int(value);
        } else if (is(key, "subpath")) {
            char* copy = strdup(value);
            if (copy == nullptr) {
                korvel_log(KORVEL_ERR, "Out of memory.");
                break;
            }
            std::free(sample->subpath);
            sample->subpath = copy;
            char path[KORVEL_PATH_SIZE];
            if (!sample_path(copy, path)) {
                sample->valid = 0;
                break;
            }
            if (korvel_load_sample(sample, path) == 0) {
                std::printf("\nERROR: While loading sample file.");
                sample->valid = 0;
                break;
            }
            sample->valid = 1;
        } else if (is(key, "pend")) {
            sample->pend = std::min(korvel_xml::to_uint(value), sample->size);
        } else {
            korvel_xml::sample_number_attribute(sample, key, value);
        }
    }
    // Points loaded from a file belong to the sample, whatever tone source the document names.
    if (sample->data != nullptr) {
        sample->tsource = KORVEL_SAMPLE_FILE;
    }
    korvel_xml_check_sample(sample);
}

template <typename Zone> void zone_attributes(Zone* zone, const XML_Char** atts, int& current)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            zone->id = to_int(atts[i + 1]);
            current = zone->id;
        } else if (is(atts[i], "name")) {
            if (!korvel_xml::set_zone_name(zone, atts[i + 1])) {
                korvel_log(KORVEL_ERR, "FEHLER: Nicht genügend Speicher zum Setzen eines Namens.\n");
                return;
            }
        } else {
            zone_range_attribute(zone, atts[i], atts[i + 1]);
        }
    }
}

template <typename Zone> void new_modulator(Zone* zone, const XML_Char** atts, int& current)
{
    if (!take(counts.modulators, KORVEL_XML_MODULATOR_LIMIT, "modulators")) {
        return;
    }
    korvel_mod_t* mod = korvel_mod_new();
    if (mod == nullptr) {
        std::printf("FEHLER: Modulator darf nicht NULL sein.");
        return;
    }
    mod->next = nullptr;
    korvel_mod_t** tail = &zone->mod;
    while (*tail != nullptr) {
        tail = &(*tail)->next;
    }
    *tail = mod;
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            mod->id = to_int(atts[i + 1]);
            current = mod->id;
        } else {
            modulator_attribute(mod, atts[i], atts[i + 1]);
        }
    }
}

// The attributes of a preset or instrument element: its identifier (also made current), its name and its own numbers.
template <typename Kind> void owner_attributes(typename Kind::owner_t* owner, const XML_Char** atts)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        const char* key = atts[i];
        const char* value = atts[i + 1];
        if (is(key, "uid")) {
            owner->uid = static_cast<unsigned int>(to_int(value));
            Kind::current_owner() = to_int(value);
        } else if (is(key, "name")) {
            copy_name(owner->name_buf, value, READ_NAME_MAX);
            owner->name = owner->name_buf;
        } else {
            Kind::number_attribute(owner, key, value);
        }
    }
}

void new_owner(preset_kind, korvel_defsfont_t* sfont, const XML_Char** atts)
{
    if (!take(counts.owners, KORVEL_XML_PRESET_LIMIT, "presets")) {
        return;
    }
    korvel_defpreset_t* preset = new_korvel_defpreset(sfont);
    if (preset == nullptr) {
        return;
    }
    if (atts[0] == nullptr) {
        std::printf("FEHLER: Attribute für 'preset' dürfen nicht leer sein.");
    }
    owner_attributes<preset_kind>(preset, atts);
    if (korvel_defsfont_add_preset(sfont, preset) != 0) {
        delete_korvel_defpreset(preset);
    }
}

void new_owner(instrument_kind, korvel_defsfont_t* sfont, const XML_Char** atts)
{
    if (!take(counts.owners, KORVEL_XML_INSTRUMENT_LIMIT, "instruments")) {
        return;
    }
    korvel_inst_t* inst = new_korvel_inst();
    if (inst == nullptr || korvel_defsfont_add_instrument(sfont, inst) != 0) {
        delete_korvel_inst(inst);
        std::printf("%s", instrument_kind::missing_owner);
        return;
    }
    owner_attributes<instrument_kind>(inst, atts);
}

// Names the reader gives the zones it makes, and the fixed name a named global zone gets.
struct zone_names {
    const char* global;
    const char* global_attribute;
    const char* zone;
};

constexpr zone_names names_of(preset_kind)
{
    return {"global zone (preset)", "Global Zone (Preset)", "preset zone"};
}

constexpr zone_names names_of(instrument_kind)
{
    return {"global zone (instrument)", "Global Zone", "zone"};
}

// A preset zone must end up linked: an empty element and a zone left without instrument are reported.
void read_link(preset_kind, korvel_defsfont_t* sfont, korvel_preset_zone_t* zone, const XML_Char** atts)
{
    if (atts[0] == nullptr) {
        std::printf("FEHLER: Attribute für 'linstrument' dürfen nicht leer sein.");
    }
    korvel_xml::link_attributes<preset_kind>(sfont, zone, atts, false);
    if (zone->inst == nullptr) {
        std::printf("%s", preset_kind::missing_target);
    }
}

void read_link(instrument_kind, korvel_defsfont_t* sfont, korvel_inst_zone_t* zone, const XML_Char** atts)
{
    korvel_xml::link_attributes<instrument_kind>(sfont, zone, atts, false);
}

// The presets and the instruments pass: every preset or instrument element makes a new one, zone elements add zones
// to the current one, and the elements below a zone fill the current zone.
template <typename Kind> void XMLCALL owner_start(void* data, const XML_Char* element, const XML_Char** atts)
{
    korvel_defsfont_t* sfont = bank_of(data);
    if (sfont == nullptr) {
        return;
    }
    if (is(element, Kind::owner)) {
        new_owner(Kind{}, sfont, atts);
        return;
    }
    const bool zone_element = is(element, Kind::global) || is(element, Kind::zone) || is(element, Kind::generator) ||
                              is(element, Kind::modulator) || is(element, Kind::link);
    if (!zone_element) {
        return;
    }
    typename Kind::owner_t* owner = korvel_xml::current_owner<Kind>(sfont);
    if (owner == nullptr) {
        return;
    }
    constexpr zone_names names = names_of(Kind{});
    if (is(element, Kind::global)) {
        Kind::current_zone() = 0; // what follows belongs to the global zone
        if (atts[0] == nullptr) {
            return; // the form written for a preset or instrument without a global zone
        }
        if (!take(counts.zones, KORVEL_XML_ZONE_LIMIT, "zones")) {
            return;
        }
        typename Kind::zone_t* zone = Kind::new_zone(names.global);
        if (zone == nullptr) {
            std::printf("FEHLER: Zone darf nicht NULL sein.");
            return;
        }
        korvel_zones::set_global(owner, zone);
        global_zone_attributes(zone, atts, names.global_attribute);
        return;
    }
    if (is(element, Kind::zone)) {
        if (!take(counts.zones, KORVEL_XML_ZONE_LIMIT, "zones")) {
            return;
        }
        typename Kind::zone_t* zone = Kind::new_zone(names.zone);
        if (zone == nullptr) {
            std::printf("FEHLER: Zone darf nicht NULL sein.");
            return;
        }
        korvel_zones::add(owner, zone);
        zone_attributes(zone, atts, Kind::current_zone());
        return;
    }
    korvel_xml::zone_child<Kind>(
        owner, element, atts,
        [](typename Kind::zone_t* zone, const XML_Char** a) { new_modulator(zone, a, Kind::current_modulator()); },
        [sfont](typename Kind::zone_t* zone, const XML_Char** a) { read_link(Kind{}, sfont, zone, a); });
}

} // namespace

extern "C" {

unsigned int korvel_load_sample(korvel_sample_t* sample, const char* path)
{
    // Only a regular file holds points: a folder (a subpath naming only "/Sounds/") is as good as missing.
    struct stat info {};
    FILE* file = ::stat(path, &info) == 0 && S_ISREG(info.st_mode) ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        std::printf("Soundfont Synthesizer: A wave file could not be imported, because it cannot be found:%s", path);
        return 0;
    }
    long bytes = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        bytes = std::ftell(file);
    }
    const long long points = bytes > 0 ? bytes / 2 : 0;
    if (points == 0 || bytes > KORVEL_SAMPLE_FILE_LIMIT || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return 0;
    }
    if (sample->tsource == KORVEL_SAMPLE_FILE) {
        std::free(sample->data);
    }
    sample->data = nullptr;
    sample->data_points = 0;
    sample->size = 0;
    sample->pend = 0;
    // One zero point past the end: the oscillator may read the play end itself.
    auto* data = static_cast<short*>(std::calloc(static_cast<size_t>(points) + 1, sizeof(short)));
    if (data == nullptr) {
        std::printf("\nERROR: Could not allocate sample memory.");
        std::fclose(file);
        return 0;
    }
    if (std::fread(data, sizeof(short), static_cast<size_t>(points), file) != static_cast<size_t>(points)) {
        std::printf("\nERROR: While reading sample file.");
        std::free(data);
        std::fclose(file);
        return 0;
    }
    std::fclose(file);
    sample->data = data;
    sample->data_points = static_cast<unsigned int>(points);
    sample->tsource = KORVEL_SAMPLE_FILE;
    sample->size = static_cast<unsigned int>(points);
    sample->pstart = 0;
    sample->pend = sample->size;
    return sample->size;
}

void korvel_xml_check_sample(korvel_sample_t* sample)
{
    const bool inside = sample->data != nullptr && sample->pstart < sample->pend && sample->pend <= sample->size &&
                        sample->lstart <= sample->lend && sample->lend <= sample->pend;
    if (!inside) {
        sample->valid = 0;
    }
}

int korvel_defsfont_load_soundbank_from_file(korvel_defsfont_t* sfont, const char* file)
{
    return korvel_xml::parse_file(file, sfont, soundbank_start, "File '%s' not found.", "File empty or unexpected error.");
}

int korvel_defsfont_load_samples_from_file(korvel_defsfont_t* sfont, const char* file)
{
    counts = {};
    return korvel_xml::parse_file(file, sfont, sample_start, "ERROR: Datei '%s' ist nicht vorhanden.",
                                  "Unerwarteter Dateifehler.");
}

int korvel_defsfont_load_instruments_from_file(korvel_defsfont_t* sfont, const char* file)
{
    counts = {};
    return korvel_xml::parse_file(file, sfont, owner_start<instrument_kind>, "File '%s' not found.",
                                  "File empty or unexpected error.");
}

int korvel_defsfont_load_presets_from_file(korvel_defsfont_t* sfont, const char* file)
{
    counts = {};
    return korvel_xml::parse_file(file, sfont, owner_start<preset_kind>, "File '%s' not found.",
                                  "File empty or unexpected error.");
}

int korvel_defsfont_load_xml(korvel_defsfont_t* sfont, const char* file)
{
    char* copy = file != nullptr ? strdup(file) : nullptr;
    if (sfont == nullptr || copy == nullptr) {
        std::free(copy);
        korvel_log(KORVEL_ERR, "Out of memory?");
        return -1;
    }
    struct stat info {};
    if (::stat(file, &info) == 0 && info.st_size > KORVEL_XML_FILE_LIMIT) {
        std::free(copy);
        return korvel_log(KORVEL_ERR, "File '%s' is larger than %ld bytes.", file, KORVEL_XML_FILE_LIMIT);
    }
    std::free(sfont->filename);
    sfont->filename = copy;
    // Samples already in the bank may share the old sample data; it is only released while none does.
    if (sfont->sample == nullptr) {
        sfont->samplesize = 0;
        korvel_sample_data_delete(sfont->sampledata);
        sfont->sampledata = nullptr;
    }
    korvel_defsfont_load_soundbank_from_file(sfont, file);
    korvel_defsfont_load_samples_from_file(sfont, file);
    print_pool_names(sfont->sample, [](void* p) -> const char* { return static_cast<korvel_sample_t*>(p)->name; });
    korvel_defsfont_load_instruments_from_file(sfont, file);
    print_pool_names(sfont->inst, [](void* p) -> const char* { return static_cast<korvel_inst_t*>(p)->name; });
    korvel_defsfont_load_presets_from_file(sfont, file);
    for (korvel_defpreset_t* p = sfont->preset; p != nullptr; p = p->next) {
        std::printf("%s, ", p->name != nullptr ? p->name : "");
    }
    return 0;
}

int korvel_defsfont_import_xml(korvel_defsfont_t* sfont, const char* file)
{
    return korvel_defsfont_load_xml(sfont, file);
}

} // extern "C"
