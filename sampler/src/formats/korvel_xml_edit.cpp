#include "sampler/src/formats/korvel_xml_edit.h"

#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/sys/korvel_uid.h"
#include "sampler/src/formats/korvel_xml_parse.h"
#include "sampler/src/formats/korvel_xml_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using korvel_xml::to_double;
using korvel_xml::to_int;
using korvel_xml::generator_attributes;
using korvel_xml::global_zone_attributes;
using korvel_xml::bank_of;
using korvel_xml::copy_name;
using korvel_xml::is;
using korvel_xml::modulator_attribute;
using korvel_xml::zone_range_attribute;

constexpr size_t EDIT_NAME_MAX = 20;

void unknown(const char* element)
{
    std::printf("WARNUNG: Unbekannter XML Tag '%s'.\n", element);
}

korvel_defsfont_t* first_bank(korvel_synth_t* synth)
{
    korvel_sfont_t* sfont = synth != nullptr ? korvel_synth_get_sfont(synth, 0) : nullptr;
    return sfont != nullptr ? static_cast<korvel_defsfont_t*>(sfont->data) : nullptr;
}

// The global zone keeps the name the fragment gives it, so that a preset or instrument set from its own text stays
// as it was.
template <typename Zone> void edit_global(Zone* zone, const XML_Char** atts)
{
    if (zone == nullptr) {
        std::printf("WARNUNG: Es wird versucht Parameter der globalen Zone zu setzen, eine globale Zone ist jedoch "
                    "nicht definiert.");
        return;
    }
    global_zone_attributes(zone, atts, nullptr);
}

// A zone element: its id first makes that zone number current; then the current zone's attributes.
template <typename Owner, typename Find>
void edit_zone(Owner* owner, const XML_Char** atts, int& current, Find find_zone)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            current = to_int(atts[i + 1]);
        }
    }
    auto* zone = find_zone(owner, current);
    if (zone == nullptr) {
        std::printf("FEHLER: Zone darf nicht NULL sein.");
        return;
    }
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            zone->id = to_int(atts[i + 1]);
        } else if (is(atts[i], "name")) {
            if (!korvel_xml::set_zone_name(zone, atts[i + 1])) {
                std::printf("FEHLER: Nicht genügend Speicher zum Setzen eines Namens.\n");
            }
        } else {
            zone_range_attribute(zone, atts[i], atts[i + 1]);
        }
    }
}

template <typename Zone, typename Find> void edit_modulator(Zone* zone, const XML_Char** atts, int& current, Find find_mod)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            current = to_int(atts[i + 1]);
        }
    }
    korvel_mod_t* mod = find_mod(zone, current);
    if (mod == nullptr) {
        std::printf("WARNUNG: Es wird versucht die Parameter eines Modulators zu setzen, welcher jedoch vorher nicht "
                    "definiert worden ist.");
        return;
    }
    for (int i = 0; atts[i] != nullptr; i += 2) {
        modulator_attribute(mod, atts[i], atts[i + 1]);
    }
}

void XMLCALL soundbank_edit(void* data, const XML_Char* element, const XML_Char**)
{
    if (bank_of(data) == nullptr) {
        return;
    }
    if (is(element, "soundbank")) {
        std::printf("<soundbank>");
    } else if (!is(element, "meta")) {
        unknown(element);
    }
}

