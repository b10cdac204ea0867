// Writes a bank as the library's XML sound-bank document and produces the XML text of single objects and of pool
// lists. Texts are built in the process-wide text buffer xml_buffer and stay valid until the next call that uses
// it. Attribute texts are escaped (& < > ' " and bytes that are not UTF-8), so every document is well-formed; a
// global zone is written with its generators and modulators.
//
// Thread contract: control thread only, one call at a time (the text buffer is shared by the whole process).
#pragma once

#include "sampler/src/korvel_defsfont.h"

#ifdef __cplusplus
extern "C" {
#endif

// Writes the bank to path: 0; 1 when the file cannot be created; -1 when a part of the text is refused for its
// size (the file is then incomplete).
int korvel_defsfont_export_xml(korvel_defsfont_t* sfont, const char* path);

// Texts in xml_buffer; null for a null argument or a text too large for the buffer.
const char* korvel_defsfont_get_header_xml(korvel_defsfont_t* sfont);
const char* korvel_defsfont_get_sample_xml(korvel_sample_t* sample);
const char* korvel_defsfont_get_instrument_xml(korvel_inst_t* inst);
const char* korvel_defsfont_get_preset_xml(korvel_defpreset_t* preset);
// The generator and modulator part of one zone; null for no zone.
const char* korvel_defsfont_get_preset_params_xml(korvel_preset_zone_t* zone);
const char* korvel_defsfont_get_instrument_params_xml(korvel_inst_zone_t* zone);
// The element text of the pool object with that unique identifier; null when absent.
const char* korvel_defsfont_get_preset_with_id(korvel_defsfont_t* sfont, unsigned int uid);
const char* korvel_defsfont_get_instrument_with_id(korvel_defsfont_t* sfont, unsigned int uid);
const char* korvel_defsfont_get_sample_with_id(korvel_defsfont_t* sfont, unsigned int uid);
// One line per pool entry; null for an empty pool.
const char* korvel_defsfont_get_presets(korvel_defsfont_t* sfont);
const char* korvel_defsfont_get_instruments(korvel_defsfont_t* sfont);
const char* korvel_defsfont_get_samples(korvel_defsfont_t* sfont);

// "..." for 0, else "Unknown Generator Mode".
const char* gen_verbose_id(int mode);
// Position of the first occurrence of pattern at or after start (negative starts count as 0); -1 when absent or
// when an argument is null or empty.
int find(const char* text, const char* pattern, int start);
// Replaces the first occurrence of pattern at or after start (every one with all set) in the owned text *text
// (malloc'd), building a new text that replaces it: 1 when something was replaced, else 0 (at once when pattern
// and replacement are equal).
int replace(char** text, const char* pattern, const char* replacement, int start, int all);

#ifdef __cplusplus
}
#endif
