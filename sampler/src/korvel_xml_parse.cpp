#include "sampler/src/korvel_xml_parse.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvel_xml {

namespace {

void XMLCALL ignore_end(void*, const XML_Char*) {}

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

double to_double(const char* text)
{
    return text != nullptr ? std::strtod(text, nullptr) : 0.0;
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

int parse_file(const char* path, void* data, XML_StartElementHandler start, const char* missing, const char* empty)
{
    XML_Parser parser = make_parser(data, start);
    if (parser == nullptr) {
        return 0;
    }
    FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        std::printf(missing, path != nullptr ? path : "");
        XML_ParserFree(parser);
        return 0;
    }
    int parsed = 0;
    char piece[1024];
    while (true) {
        const size_t n = std::fread(piece, 1, sizeof piece, file);
        if (n == 0) {
            if (std::ferror(file) || parsed == 0) {
                std::printf("%s", empty);
            } else if (XML_Parse(parser, piece, 0, 1) == XML_STATUS_ERROR) {
                print_error(parser, "FEHLER: XML Parser %d:\n%s\n");
            }
            break;
        }
        if (XML_Parse(parser, piece, static_cast<int>(n), 0) == XML_STATUS_ERROR) {
            print_error(parser, "FEHLER: XML Parser %d:\n%s\n");
            break;
        }
        parsed += static_cast<int>(n);
    }
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

} // namespace korvel_xml