// The presets and the instruments fragments: a preset or instrument element makes its uid current and sets the
// name and numbers it has; zone elements pick a zone by number, and the elements below a zone edit that zone.
template <typename Kind> void XMLCALL owner_edit(void* data, const XML_Char* element, const XML_Char** atts)
{
    korvel_defsfont_t* sfont = bank_of(data);
    if (sfont == nullptr) {
        return;
    }
    for (const char* container : Kind::containers) {
        if (is(element, container)) {
            return;
        }
    }
    const bool known = is(element, Kind::owner) || is(element, Kind::global) || is(element, Kind::zone) ||
                       is(element, Kind::generator) || is(element, Kind::modulator) || is(element, Kind::link);
    if (!known) {
        unknown(element);
        return;
    }
    if (is(element, Kind::owner)) {
        for (int i = 0; atts[i] != nullptr; i += 2) {
            if (is(atts[i], "uid")) {
                Kind::current_owner() = to_int(atts[i + 1]);
            }
        }
    }
    typename Kind::owner_t* owner = korvel_xml::current_owner<Kind>(sfont);
    if (owner == nullptr) {
        return;
    }
    if (is(element, Kind::owner)) {
        bool renumbered = false;
        for (int i = 0; atts[i] != nullptr; i += 2) {
            if (is(atts[i], "name")) {
                copy_name(owner->name_buf, atts[i + 1], EDIT_NAME_MAX);
                owner->name = owner->name_buf;
            } else if (Kind::number_attribute(owner, atts[i], atts[i + 1])) {
                renumbered = true;
            }
        }
        if (renumbered) {
            Kind::numbers_changed(sfont);
        }
        return;
    }
    if (is(element, Kind::global)) {
        Kind::current_zone() = 0; // the generators and modulators that follow belong to the global zone
        edit_global(owner->global_zone, atts);
        return;
    }
    if (is(element, Kind::zone)) {
        edit_zone(owner, atts, Kind::current_zone(), Kind::find_zone);
        return;
    }
    korvel_xml::zone_child<Kind>(
        owner, element, atts,
        [](typename Kind::zone_t* zone, const XML_Char** a) {
            edit_modulator(zone, a, Kind::current_modulator(), Kind::find_modulator);
        },
        [sfont](typename Kind::zone_t* zone, const XML_Char** a) {
            if (Kind::target(zone) == nullptr) {
                std::printf("%s", Kind::missing_target);
            } else {
                korvel_xml::link_attributes<Kind>(sfont, zone, a, true);
            }
        });
}

void XMLCALL sample_edit(void* data, const XML_Char* element, const XML_Char** atts)
{
    korvel_defsfont_t* sfont = bank_of(data);
    if (sfont == nullptr) {
        return;
    }
    if (is(element, "samples")) {
        std::printf("<samples>");
        return;
    }
    if (!is(element, "sample")) {
        unknown(element);
        return;
    }
    std::printf("<sample>");
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "uid")) {
            current_sample_id = to_int(atts[i + 1]);
        }
    }
    korvel_sample_t* sample = korvel_defsfont_get_sample_by_id(sfont, static_cast<unsigned int>(current_sample_id));
    if (sample == nullptr) {
        std::printf("FEHLER: Sample darf nicht NULL sein.");
        return;
    }
    for (int i = 0; atts[i] != nullptr; i += 2) {
        const char* key = atts[i];
        const char* value = atts[i + 1];
        std::printf("%s='%s' ", key, value);
        if (is(key, "uid")) {
            sample->uid = static_cast<unsigned int>(to_int(value));
        } else if (is(key, "name")) {
            copy_name(sample->name_buf, value, EDIT_NAME_MAX);
            sample->name = sample->name_buf;
        } else if (is(key, "tsource")) {
            // Who owns the points follows from where they came from; only a sample without points changes source.
            if (sample->data == nullptr) {
                sample->tsource = to_int(value);
            }
        } else if (is(key, "subpath")) {
            if (!korvel_xml::safe_subpath(value)) {
                std::printf("ERROR: The sample path '%s' leaves the resources folder.", value);
                continue;
            }
            char* copy = strdup(value);
            if (copy == nullptr) {
                korvel_log(KORVEL_ERR, "Out of memory.");
                continue;
            }
            std::free(sample->subpath);
            sample->subpath = copy;
        } else if (is(key, "pend")) {
            sample->pend = korvel_xml::to_uint(value);
        } else {
            korvel_xml::sample_number_attribute(sample, key, value);
        }
    }
    // Positions outside the points disable the sample; a voice never reads past them.
    if (sample->tsource == KORVEL_SAMPLE_FILE) {
        korvel_xml_check_sample(sample);
    } else if (sample->data != nullptr) {
        // A sample of the bank's shared data ends at its last point, which must lie inside that data.
        const bool shared = sample->data == sfont->sampledata;
        const unsigned long long points = sfont->samplesize / 2;
        if (!(sample->pstart < sample->pend && sample->lstart <= sample->lend && sample->lend <= sample->pend + 1) ||
            (shared && sample->pend >= points)) {
            sample->valid = 0;
        }
    }
    // Voices judge their level by the peaks of the points they read, which the new positions may change.
    korvel_voice_optimize_sample(sample);
}

