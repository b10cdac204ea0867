// Exports a bank as an XML sound-bank document, and renders single objects or pool lists as XML. Texts are built in
// the process-wide text buffer xml_buffer and stay valid until the next call that uses it. Attribute texts are
// escaped (& < > ' " and bytes that are not UTF-8), so every document is well-formed; a global zone is written with
// its generators and modulators.
//
// Thread contract: control thread only, one call at a time (the text buffer is shared by the whole process).
#pragma once

#include "sampler/src/bank/korvel_defsfont.h"

#ifdef __cplusplus
extern "C" {
#endif

// Writes the document to path in one step (through a symbolic link, into the file it names): a reader of path finds
// the old file or the whole new one. 0 once the new file is in place; 1 when no file can be made beside path or path
// is not a regular file; -1 when writing fails or some text was too large for the buffer. Either failure is logged
// at error level and leaves the old file whole.
int korvel_defsfont_export_xml(korvel_defsfont_t* sfont, const char* path);

// Results live in xml_buffer; null for null input or when the text would overflow it.
const char* korvel_defsfont_get_header_xml(korvel_defsfont_t* sfont);
const char* korvel_defsfont_get_sample_xml(korvel_sample_t* sample);
const char* korvel_defsfont_get_instrument_xml(korvel_inst_t* inst);
const char* korvel_defsfont_get_preset_xml(korvel_defpreset_t* preset);
// The generator and modulator part of one zone; null for no zone.
const char* korvel_defsfont_get_preset_params_xml(korvel_preset_zone_t* zone);
const char* korvel_defsfont_get_instrument_params_xml(korvel_inst_zone_t* zone);
// XML of the pool object whose uid matches; null if there is none.
const char* korvel_defsfont_get_preset_with_id(korvel_defsfont_t* sfont, unsigned int uid);
const char* korvel_defsfont_get_instrument_with_id(korvel_defsfont_t* sfont, unsigned int uid);
const char* korvel_defsfont_get_sample_with_id(korvel_defsfont_t* sfont, unsigned int uid);
// One line per pool entry; null for an empty pool.
const char* korvel_defsfont_get_presets(korvel_defsfont_t* sfont);
const char* korvel_defsfont_get_instruments(korvel_defsfont_t* sfont);
const char* korvel_defsfont_get_samples(korvel_defsfont_t* sfont);

// "..." for 0, else "Unknown Generator Mode".
const char* gen_verbose_id(int mode);
// Index of pattern in text searching from start (clamped to 0); -1 if not found or either text is null or empty.
int find(const char* text, const char* pattern, int start);
// Replaces pattern from start on (the first match, or all with all set) in the malloc'd *text, which is swapped
// for a new string. 1 if anything changed; 0 otherwise, immediately when pattern equals replacement.
int replace(char** text, const char* pattern, const char* replacement, int start, int all);

#ifdef __cplusplus
}
#endif
