// Reads the library's XML sound-bank document into a bank: the sample pool (raw 16-bit files below the resources
// folder of the synthesizer created last), the instrument pool and the presets, linked by unique identifier.
//
// Four passes (bank, samples, instruments, presets): a pass only links to pools an earlier pass has finished.
// Context comes from the process-wide current numbers (korvel_uid.h), not from nesting: an element naming an object
// makes it current. A global-zone element makes the global zone current.
// Sample subpaths may not leave the resources folder.
//
// Thread contract: control thread only, while the bank is not on a synthesizer's stack or no voice plays it.
#pragma once

#include "sampler/src/bank/korvel_defsfont.h"

// The most elements of each kind one pass makes; the pass stops at the first element beyond, with a message. A few
// bytes of text make a record of hundreds of bytes (a zone holds every generator), so without these caps a bank's
// memory would grow some twenty times as fast as its file. With them a bank takes at most about 300 MiB, whatever
// the file holds.
enum {
    KORVEL_XML_SAMPLE_LIMIT = 16384,
    KORVEL_XML_INSTRUMENT_LIMIT = 16384,
    KORVEL_XML_PRESET_LIMIT = 16384,
    KORVEL_XML_ZONE_LIMIT = 65536,      // zones of all instruments, or of all presets
    KORVEL_XML_MODULATOR_LIMIT = 262144 // modulators of all instrument zones, or of all preset zones
};

#ifdef __cplusplus
extern "C" {
#endif

// Stores a copy of file as the bank's file name, drops its sample data and runs the passes: 0; -1 (logged) if the
// copy fails or the file is larger than the XML file limit. A failing pass (missing file, parse error) stops itself
// only.
int korvel_defsfont_load_xml(korvel_defsfont_t* sfont, const char* file);
int korvel_defsfont_import_xml(korvel_defsfont_t* sfont, const char* file);

// The single passes: the bytes parsed without error.
int korvel_defsfont_load_soundbank_from_file(korvel_defsfont_t* sfont, const char* file);
int korvel_defsfont_load_samples_from_file(korvel_defsfont_t* sfont, const char* file);
int korvel_defsfont_load_instruments_from_file(korvel_defsfont_t* sfont, const char* file);
int korvel_defsfont_load_presets_from_file(korvel_defsfont_t* sfont, const char* file);

// Loads a raw file of little-endian 16-bit mono points into a sample (play start 0, play end the point count,
// the sample owning the points): the point count, or 0 when the file cannot be read (the sample keeps no data).
unsigned int korvel_load_sample(korvel_sample_t* sample, const char* path);

// Marks a sample not valid unless it has points and its play and loop positions lie inside them.
void korvel_xml_check_sample(korvel_sample_t* sample);

#ifdef __cplusplus
}
#endif
