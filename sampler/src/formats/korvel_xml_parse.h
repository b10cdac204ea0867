// Parsing helpers shared by the XML sound-bank reader and editor: attribute values, sample paths, and running an
// element handler over a file or a text.
//
// Thread contract: control thread only; the handlers work on the process-wide current numbers.
#pragma once

#include "sampler/src/bank/korvel_defsfont.h"
#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/sys/korvel_uid.h"
#include "sampler/src/bank/korvel_zone.h"

#include <expat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvel_xml {

// Attribute values: to_int parses like atoi (0 without digits) but clamps to int; to_float parses a decimal.
int to_int(const char* text);
// For the unsigned 32-bit fields: as to_int, but values up to 4294967295 are kept (larger ones give 4294967295).
unsigned int to_uint(const char* text);
double to_double(const char* text);

inline bool is(const char* a, const char* b)
{
    return std::strcmp(a, b) == 0;
}

// Range and mute attributes of a zone element; true when the attribute was one of them.
template <typename Zone> bool zone_range_attribute(Zone* zone, const char* key, const char* value)
{
    if (is(key, "keylo")) {
        zone->keylo = to_int(value);
    } else if (is(key, "keyhi")) {
        zone->keyhi = to_int(value);
    } else if (is(key, "vello")) {
        zone->vello = to_int(value);
    } else if (is(key, "velhi")) {
        zone->velhi = to_int(value);
    } else if (is(key, "mute")) {
        zone->mute = to_int(value);
    } else {
        return false;
    }
    return true;
}

// Replaces a zone's name by a heap copy of text; false (the name kept) when memory is short.
template <typename Zone> bool set_zone_name(Zone* zone, const char* text)
{
    char* copy = strdup(text);
    if (copy == nullptr) {
        return false;
    }
    std::free(zone->name);
    zone->name = copy;
    return true;
}

// A global-zone element: id makes the zone number 0, name gives the zone fixed_name (or, for null, the name written),
// ranges and mute as written.
template <typename Zone> void global_zone_attributes(Zone* zone, const XML_Char** atts, const char* fixed_name)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            zone->id = 0;
        } else if (is(atts[i], "name")) {
            set_zone_name(zone, fixed_name != nullptr ? fixed_name : atts[i + 1]);
        } else {
            zone_range_attribute(zone, atts[i], atts[i + 1]);
        }
    }
}

// A generator element: its id (wherever it stands) makes that generator number current; amount sets the value of
// the current number (limited to the generators there are) and marks it set.
template <typename Zone> void generator_attributes(Zone* zone, const XML_Char** atts, int& current)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            current = to_int(atts[i + 1]);
        }
    }
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "amount")) {
            const int num = std::clamp(current, 0, GEN_LAST - 1);
            zone->gen[num].val = to_double(atts[i + 1]);
            zone->gen[num].flags = GEN_SET;
        }
    }
}

// What the handlers of presets and of instruments tell apart: the element names, the running numbers, the lookups
// and the object a zone links to (an instrument for a preset zone, a sample for an instrument zone).
struct preset_kind {
    using owner_t = korvel_defpreset_t;
    using zone_t = korvel_preset_zone_t;
    using target_t = korvel_inst_t;
    static constexpr const char* owner = "preset";
    static constexpr const char* global = "pglobal";
    static constexpr const char* zone = "pzone";
    static constexpr const char* generator = "pgenerator";
    static constexpr const char* modulator = "pmodulator";
    static constexpr const char* link = "linstrument";
    static constexpr const char* missing_owner = "FEHLER: Preset darf nicht NULL sein.";
    static constexpr const char* missing_target = "FEHLER: Instrument darf nicht NULL sein.";
    static constexpr const char* target_not_in_pool = "FEHLER: Das Instrument konnte nicht im Pool gefunden werden.";
    static int& current_owner() { return current_preset_id; }
    static int& current_zone() { return current_pzone_id; }
    static int& current_generator() { return current_pgenerator_id; }
    static int& current_modulator() { return current_pmodulator_id; }
    static int& current_target() { return current_instrument_id; }
    static owner_t* find(korvel_defsfont_t* sfont, int uid)
    {
        return korvel_defsfont_get_preset_by_id(sfont, static_cast<unsigned int>(uid));
    }
    static zone_t* find_zone(owner_t* preset, int id) { return korvel_defsfont_get_pzone_by_id(preset, id); }
    static korvel_mod_t* find_modulator(zone_t* zone, int id) { return korvel_defsfont_get_pmodulator_by_id(zone, id); }
    static target_t* find_target(korvel_defsfont_t* sfont, int uid)
    {
        return korvel_defsfont_get_instrument_by_id(sfont, static_cast<unsigned int>(uid));
    }
    static target_t*& target(zone_t* zone) { return zone->inst; }
    static zone_t* new_zone(const char* name) { return new_korvel_preset_zone(name); }
    // The elements that only group others.
    static constexpr const char* containers[] = {"presets", "gpgenerators", "gpmodulators",
                                                 "pzones",  "pgenerators",  "pmodulators"};
    // The preset's own numbers: bank and program.
    static bool number_attribute(owner_t* preset, const char* key, const char* value);
    // After an edit of those numbers: the bank's preset index follows them.
    static void numbers_changed(korvel_defsfont_t* sfont) { korvel_defsfont_reindex_presets(sfont); }
};

