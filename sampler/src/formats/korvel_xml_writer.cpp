#include "sampler/src/formats/korvel_xml_writer.h"

#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/formats/korvel_atomic_file.h"
#include "sampler/src/formats/korvelsynth_channel_setup.h"
#include "sampler/src/sys/korvel_sys.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

// Text limits: a text whose length reaches its limit is refused.
constexpr size_t HEADER_LIMIT = 3989770;
constexpr size_t SAMPLE_LIMIT = 3989997;
constexpr size_t LIST_LIMIT = 3989997;
constexpr size_t INSTRUMENT_LIMIT = 3989985;
constexpr size_t PRESET_LIMIT = 3989989;

constexpr int MOD_SOURCE_NAMES = 127;
constexpr int GENERATOR_NAMES = 127;

// Length of a valid UTF-8 sequence starting at p, or 0.
size_t utf8_sequence(const unsigned char* p)
{
    size_t n = 0;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        n = 2;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        n = 3;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        n = 4;
    } else {
        return 0;
    }
    for (size_t i = 1; i < n; i++) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    return n;
}

// Builds a text in xml_buffer; never writes past it.
class text_builder {
public:
    text_builder() { xml_buffer[0] = '\0'; }

    void raw(const char* text) { put(text, std::strlen(text)); }

    void format(const char* fmt, ...) __attribute__((format(printf, 2, 3)))
    {
        if (overflow_) {
            return;
        }
        va_list args;
        va_start(args, fmt);
        const size_t room = KORVEL_XML_BUFFER_SIZE - length_;
        const int n = std::vsnprintf(xml_buffer + length_, room, fmt, args);
        va_end(args);
        if (n < 0 || static_cast<size_t>(n) >= room) {
            fail();
            return;
        }
        length_ += static_cast<size_t>(n);
    }

    // "<name" after the indentation.
    void open(int tabs, const char* name)
    {
        for (int i = 0; i < tabs; i++) {
            raw("\t");
        }
        raw("<");
        raw(name);
    }

    void attr(const char* name, long long value) { format(" %s='%lld'", name, value); }

    void attr_amount(const char* name, double value) { format(" %s='%f'", name, value); }

    // A text value, escaped so that the document stays well-formed; bytes that are not UTF-8 are taken as Latin-1.
    void attr_text(const char* name, const char* value)
    {
        format(" %s='", name);
        const auto* p = reinterpret_cast<const unsigned char*>(value != nullptr ? value : "");
        while (*p != 0) {
            const unsigned char c = *p;
            if (c == '&') {
                raw("&amp;");
            } else if (c == '<') {
                raw("&lt;");
            } else if (c == '>') {
                raw("&gt;");
            } else if (c == '\'') {
                raw("&apos;");
            } else if (c == '"') {
                raw("&quot;");
            } else if (c < 0x20) {
                format("&#x%X;", c == '\t' || c == '\n' || c == '\r' ? c : 0x20);
            } else if (c < 0x80) {
                put(reinterpret_cast<const char*>(p), 1);
            } else if (size_t n = utf8_sequence(p); n != 0) {
                put(reinterpret_cast<const char*>(p), n);
                p += n - 1;
            } else {
                format("&#x%X;", c);
            }
            p++;
        }
        raw("'");
    }

    void end(bool children) { raw(children ? ">\n" : "/>\n"); }

    void close(int tabs, const char* name)
    {
        for (int i = 0; i < tabs; i++) {
            raw("\t");
        }
        raw("</");
        raw(name);
        raw(">\n");
    }

    size_t length() const { return length_; }
    bool failed() const { return overflow_; }

    // The text, or null with the refusal line when it reached its limit or did not fit.
    const char* finish(size_t limit)
    {
        if (overflow_ || length_ >= limit) {
            std::printf("FEHLER: Die Größe des Formatierungsbuffers wird überschritten.");
            return nullptr;
        }
        return xml_buffer;
    }

private:
    void put(const char* text, size_t n)
    {
        if (overflow_) {
            return;
        }
        if (n >= KORVEL_XML_BUFFER_SIZE - length_) {
            fail();
            return;
        }
        std::memcpy(xml_buffer + length_, text, n);
        length_ += n;
        xml_buffer[length_] = '\0';
    }

    void fail()
    {
        overflow_ = true;
        xml_buffer[length_] = '\0';
    }

