// Parsing helpers shared by the XML sound-bank reader and editor: attribute values, sample paths, and running an
// element handler over a file or a text.
//
// Thread contract: control thread only; the handlers work on the process-wide current numbers.
#pragma once

#include <expat.h>

namespace korvel_xml {

// Attribute values: a decimal integer read like the standard text-to-integer conversion (no digits give 0),
// limited to the range of int; a decimal floating value.
int to_int(const char* text);
double to_double(const char* text);

// True when a sample's subpath stays inside the resources folder: no ".." component and no NUL tricks.
bool safe_subpath(const char* subpath);

// Parses a file in pieces of 1024 bytes with one start handler, then finishes the document, so that a document
// cut short is reported. missing is printed (with the path) when the file cannot be opened, empty when a read
// fails; a parse error prints "FEHLER: XML Parser %d:\n%s\n". The bytes parsed without error.
int parse_file(const char* path, void* data, XML_StartElementHandler start, const char* missing, const char* empty);

// Parses a whole text as the final piece; error_format ("%d" line, "%s" text) is printed on a parse error. The
// text's length, or 0 on a parse error.
int parse_text(const char* text, void* data, XML_StartElementHandler start, const char* error_format);

} // namespace korvel_xml