struct instrument_kind {
    using owner_t = korvel_inst_t;
    using zone_t = korvel_inst_zone_t;
    using target_t = korvel_sample_t;
    static constexpr const char* owner = "instrument";
    static constexpr const char* global = "iglobal";
    static constexpr const char* zone = "izone";
    static constexpr const char* generator = "igenerator";
    static constexpr const char* modulator = "imodulator";
    static constexpr const char* link = "lsample";
    static constexpr const char* missing_owner = "FEHLER: Instrument darf nicht NULL sein.";
    static constexpr const char* missing_target = "FEHLER: Sample darf nicht NULL sein.";
    static constexpr const char* target_not_in_pool = "ERROR: Ein Sample konnte im Pool nicht gefunden werden.";
    static int& current_owner() { return current_instrument_id; }
    static int& current_zone() { return current_izone_id; }
    static int& current_generator() { return current_igenerator_id; }
    static int& current_modulator() { return current_imodulator_id; }
    static int& current_target() { return current_sample_id; }
    static owner_t* find(korvel_defsfont_t* sfont, int uid)
    {
        return korvel_defsfont_get_instrument_by_id(sfont, static_cast<unsigned int>(uid));
    }
    static zone_t* find_zone(owner_t* inst, int id) { return korvel_defsfont_get_izone_by_id(inst, id); }
    static korvel_mod_t* find_modulator(zone_t* zone, int id) { return korvel_defsfont_get_imodulator_by_id(zone, id); }
    static target_t* find_target(korvel_defsfont_t* sfont, int uid)
    {
        return korvel_defsfont_get_sample_by_id(sfont, static_cast<unsigned int>(uid));
    }
    static target_t*& target(zone_t* zone) { return zone->sample; }
    static zone_t* new_zone(const char* name) { return new_korvel_inst_zone(name); }
    static constexpr const char* containers[] = {"instruments", "gigenerators", "gimodulators",
                                                 "izones",      "igenerators",  "imodulators"};
    // The instrument's own numbers: alternate (0..12) and shift (-12..12), both kept and listed only.
    static bool number_attribute(owner_t* inst, const char* key, const char* value);
    static void numbers_changed(korvel_defsfont_t*) {}
};

// The preset or instrument that the running number names; none prints the kind's message.
template <typename Kind> typename Kind::owner_t* current_owner(korvel_defsfont_t* sfont)
{
    auto* owner = Kind::find(sfont, Kind::current_owner());
    if (owner == nullptr) {
        std::printf("%s", Kind::missing_owner);
    }
    return owner;
}

// An element below a zone (generator, modulator or link) goes to the zone the running number names; a generator
// sets its amount, the modulator and link elements go to the handler's own functions.
template <typename Kind, typename Modulator, typename Link>
void zone_child(typename Kind::owner_t* owner, const char* element, const XML_Char** atts, Modulator modulator,
                Link link)
{
    auto* zone = Kind::find_zone(owner, Kind::current_zone());
    if (zone == nullptr) {
        std::printf("FEHLER: Zone darf nicht NULL sein.");
        return;
    }
    if (is(element, Kind::generator)) {
        generator_attributes(zone, atts, Kind::current_generator());
    } else if (is(element, Kind::modulator)) {
        modulator(zone, atts);
    } else {
        link(zone, atts);
    }
}

// The uid attributes of a link element: each links the zone to that object of the bank's pool, or prints the kind's
// message when the pool has none; select also makes the number current.
template <typename Kind>
void link_attributes(korvel_defsfont_t* sfont, typename Kind::zone_t* zone, const XML_Char** atts, bool select)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (!is(atts[i], "uid")) {
            continue;
        }
        const int uid = to_int(atts[i + 1]);
        if (select) {
            Kind::current_target() = uid;
        }
        auto* target = Kind::find_target(sfont, uid);
        if (target == nullptr) {
            std::printf("%s", Kind::target_not_in_pool);
        } else {
            Kind::target(zone) = target;
        }
    }
}

// A modulator's sources, flags (kept in 8 bits), destination and amount; true when the attribute was one of them.
bool modulator_attribute(korvel_mod_t* mod, const char* key, const char* value);

// The plain numbers of a sample element: type, rate, pitch, adjust, pstart, lstart, lend. True when the
// attribute was one of them.
bool sample_number_attribute(korvel_sample_t* sample, const char* key, const char* value);

// The bank a handler's user data points at; none prints "FEHLER: Soundfont darf nicht NULL sein.".
korvel_defsfont_t* bank_of(void* data);

// Copies at most max characters of text into buf, which holds at least max + 1 bytes, and ends it.
void copy_name(char* buf, const char* text, size_t max);

// True when a sample's subpath stays inside the resources folder: no ".." component and no NUL tricks.
bool safe_subpath(const char* subpath);

// Feeds the file to the parser 1024 bytes at a time with one start handler and closes the document, so truncation
// is caught. Prints missing (plus the path) if the file does not open, "File '<path>' is larger than <limit> bytes."
// if it is over the XML file limit, empty if a read fails, and the parser's line and message on a syntax error.
// Returns the bytes parsed cleanly.
int parse_file(const char* path, void* data, XML_StartElementHandler start, const char* missing, const char* empty);

// Ends the file pass that runs on this thread after the element being handled, for a handler that has reported why.
void stop_pass();

// Parses a whole text in one final call; error_format ("%d" line, "%s" text) is printed on a parse error. The
// text's length, or 0 on a parse error.
int parse_text(const char* text, void* data, XML_StartElementHandler start, const char* error_format);

} // namespace korvel_xml