    size_t length_ = 0;
    bool overflow_ = false;
};

// Element names of one zone kind.
struct zone_tags {
    const char* global;
    const char* global_gens;
    const char* global_mods;
    const char* zone;
    const char* gens;
    const char* gen;
    const char* mods;
    const char* mod;
};

constexpr zone_tags INSTRUMENT_TAGS{"iglobal", "gigenerators", "gimodulators", "izone",
                                    "igenerators", "igenerator", "imodulators", "imodulator"};
constexpr zone_tags PRESET_TAGS{"pglobal", "gpgenerators", "gpmodulators", "pzone",
                                "pgenerators", "pgenerator", "pmodulators", "pmodulator"};

template <typename Zone> void zone_ranges(text_builder& b, const Zone* zone)
{
    b.attr("keylo", zone->keylo);
    b.attr("keyhi", zone->keyhi);
    b.attr("vello", zone->vello);
    b.attr("velhi", zone->velhi);
    b.attr("mute", zone->mute);
}

// Generators from the container line to the closing modulator container line.
template <typename Zone>
void zone_params(text_builder& b, const Zone* zone, const char* gens, const char* gen, const char* mods,
                 const char* mod)
{
    b.open(4, gens);
    b.end(true);
    for (int num = 0; num < GEN_LAST; num++) {
        if (zone->gen[num].flags & GEN_SET) {
            b.open(5, gen);
            b.attr("id", num);
            b.attr_text("name", gen_verbose(num));
            b.attr_amount("amount", zone->gen[num].val);
            b.end(false);
        }
    }
    b.close(4, gens);
    b.open(4, mods);
    b.end(true);
    for (const korvel_mod_t* m = zone->mod; m != nullptr; m = m->next) {
        b.open(5, mod);
        b.attr("id", m->id);
        b.attr("src1", m->src1);
        b.attr("src2", m->src2);
        b.attr("dest", m->dest);
        b.attr_amount("amount", m->amount);
        b.attr("flags1", m->flags1);
        b.attr("flags2", m->flags2);
        b.end(false);
    }
    b.close(4, mods);
}

template <typename Zone> void global_zone(text_builder& b, const Zone* zone, const zone_tags& tags)
{
    b.open(3, tags.global);
    if (zone == nullptr) {
        b.end(false);
        return;
    }
    b.attr_text("name", zone->name);
    zone_ranges(b, zone);
    b.end(true);
    zone_params(b, zone, tags.global_gens, tags.gen, tags.global_mods, tags.mod);
    b.close(3, tags.global);
}

// Every zone of an owner with its link line.
template <typename Zone, typename Link>
void zones(text_builder& b, const Zone* first, const zone_tags& tags, const char* link_tag, Link link)
{
    for (const Zone* zone = first; zone != nullptr; zone = zone->next) {
        b.open(3, tags.zone);
        b.attr("id", zone->id);
        b.attr_text("name", zone->name);
        zone_ranges(b, zone);
        b.end(true);
        zone_params(b, zone, tags.gens, tags.gen, tags.mods, tags.mod);
        link(b, zone, link_tag);
        b.close(3, tags.zone);
    }
}

void sample_element(text_builder& b, const korvel_sample_t* s)
{
    b.open(2, "sample");
    b.attr("uid", s->uid);
    b.attr("tsource", KORVEL_SAMPLE_FILE);
    b.attr_text("subpath", s->subpath != nullptr ? s->subpath : "/Sounds/");
    b.attr_text("name", s->name);
    b.attr("type", s->type);
    b.attr("rate", s->rate);
    b.attr("pitch", s->pitch);
    b.attr("adjust", s->adjust);
    b.attr("pstart", s->pstart);
    b.attr("pend", s->pend);
    b.attr("lstart", s->lstart);
    b.attr("lend", s->lend);
    b.end(false);
}

void instrument_element(text_builder& b, const korvel_inst_t* inst)
{
    b.open(2, "instrument");
    b.attr("uid", inst->uid);
    b.attr_text("name", inst->name);
    b.attr("alternate", inst->alternate);
    b.attr("shift", inst->shift);
    b.end(true);
    global_zone(b, inst->global_zone, INSTRUMENT_TAGS);
    zones(b, inst->zone, INSTRUMENT_TAGS, "lsample", [](text_builder& t, const korvel_inst_zone_t* z, const char* tag) {
        if (z->sample != nullptr) {
            t.open(4, tag);
            t.attr("uid", z->sample->uid);
            t.attr_text("name", z->sample->name);
            t.end(false);
        }
    });
    b.close(2, "instrument");
}