int edit(korvel_synth_t* synth, int& current, unsigned int uid, const char* text, XML_StartElementHandler handler,
         bool (*exists)(korvel_defsfont_t*, unsigned int), const char* missing, const char* error_format)
{
    korvel_defsfont_t* sfont = first_bank(synth);
    if (sfont == nullptr || !exists(sfont, uid)) {
        std::printf(missing, static_cast<int>(uid));
        return 0;
    }
    current = static_cast<int>(uid);
    return korvel_xml::parse_text(text, sfont, handler, error_format);
}

} // namespace

extern "C" {

int korvel_defsfont_set_soundbank(korvel_synth_t* synth, int, const char* text)
{
    return korvel_xml::parse_text(text, first_bank(synth), soundbank_edit, "Parse error at line %d:\n%s\n");
}

int korvel_defsfont_set_preset(korvel_synth_t* synth, unsigned int uid, const char* text)
{
    return edit(synth, current_preset_id, uid, text, owner_edit<korvel_xml::preset_kind>,
                [](korvel_defsfont_t* s, unsigned int u) { return korvel_defsfont_get_preset_by_id(s, u) != nullptr; },
                "FEHLER: Ein Preset mit der Nummer %d existiert nicht.\n", "Parse error at line %d:\n%s\n");
}

int korvel_defsfont_set_instrument(korvel_synth_t* synth, unsigned int uid, const char* text)
{
    return edit(
        synth, current_instrument_id, uid, text, owner_edit<korvel_xml::instrument_kind>,
        [](korvel_defsfont_t* s, unsigned int u) { return korvel_defsfont_get_instrument_by_id(s, u) != nullptr; },
        "FEHLER: Ein Instrument mit der Nummer %d existiert nicht.\n", "FEHLER: XML Parser %d:\n%s\n");
}

int korvel_defsfont_set_sample(korvel_synth_t* synth, unsigned int uid, const char* text)
{
    return edit(synth, current_sample_id, uid, text, sample_edit,
                [](korvel_defsfont_t* s, unsigned int u) { return korvel_defsfont_get_sample_by_id(s, u) != nullptr; },
                "FEHLER: Ein Sample mit der Nummer %d existiert nicht.\n", "FEHLER: XML Parser %d:\n%s\n");
}

int korvel_defsfont_set_presets_from_file(korvel_synth_t* synth, const char* path)
{
    return korvel_xml::parse_file(path, first_bank(synth), owner_edit<korvel_xml::preset_kind>,
                                  "File '%s' not found.", "File empty or unexpected error.");
}

int korvel_defsfont_set_instruments_from_file(korvel_synth_t* synth, const char* path)
{
    return korvel_xml::parse_file(path, first_bank(synth), owner_edit<korvel_xml::instrument_kind>,
                                  "File '%s' not found.", "File empty or unexpected error.");
}

int korvel_defsfont_set_samples_from_file(korvel_synth_t* synth, const char* path)
{
    return korvel_xml::parse_file(path, first_bank(synth), sample_edit, "ERROR: Datei '%s' ist nicht vorhanden.",
                                  "Unerwarteter Dateifehler.");
}

} // extern "C"
