#include "sampler/src/korvel_xml_reader.h"

#include "sampler/src/korvel_file_limits.h"

#include "sampler/src/korvel_synth.h"
#include "sampler/src/korvel_sys.h"
#include "sampler/src/korvel_uid.h"
#include "sampler/src/korvel_xml_parse.h"

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

constexpr size_t READ_NAME_MAX = 127;

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
    if (sfont == nullptr || !is(element, "sample")) {
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
            sample->pend = std::min(static_cast<unsigned int>(to_int(value)), sample->size);
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
            char* copy = strdup(atts[i + 1]);
            if (copy == nullptr) {
                korvel_log(KORVEL_ERR, "FEHLER: Nicht genügend Speicher zum Setzen eines Namens.\n");
                return;
            }
            std::free(zone->name);
            zone->name = copy;
        } else {
            zone_range_attribute(zone, atts[i], atts[i + 1]);
        }
    }
}

template <typename Zone> void new_modulator(Zone* zone, const XML_Char** atts, int& current)
{
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

void XMLCALL instrument_start(void* data, const XML_Char* element, const XML_Char** atts)
{
    korvel_defsfont_t* sfont = bank_of(data);
    if (sfont == nullptr) {
        return;
    }
    if (is(element, "instrument")) {
        korvel_inst_t* inst = new_korvel_inst();
        if (inst == nullptr || korvel_defsfont_add_instrument(sfont, inst) != 0) {
            delete_korvel_inst(inst);
            std::printf("FEHLER: Instrument darf nicht NULL sein.");
            return;
        }
        for (int i = 0; atts[i] != nullptr; i += 2) {
            const char* key = atts[i];
            const char* value = atts[i + 1];
            if (is(key, "uid")) {
                inst->uid = static_cast<unsigned int>(to_int(value));
                current_instrument_id = to_int(value);
            } else if (is(key, "name")) {
                copy_name(inst->name_buf, value, READ_NAME_MAX);
                inst->name = inst->name_buf;
            } else if (is(key, "alternate")) {
                inst->alternate = std::clamp(to_int(value), 0, 12);
            } else if (is(key, "shift")) {
                inst->shift = std::clamp(to_int(value), -12, 12);
            }
        }
        return;
    }
    const bool zone_element = is(element, "iglobal") || is(element, "izone") || is(element, "igenerator") ||
                              is(element, "imodulator") || is(element, "lsample");
    if (!zone_element) {
        return;
    }
    korvel_inst_t* inst = korvel_defsfont_get_instrument_by_id(sfont, static_cast<unsigned int>(current_instrument_id));
    if (inst == nullptr) {
        std::printf("FEHLER: Instrument darf nicht NULL sein.");
        return;
    }
    if (is(element, "iglobal")) {
        current_izone_id = 0; // what follows belongs to the global zone
        if (atts[0] == nullptr) {
            return; // the form written for an instrument without a global zone
        }
        korvel_inst_zone_t* zone = new_korvel_inst_zone("global zone (instrument)");
        if (zone == nullptr) {
            std::printf("FEHLER: Zone darf nicht NULL sein.");
            return;
        }
        korvel_inst_set_global_zone(inst, zone);
        global_zone_attributes(zone, atts, "Global Zone");
        return;
    }
    if (is(element, "izone")) {
        korvel_inst_zone_t* zone = new_korvel_inst_zone("zone");
        if (zone == nullptr) {
            std::printf("FEHLER: Zone darf nicht NULL sein.");
            return;
        }
        korvel_inst_add_zone(inst, zone);
        zone_attributes(zone, atts, current_izone_id);
        return;
    }
    korvel_inst_zone_t* zone = korvel_defsfont_get_izone_by_id(inst, current_izone_id);
    if (zone == nullptr) {
        std::printf("FEHLER: Zone darf nicht NULL sein.");
        return;
    }
    if (is(element, "igenerator")) {
        generator_attributes(zone, atts, current_igenerator_id);
    } else if (is(element, "imodulator")) {
        new_modulator(zone, atts, current_imodulator_id);
    } else {
        for (int i = 0; atts[i] != nullptr; i += 2) {
            if (is(atts[i], "uid")) {
                korvel_sample_t* sample =
                    korvel_defsfont_get_sample_by_id(sfont, static_cast<unsigned int>(to_int(atts[i + 1])));
                if (sample == nullptr) {
                    std::printf("ERROR: Ein Sample konnte im Pool nicht gefunden werden.");
                } else {
                    zone->sample = sample;
                }
            }
        }
    }
}

void XMLCALL preset_start(void* data, const XML_Char* element, const XML_Char** atts)
{
    korvel_defsfont_t* sfont = bank_of(data);
    if (sfont == nullptr) {
        return;
    }
    if (is(element, "preset")) {
        korvel_defpreset_t* preset = new_korvel_defpreset(sfont);
        if (preset == nullptr) {
            return;
        }
        if (atts[0] == nullptr) {
            std::printf("FEHLER: Attribute für 'preset' dürfen nicht leer sein.");
        }
        for (int i = 0; atts[i] != nullptr; i += 2) {
            const char* key = atts[i];
            const char* value = atts[i + 1];
            if (is(key, "uid")) {
                preset->uid = static_cast<unsigned int>(to_int(value));
                current_preset_id = to_int(value);
            } else if (is(key, "name")) {
                copy_name(preset->name_buf, value, READ_NAME_MAX);
                preset->name = preset->name_buf;
            } else if (is(key, "bank")) {
                preset->bank = static_cast<unsigned int>(to_int(value));
            } else if (is(key, "number")) {
                preset->num = static_cast<unsigned int>(to_int(value));
            }
        }
        if (korvel_defsfont_add_preset(sfont, preset) != 0) {
            delete_korvel_defpreset(preset);
        }
        return;
    }
    const bool zone_element = is(element, "pglobal") || is(element, "pzone") || is(element, "pgenerator") ||
                              is(element, "pmodulator") || is(element, "linstrument");
    if (!zone_element) {
        return;
    }
    korvel_defpreset_t* preset = korvel_defsfont_get_preset_by_id(sfont, static_cast<unsigned int>(current_preset_id));
    if (preset == nullptr) {
        std::printf("FEHLER: Preset darf nicht NULL sein.");
        return;
    }
    if (is(element, "pglobal")) {
        current_pzone_id = 0;
        if (atts[0] == nullptr) {
            return;
        }
        korvel_preset_zone_t* zone = new_korvel_preset_zone("global zone (preset)");
        if (zone == nullptr) {
            std::printf("FEHLER: Zone darf nicht NULL sein.");
            return;
        }
        korvel_defpreset_set_global_zone(preset, zone);
        global_zone_attributes(zone, atts, "Global Zone (Preset)");
        return;
    }
    if (is(element, "pzone")) {
        korvel_preset_zone_t* zone = new_korvel_preset_zone("preset zone");
        if (zone == nullptr) {
            std::printf("FEHLER: Zone darf nicht NULL sein.");
            return;
        }
        korvel_defpreset_add_zone(preset, zone);
        zone_attributes(zone, atts, current_pzone_id);
        return;
    }
    korvel_preset_zone_t* zone = korvel_defsfont_get_pzone_by_id(preset, current_pzone_id);
    if (zone == nullptr) {
        std::printf("FEHLER: Zone darf nicht NULL sein.");
        return;
    }
    if (is(element, "pgenerator")) {
        generator_attributes(zone, atts, current_pgenerator_id);
    } else if (is(element, "pmodulator")) {
        new_modulator(zone, atts, current_pmodulator_id);
    } else {
        if (atts[0] == nullptr) {
            std::printf("FEHLER: Attribute für 'linstrument' dürfen nicht leer sein.");
        }
        for (int i = 0; atts[i] != nullptr; i += 2) {
            if (is(atts[i], "uid")) {
                korvel_inst_t* inst =
                    korvel_defsfont_get_instrument_by_id(sfont, static_cast<unsigned int>(to_int(atts[i + 1])));
                if (inst == nullptr) {
                    std::printf("FEHLER: Das Instrument konnte nicht im Pool gefunden werden.");
                } else {
                    zone->inst = inst;
                }
            }
        }
        if (zone->inst == nullptr) {
            std::printf("FEHLER: Instrument darf nicht NULL sein.");
        }
    }
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
    return korvel_xml::parse_file(file, sfont, sample_start, "ERROR: Datei '%s' ist nicht vorhanden.",
                                  "Unerwarteter Dateifehler.");
}

int korvel_defsfont_load_instruments_from_file(korvel_defsfont_t* sfont, const char* file)
{
    return korvel_xml::parse_file(file, sfont, instrument_start, "File '%s' not found.", "File empty or unexpected error.");
}

int korvel_defsfont_load_presets_from_file(korvel_defsfont_t* sfont, const char* file)
{
    return korvel_xml::parse_file(file, sfont, preset_start, "File '%s' not found.", "File empty or unexpected error.");
}

int korvel_defsfont_load_xml(korvel_defsfont_t* sfont, const char* file)
{
    char* copy = file != nullptr ? strdup(file) : nullptr;
    if (sfont == nullptr || copy == nullptr) {
        std::free(copy);
        korvel_log(KORVEL_ERR, "Out of memory?");
        return -1;
    }
    std::free(sfont->filename);
    sfont->filename = copy;
    // Samples already in the bank may share the old sample data; it is only released while none does.
    if (sfont->sample == nullptr) {
        sfont->samplesize = 0;
        std::free(sfont->sampledata);
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