void preset_element(text_builder& b, const korvel_defpreset_t* preset)
{
    b.open(2, "preset");
    b.attr("uid", preset->uid);
    b.attr_text("name", preset->name);
    b.attr("bank", preset->bank);
    b.attr("number", preset->num);
    b.end(true);
    global_zone(b, preset->global_zone, PRESET_TAGS);
    zones(b, preset->zone, PRESET_TAGS, "linstrument",
          [](text_builder& t, const korvel_preset_zone_t* z, const char* tag) {
              if (z->inst != nullptr) {
                  t.open(4, tag);
                  t.attr("uid", z->inst->uid);
                  t.attr_text("name", z->inst->name);
                  t.end(false);
              }
          });
    b.close(2, "preset");
}

void header(text_builder& b, const korvel_defsfont_t* sfont)
{
    b.raw("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n");
    b.raw("<!-- A Generic Sampler/Soundfont Format Description in XML -->\n");
    b.raw("\n<soundbank>\n");
    b.raw("\n\t<!-- meta data -->\n");
    b.raw("\t<meta name='Soundbank Name' \n");
    b.raw("\t\t author='Author' \n");
    b.raw("\t\t copyright='2017 by Author' \n");
    b.raw("\t\t creator='Code Generator (C/C++)' \n");
    b.raw("\t\t version='1.0.0.0' \n");
    b.raw("\t\t description='This is an imported EMU SF2 Soundfont, converted to XML, using it as a kind of sound "
          "ROM. New Presets (RAM) can be created based on user imported samples too, making the engine to a full "
          "featured sampler.'/>\n\n");
    b.raw("\t<!-- mod source names -->\n");
    b.raw("\t<msources>\n");
    for (int i = 0; i < MOD_SOURCE_NAMES; i++) {
        b.format("\t\t<msource id='%d' name='%s'/>\n", i, mod_verbose(i));
    }
    b.raw("\t</msources>\n\n");
    b.raw("\t<!-- mod destination names -->\n");
    b.raw("\t<mdestinations>\n");
    for (int i = 0; i < GENERATOR_NAMES; i++) {
        b.open(2, "mdestination");
        b.attr("id", i);
        b.attr_text("name", gen_verbose(i));
        b.end(false);
    }
    b.raw("\t</mdestinations>\n\n");
    b.raw("\t<!-- supported tone sources -->\n");
    b.raw("\t<tsources>\n");
    b.open(2, "tsource");
    b.attr("id", 1);
    b.attr_text("name", "origin");
    b.attr_text("path", sfont->filename != nullptr ? sfont->filename : "");
    b.attr("start", sfont->samplepos);
    b.attr("size", sfont->samplesize);
    b.end(false);
    b.raw("\t\t<tsource id='2' name='monolith' path='' start='' size=''/> <!-- monolith RAM is not used here -->\n");
    b.raw("\t\t<tsource id='3' name='file' path='/Sounds/'/> <!-- usually an absolute path to the RAM samples data "
          "folder -->\n");
    b.raw("\t</tsources>\n\n");
}

// One list line per pool entry, tested against the limit after every line.
template <typename Each> const char* list(korvel_list_t* pool, Each each)
{
    if (pool == nullptr) {
        return nullptr;
    }
    text_builder b;
    for (korvel_list_t* p = pool; p != nullptr; p = p->next) {
        each(b, p->data);
        if (b.failed() || b.length() >= LIST_LIMIT) {
            return b.finish(LIST_LIMIT);
        }
    }
    return b.finish(LIST_LIMIT);
}

bool put_text(FILE* file, const char* text)
{
    return std::fputs(text, file) >= 0;
}

} // namespace

