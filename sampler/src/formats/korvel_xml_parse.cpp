#include "sampler/src/formats/korvel_xml_parse.h"

#include "sampler/src/sys/korvel_file_limits.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvel_xml {

namespace {

void XMLCALL ignore_end(void*, const XML_Char*) {}

// The parser of the file pass running on this thread, so that a handler can end the pass.
thread_local XML_Parser active_parser = nullptr;

XML_Parser make_parser(void* data, XML_StartElementHandler start)
{
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (parser != nullptr) {
        XML_SetUserData(parser, data);
        XML_SetElementHandler(parser, start, ignore_end);
    }
    return parser;
}

void print_error(XML_Parser parser, const char* format)
{
    std::printf(format, static_cast<int>(XML_GetCurrentLineNumber(parser)), XML_ErrorString(XML_GetErrorCode(parser)));
}

} // namespace

int to_int(const char* text)
{
    if (text == nullptr) {
        return 0;
    }
    errno = 0;
    const long long v = std::strtoll(text, nullptr, 10);
    if (v > INT_MAX) {
        return INT_MAX;
    }
    if (v < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(v);
}

unsigned int to_uint(const char* text)
{
    const long long v = text != nullptr ? std::strtoll(text, nullptr, 10) : 0;
    return v > static_cast<long long>(UINT_MAX) ? UINT_MAX : static_cast<unsigned int>(std::max<long long>(v, INT_MIN));
}

double to_double(const char* text)
{
    return text != nullptr ? std::strtod(text, nullptr) : 0.0;
}

bool preset_kind::number_attribute(korvel_defpreset_t* preset, const char* key, const char* value)
{
    if (is(key, "bank")) {
        preset->bank = to_uint(value);
    } else if (is(key, "number")) {
        preset->num = to_uint(value);
    } else {
        return false;
    }
    return true;
}

bool instrument_kind::number_attribute(korvel_inst_t* inst, const char* key, const char* value)
{
    if (is(key, "alternate")) {
        inst->alternate = std::clamp(to_int(value), 0, 12);
    } else if (is(key, "shift")) {
        inst->shift = std::clamp(to_int(value), -12, 12);
    } else {
        return false;
    }
    return true;
}

bool modulator_attribute(korvel_mod_t* mod, const char* key, const char* value)
{
    if (is(key, "src1")) {
        mod->src1 = static_cast<unsigned char>(to_int(value));
    } else if (is(key, "src2")) {
        mod->src2 = static_cast<unsigned char>(to_int(value));
    } else if (is(key, "dest")) {
        mod->dest = static_cast<unsigned char>(to_int(value));
    } else if (is(key, "flags1")) {
        mod->flags1 = static_cast<unsigned char>(to_int(value));
    } else if (is(key, "flags2")) {
        mod->flags2 = static_cast<unsigned char>(to_int(value));
    } else if (is(key, "amount")) {
        mod->amount = to_double(value);
    } else {
        return false;
    }
    return true;
}

bool sample_number_attribute(korvel_sample_t* sample, const char* key, const char* value)
{
    if (is(key, "type")) {
        sample->type = to_int(value);
    } else if (is(key, "rate")) {
        sample->rate = to_uint(value);
    } else if (is(key, "pitch")) {
        sample->pitch = to_int(value);
    } else if (is(key, "adjust")) {
        sample->adjust = to_int(value);
    } else if (is(key, "pstart")) {
        sample->pstart = to_uint(value);
    } else if (is(key, "lstart")) {
        sample->lstart = to_uint(value);
    } else if (is(key, "lend")) {
        sample->lend = to_uint(value);
    } else {
        return false;
    }
    return true;
}

bool safe_subpath(const char* subpath)
{
    if (subpath == nullptr) {
        return false;
    }
    const char* part = subpath;
    while (true) {
        const char* slash = std::strchr(part, '/');
        const size_t n = slash != nullptr ? static_cast<size_t>(slash - part) : std::strlen(part);
        if (n == 2 && part[0] == '.' && part[1] == '.') {
            return false;
        }
        if (slash == nullptr) {
            return true;
        }
        part = slash + 1;
    }
}

void stop_pass()
{
    if (active_parser != nullptr) {
        XML_StopParser(active_parser, XML_FALSE);
    }
}

int parse_file(const char* path, void* data, XML_StartElementHandler start, const char* missing, const char* empty)
{
    XML_Parser parser = make_parser(data, start);
    if (parser == nullptr) {
        return 0;
    }
    FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    struct stat info {};
    if (file != nullptr && (::fstat(fileno(file), &info) != 0 || info.st_size > KORVEL_XML_FILE_LIMIT)) {
        std::fclose(file);
        std::printf("File '%s' is larger than %ld bytes.\n", path, KORVEL_XML_FILE_LIMIT);
        XML_ParserFree(parser);
        return 0;
    }
    if (file == nullptr) {
        std::printf(missing, path != nullptr ? path : "");
        XML_ParserFree(parser);
        return 0;
    }
    active_parser = parser;
    int parsed = 0;
    char block[1024];
    while (true) {
        const size_t n = std::fread(block, 1, sizeof block, file);
        if (n == 0) {
            if (std::ferror(file) || parsed == 0) {
                std::printf("%s", empty);
            } else if (XML_Parse(parser, block, 0, 1) == XML_STATUS_ERROR) {
                print_error(parser, "FEHLER: XML Parser %d:\n%s\n");
            }
            break;
        }
        if (XML_Parse(parser, block, static_cast<int>(n), 0) == XML_STATUS_ERROR) {
            // A handler that ended the pass has said why.
            if (XML_GetErrorCode(parser) != XML_ERROR_ABORTED) {
                print_error(parser, "FEHLER: XML Parser %d:\n%s\n");
            }
            break;
        }
        parsed += static_cast<int>(n);
    }
    active_parser = nullptr;
    std::fclose(file);
    XML_ParserFree(parser);
    return parsed;
}

int parse_text(const char* text, void* data, XML_StartElementHandler start, const char* error_format)
{
    if (text == nullptr) {
        return 0;
    }
    XML_Parser parser = make_parser(data, start);
    if (parser == nullptr) {
        return 0;
    }
    const size_t length = std::strlen(text);
    int result = static_cast<int>(length);
    if (length > INT_MAX || XML_Parse(parser, text, static_cast<int>(length), 1) == XML_STATUS_ERROR) {
        print_error(parser, error_format);
        result = 0;
    }
    XML_ParserFree(parser);
    return result;
}

korvel_defsfont_t* bank_of(void* data)
{
    auto* sfont = static_cast<korvel_defsfont_t*>(data);
    if (sfont == nullptr) {
        std::printf("FEHLER: Soundfont darf nicht NULL sein.");
    }
    return sfont;
}

void copy_name(char* buf, const char* text, size_t max)
{
    const size_t n = std::min(std::strlen(text), max);
    std::memcpy(buf, text, n);
    buf[n] = '\0';
}

} // namespace korvel_xml
