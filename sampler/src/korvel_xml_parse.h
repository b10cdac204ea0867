// Parsing helpers shared by the XML sound-bank reader and editor: attribute values, sample paths, and running an
// element handler over a file or a text.
//
// Thread contract: control thread only; the handlers work on the process-wide current numbers.
#pragma once

#include "sampler/src/korvel_defsfont.h"
#include "sampler/src/korvel_gen.h"
#include "sampler/src/korvel_mod.h"
#include "sampler/src/korvel_sample.h"

#include <expat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace korvel_xml {

// Attribute values: to_int parses like atoi (0 without digits) but clamps to int; to_float parses a decimal.
int to_int(const char* text);
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

// A global-zone element: id makes the zone number 0, name gives the fixed global name, ranges and mute as written.
template <typename Zone> void global_zone_attributes(Zone* zone, const XML_Char** atts, const char* global_name)
{
    for (int i = 0; atts[i] != nullptr; i += 2) {
        if (is(atts[i], "id")) {
            zone->id = 0;
        } else if (is(atts[i], "name")) {
            char* copy = strdup(global_name);
            if (copy != nullptr) {
                std::free(zone->name);
                zone->name = copy;
            }
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
// is caught. Prints missing (plus the path) if the file does not open, empty if a read fails, and the parser's line
// and message on a syntax error. Returns the bytes parsed cleanly.
int parse_file(const char* path, void* data, XML_StartElementHandler start, const char* missing, const char* empty);

// Parses a whole text in one final call; error_format ("%d" line, "%s" text) is printed on a parse error. The
// text's length, or 0 on a parse error.
int parse_text(const char* text, void* data, XML_StartElementHandler start, const char* error_format);

} // namespace korvel_xml