extern "C" {

const char* korvel_defsfont_get_header_xml(korvel_defsfont_t* sfont)
{
    if (sfont == nullptr) {
        return nullptr;
    }
    text_builder b;
    header(b, sfont);
    return b.finish(HEADER_LIMIT);
}

const char* korvel_defsfont_get_sample_xml(korvel_sample_t* sample)
{
    if (sample == nullptr) {
        return nullptr;
    }
    text_builder b;
    sample_element(b, sample);
    return b.finish(SAMPLE_LIMIT);
}

const char* korvel_defsfont_get_instrument_xml(korvel_inst_t* inst)
{
    if (inst == nullptr) {
        return nullptr;
    }
    text_builder b;
    instrument_element(b, inst);
    return b.finish(INSTRUMENT_LIMIT);
}

const char* korvel_defsfont_get_preset_xml(korvel_defpreset_t* preset)
{
    if (preset == nullptr) {
        return nullptr;
    }
    text_builder b;
    preset_element(b, preset);
    return b.finish(PRESET_LIMIT);
}

const char* korvel_defsfont_get_preset_params_xml(korvel_preset_zone_t* zone)
{
    if (zone == nullptr) {
        return nullptr;
    }
    text_builder b;
    zone_params(b, zone, PRESET_TAGS.gens, PRESET_TAGS.gen, PRESET_TAGS.mods, PRESET_TAGS.mod);
    return b.finish(PRESET_LIMIT);
}

const char* korvel_defsfont_get_instrument_params_xml(korvel_inst_zone_t* zone)
{
    if (zone == nullptr) {
        return nullptr;
    }
    text_builder b;
    zone_params(b, zone, INSTRUMENT_TAGS.gens, INSTRUMENT_TAGS.gen, INSTRUMENT_TAGS.mods, INSTRUMENT_TAGS.mod);
    return b.finish(INSTRUMENT_LIMIT);
}

const char* korvel_defsfont_get_preset_with_id(korvel_defsfont_t* sfont, unsigned int uid)
{
    return sfont != nullptr ? korvel_defsfont_get_preset_xml(korvel_defsfont_get_preset_by_id(sfont, uid)) : nullptr;
}

const char* korvel_defsfont_get_instrument_with_id(korvel_defsfont_t* sfont, unsigned int uid)
{
    return sfont != nullptr ? korvel_defsfont_get_instrument_xml(korvel_defsfont_get_instrument_by_id(sfont, uid))
                            : nullptr;
}

const char* korvel_defsfont_get_sample_with_id(korvel_defsfont_t* sfont, unsigned int uid)
{
    return sfont != nullptr ? korvel_defsfont_get_sample_xml(korvel_defsfont_get_sample_by_id(sfont, uid)) : nullptr;
}

const char* korvel_defsfont_get_presets(korvel_defsfont_t* sfont)
{
    if (sfont == nullptr || sfont->preset == nullptr) {
        return nullptr;
    }
    text_builder b;
    for (korvel_defpreset_t* p = sfont->preset; p != nullptr; p = p->next) {
        b.open(2, "preset");
        b.attr("uid", p->uid);
        b.attr_text("name", p->name);
        b.end(false);
        if (b.failed() || b.length() >= LIST_LIMIT) {
            break;
        }
    }
    return b.finish(LIST_LIMIT);
}

const char* korvel_defsfont_get_instruments(korvel_defsfont_t* sfont)
{
    return sfont != nullptr ? list(sfont->inst, [](text_builder& b, void* data) {
        const auto* inst = static_cast<const korvel_inst_t*>(data);
        b.open(2, "instrument");
        b.attr("uid", inst->uid);
        b.attr_text("name", inst->name);
        b.attr("alternate", inst->alternate);
        b.attr("shift", inst->shift);
        b.end(false);
    })
                            : nullptr;
}

const char* korvel_defsfont_get_samples(korvel_defsfont_t* sfont)
{
    return sfont != nullptr ? list(sfont->sample, [](text_builder& b, void* data) {
        const auto* sample = static_cast<const korvel_sample_t*>(data);
        b.open(2, "sample");
        b.attr("uid", sample->uid);
        b.attr_text("name", sample->name);
        b.end(false);
    })
                            : nullptr;
}

int korvel_defsfont_export_xml(korvel_defsfont_t* sfont, const char* path)
{
    korvel_atomic::temporary temp;
    // begin refuses a null path itself, with EINVAL.
    if (sfont == nullptr || !korvel_atomic::begin(path, temp)) {
        const int cause = sfont == nullptr ? EINVAL : errno;
        std::printf("Soundfont Synthesizer: Das Exportdateiformat konnte nicht erzeugt werden.");
        korvel_log(KORVEL_ERR, "XML export to '%s' failed: %s", path != nullptr ? path : "",
                   korvel_atomic::begin_failure(temp, cause));
        return 1;
    }
    // The stream writes through a copy of the descriptor: the temporary file's own one keeps its lock until commit.
    const int stream_fd = dup(temp.fd);
    FILE* file = stream_fd >= 0 ? fdopen(stream_fd, "wb") : nullptr;
    if (file == nullptr) {
        korvel_log(KORVEL_ERR, "XML export to '%s' failed: %s", path, std::strerror(errno));
        if (stream_fd >= 0) {
            close(stream_fd);
        }
        korvel_atomic::abandon(temp);
        return -1;
    }
    int error = 0; // the first failure: a text too large for the buffer, or the write's own error
    auto emit = [&](const char* text) {
        if (error == 0 && text == nullptr) {
            error = EOVERFLOW;
        } else if (error == 0 && !put_text(file, text)) {
            error = errno;
        }
    };
    emit(korvel_defsfont_get_header_xml(sfont));
    emit("\n\t<!-- wave pool -->\n\t<samples>\n\t\t<!-- sample references -->\n");
    for (korvel_list_t* p = sfont->sample; p != nullptr && error == 0; p = p->next) {
        emit(korvel_defsfont_get_sample_xml(static_cast<korvel_sample_t*>(p->data)));
    }
    emit("\t</samples>\n\n\t<!-- zone pool -->\n\t<instruments>\n");
    for (korvel_list_t* p = sfont->inst; p != nullptr && error == 0; p = p->next) {
        emit(korvel_defsfont_get_instrument_xml(static_cast<korvel_inst_t*>(p->data)));
    }
    emit("\t</instruments>\n\n\t<!-- preset pool -->\n\t<presets>\n");
    for (korvel_defpreset_t* p = sfont->preset; p != nullptr && error == 0; p = p->next) {
        emit(korvel_defsfont_get_preset_xml(p));
    }
    emit("\t</presets>\n\n</soundbank>\n");
    if (error == 0 && std::fflush(file) != 0) {
        error = errno;
    }
    if (std::fclose(file) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        korvel_log(KORVEL_ERR, "XML export to '%s' failed: %s", path, std::strerror(error));
        korvel_atomic::abandon(temp);
        return -1;
    }
    if ((error = korvel_atomic::commit(temp)) != 0) {
        korvel_log(KORVEL_ERR, "XML export to '%s' failed: %s", path, std::strerror(error));
        return -1;
    }
    std::printf("Soundfont Synthesizer: Die Soundbank wurde im nativen XML format auf die Festplatte gepeichert. ");
    return 0;
}

const char* gen_verbose_id(int mode)
{
    return mode == 0 ? "..." : "Unknown Generator Mode";
}

int find(const char* text, const char* pattern, int start)
{
    if (text == nullptr || pattern == nullptr || *text == '\0' || *pattern == '\0') {
        return -1;
    }
    const size_t length = std::strlen(text);
    const size_t from = start < 0 ? 0 : static_cast<size_t>(start);
    if (from >= length) {
        return -1;
    }
    const char* hit = std::strstr(text + from, pattern);
    return hit != nullptr ? static_cast<int>(hit - text) : -1;
}

int replace(char** text, const char* pattern, const char* replacement, int start, int all)
{
    if (text == nullptr || *text == nullptr || pattern == nullptr || replacement == nullptr ||
        std::strcmp(pattern, replacement) == 0) {
        return 0;
    }
    int at = find(*text, pattern, start);
    if (at < 0) {
        return 0;
    }
    std::string result(*text, static_cast<size_t>(at));
    const size_t plen = std::strlen(pattern);
    size_t pos = static_cast<size_t>(at);
    const std::string source(*text);
    while (true) {
        result += replacement;
        pos += plen;
        const int next = all ? find(source.c_str(), pattern, static_cast<int>(pos)) : -1;
        if (next < 0) {
            result.append(source, pos, std::string::npos);
            break;
        }
        result.append(source, pos, static_cast<size_t>(next) - pos);
        pos = static_cast<size_t>(next);
    }
    char* fresh = strdup(result.c_str());
    if (fresh == nullptr) {
        return 0;
    }
    std::free(*text);
    *text = fresh;
    return 1;
}

} // extern "C"
