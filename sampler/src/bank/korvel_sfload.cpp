#include "sampler/src/bank/korvel_sfload.h"

#include "sampler/src/sys/korvel_file_limits.h"

#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Chunk identifiers; the position plus one is the chunk number, 0 for an identifier not in the table.
constexpr const char* chunk_ids[] = {"RIFF", "LIST", "sfbk", "INFO", "sdta", "pdta", "ifil", "isng", "INAM", "irom",
                                     "iver", "ICRD", "IENG", "IPRD", "ICOP", "ICMT", "ISFT", "snam", "smpl", "phdr",
                                     "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"};

enum chunk_number {
    UNKN_ID,
    RIFF_ID,
    LIST_ID,
    SFBK_ID,
    INFO_ID,
    SDTA_ID,
    PDTA_ID,
    IFIL_ID,
    ISNG_ID,
    INAM_ID,
    IROM_ID,
    IVER_ID,
    ICRD_ID,
    IENG_ID,
    IPRD_ID,
    ICOP_ID,
    ICMT_ID,
    ISFT_ID,
    SNAM_ID,
    SMPL_ID,
    PHDR_ID,
    PBAG_ID,
    PMOD_ID,
    PGEN_ID,
    INST_ID,
    IBAG_ID,
    IMOD_ID,
    IGEN_ID,
    SHDR_ID
};

constexpr int PHDR_SIZE = 38;
constexpr int BAG_SIZE = 4;
constexpr int MOD_SIZE = 10;
constexpr int GEN_SIZE = 4;
constexpr int INST_SIZE = 22;
constexpr int SHDR_SIZE = 46;
constexpr int MAX_INFO_SIZE = 65536;
constexpr int MAX_INFO_TEXT = 256;

constexpr uint16_t GEN_INSTRUMENT = 41;
constexpr uint16_t GEN_KEYRANGE = 43;
constexpr uint16_t GEN_VELRANGE = 44;
constexpr uint16_t GEN_SAMPLEID = 53;
constexpr uint16_t GEN_LAST_STANDARD = 58;
constexpr uint16_t SAMPLE_ROM = 0x8000;

int chunk_number_of(const char* id)
{
    for (size_t i = 0; i < std::size(chunk_ids); i++) {
        if (std::memcmp(id, chunk_ids[i], 4) == 0) {
            return static_cast<int>(i) + 1;
        }
    }
    return UNKN_ID;
}

// Structural messages of the parser go to standard output.
void report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void report(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fputc('\n', stdout);
}

struct chunk_t {
    char id[4];
    uint32_t size;
};

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t le32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The open file with guarded reads that say why they failed.
class sf_file {
public:
    explicit sf_file(std::FILE* f) : f_(f) {}
    ~sf_file() { std::fclose(f_); }
    sf_file(const sf_file&) = delete;
    sf_file& operator=(const sf_file&) = delete;

    bool read(void* buf, long count)
    {
        if (count > remaining()) {
            // Reading would run past the end of the file: refuse before asking for the memory.
            korvel_log(KORVEL_ERR, "EOF while attemping to read %ld bytes", count);
            return false;
        }
        if (count > 0 && std::fread(buf, static_cast<size_t>(count), 1, f_) != 1) {
            if (std::feof(f_)) {
                korvel_log(KORVEL_ERR, "EOF while attemping to read %ld bytes", count);
            } else {
                korvel_log(KORVEL_ERR, "File read failed");
            }
            return false;
        }
        return true;
    }

    bool read_bytes(std::vector<uint8_t>& out, long count)
    {
        if (count > remaining()) {
            korvel_log(KORVEL_ERR, "EOF while attemping to read %ld bytes", count);
            return false;
        }
        out.resize(static_cast<size_t>(count));
        return read(out.data(), count);
    }

    bool read_chunk(chunk_t& chunk)
    {
        uint8_t raw[8];
        if (!read(raw, 8)) {
            return false;
        }
        std::memcpy(chunk.id, raw, 4);
        chunk.size = le32(raw + 4);
        return true;
    }

    bool read_id(char* id) { return read(id, 4); }

    bool skip(long offset)
    {
        if (std::fseek(f_, offset, SEEK_CUR) != 0) {
            korvel_log(KORVEL_ERR, "File seek failed with offset = %ld and whence = %d", offset, SEEK_CUR);
            return false;
        }
        return true;
    }

    long tell() const { return std::ftell(f_); }
    long remaining() const { return size - tell(); }

    long size = 0;

private:
    std::FILE* f_;
};

bool parse_riff_header(sf_file& file)
{
    chunk_t riff;
    char form[4];
    if (!file.read_chunk(riff)) {
        return false;
    }
    if (chunk_number_of(riff.id) != RIFF_ID) {
        report("Not a RIFF file");
        return false;
    }
    if (!file.read_id(form)) {
        return false;
    }
    if (chunk_number_of(form) != SFBK_ID) {
        report("Not a sound font file");
        return false;
    }
    if (static_cast<long>(riff.size) != file.size - 8) {
        report("Sound font file size mismatch");
        return false;
    }
    return true;
}

// Reads a level-0 LIST header and checks its type; size is what the list holds after its type.
bool read_list(sf_file& file, int expected, const char* wrong_type, long& size)
{
    chunk_t list;
    char type[4];
    if (!file.read_chunk(list)) {
        return false;
    }
    if (chunk_number_of(list.id) != LIST_ID) {
        report("Invalid chunk id in level 0 parse");
        return false;
    }
    if (!file.read_id(type)) {
        return false;
    }
    if (chunk_number_of(type) != expected) {
        report("%s", wrong_type);
        return false;
    }
    size = static_cast<long>(list.size) - 4;
    return true;
}

bool read_version(sf_file& file, const chunk_t& chunk, const char* bad_size, unsigned int& major,
                  unsigned int& minor)
{
    if (chunk.size != 4) {
        report("%s", bad_size);
        return false;
    }
    uint8_t raw[4];
    if (!file.read(raw, 4)) {
        return false;
    }
    major = le16(raw);
    minor = le16(raw + 2);
    return true;
}

bool parse_info(sf_file& file, sfont_data_t& sf, long size)
{
    while (size > 0) {
        chunk_t chunk;
        if (!file.read_chunk(chunk)) {
            return false;
        }
        size -= 8;
        int id = chunk_number_of(chunk.id);
        if (id == IFIL_ID) {
            if (!read_version(file, chunk, "Sound font version info chunk has invalid size", sf.version_major,
                              sf.version_minor)) {
                return false;
            }
            if (sf.version_major < 2) {
                korvel_log(KORVEL_ERR, "Sound font version is %d.%d which is not supported, convert to version 2.0x",
                           sf.version_major, sf.version_minor);
                return false;
            }
            if (sf.version_major > 2) {
                korvel_log(KORVEL_WARN, "Sound font version is %d.%d, newer than the supported version 2.0x",
                           sf.version_major, sf.version_minor);
                return false;
            }
        } else if (id == IVER_ID) {
            if (!read_version(file, chunk, "ROM version info chunk has invalid size", sf.romver_major,
                              sf.romver_minor)) {
                return false;
            }
        } else if (id == UNKN_ID) {
            report("Invalid chunk id in INFO chunk");
            return false;
        } else {
            if ((chunk.size & 1) || chunk.size > MAX_INFO_SIZE || (chunk.size > MAX_INFO_TEXT && id != ICMT_ID)) {
                report("INFO sub chunk %.4s has invalid chunk size of %d bytes", chunk.id,
                       static_cast<int>(chunk.size));
                return false;
            }
            std::vector<uint8_t> text;
            if (!file.read_bytes(text, chunk.size)) {
                return false;
            }
            text.push_back(0);
            sf.info.push_back({id, std::string(reinterpret_cast<const char*>(text.data()))});
        }
        size -= chunk.size;
    }
    if (size < 0) {
        report("INFO chunk size mismatch");
        return false;
    }
    return true;
}

bool parse_sdta(sf_file& file, sfont_data_t& sf, long size)
{
    if (size == 0) {
        return true;
    }
    chunk_t chunk;
    if (!file.read_chunk(chunk)) {
        return false;
    }
    if (chunk_number_of(chunk.id) != SMPL_ID) {
        report("Expected SMPL chunk found invalid id instead");
        return false;
    }
    if (static_cast<long>(chunk.size) != size - 8) {
        report("SDTA chunk size mismatch");
        return false;
    }
    sf.samplepos = static_cast<unsigned int>(file.tell());
    sf.samplesize = chunk.size;
    return file.skip(static_cast<long>(chunk.size));
}

// One pdta sub-chunk read whole, with its record count.
struct records_t {
    std::vector<uint8_t> bytes;
    size_t count = 0;
    const uint8_t* at(size_t i, int record_size) const { return bytes.data() + i * record_size; }
};

bool read_pdta_chunk(sf_file& file, long& size, int expected, int record_size, records_t& out)
{
    const char* name = chunk_ids[expected - 1];
    if (size < 8) {
        report("\"%.4s\" chunk size exceeds remaining PDTA chunk size", name);
        return false;
    }
    chunk_t chunk;
    if (!file.read_chunk(chunk)) {
        return false;
    }
    size -= 8;
    if (chunk_number_of(chunk.id) != expected) {
        report("Expected PDTA sub-chunk \"%.4s\" found invalid id instead", name);
        return false;
    }
    if (chunk.size % record_size != 0) {
        report("\"%.4s\" chunk size is not a multiple of %d bytes", name, record_size);
        return false;
    }
    if (static_cast<long>(chunk.size) > size) {
        report("\"%.4s\" chunk size exceeds remaining PDTA chunk size", name);
        return false;
    }
    size -= chunk.size;
    out.count = chunk.size / record_size;
    return file.read_bytes(out.bytes, chunk.size);
}

// The texts that differ between the preset and the instrument level.
struct level_texts {
    const char* header_invalid;
    const char* none;
    const char* header_not_monotonic;
    const char* not_referenced;
    const char* bag_invalid;
    const char* bag_gen_not_monotonic;
    const char* bag_mod_not_monotonic;
    const char* bag_mismatch;
    const char* no_gens;
    const char* no_mods;
    const char* mod_mismatch;
    const char* gen_mismatch;
    const char* gen_overrun;
    const char* discard_global;
    const char* global_not_first;
    const char* invalid_gens;
};

constexpr level_texts preset_texts = {
    "Preset header chunk size is invalid",
    "File contains no presets",
    "Preset header indices not monotonic",
    "%d preset zones not referenced, discarding",
    "Preset bag chunk size is invalid",
    "Preset bag generator indices not monotonic",
    "Preset bag modulator indices not monotonic",
    "Preset bag chunk size mismatch",
    "No preset generators and terminal index not 0",
    "No preset modulators and terminal index not 0",
    "Preset modulator chunk size mismatch",
    "Preset generator chunk size mismatch",
    "Preset generator chunk size mismatch",
    "Preset \"%s\": Discarding invalid global zone",
    "Preset \"%s\": Global zone is not first zone",
    "Preset \"%s\": Some invalid generators were discarded",
};

constexpr level_texts inst_texts = {
    "Instrument header has invalid size",
    "File contains no instruments",
    "Instrument header indices not monotonic",
    "%d instrument zones not referenced, discarding",
    "Instrument bag chunk size is invalid",
    "Instrument generator indices not monotonic",
    "Instrument modulator indices not monotonic",
    "Instrument bag chunk size mismatch",
    "No instrument generators and terminal index not 0",
    "No instrument modulators and terminal index not 0",
    "Instrument modulator chunk size mismatch",
    "Instrument generator chunk size mismatch",
    "IGEN chunk size mismatch",
    "Instrument \"%s\": Discarding invalid global zone",
    "Instrument \"%s\": Global zone is not first zone",
    "Instrument \"%s\": Some invalid generators were discarded",
};

// Generators that the standard allows only in instrument zones.
bool instrument_only(uint16_t oper)
{
    switch (oper) {
    case 0: case 1: case 2: case 3: case 4: case 12: case 45: case 46: case 47: case 50: case 54: case 57: case 58:
        return true;
    default:
        return false;
    }
}

bool reserved(uint16_t oper)
{
    switch (oper) {
    case 14: case 18: case 19: case 20: case 42: case 49: case 55:
        return true;
    default:
        return false;
    }
}

// The zones of one level (presets or instruments): headers give each owner a span of bags, bags give each zone a
// span of generators and modulators. Owner has `name` and `zone`.
template <typename Owner>
bool parse_level(std::vector<Owner>& owners, sfont_data_t& sf, const records_t& hdr, int hdr_size,
                 size_t bag_offset, const records_t& bag, const records_t& mod, const records_t& gen, bool preset_level,
                 const level_texts& t)
{
    if (hdr.count == 0) {
        report("%s", t.header_invalid);
        return false;
    }
    if (hdr.count == 1) {
        korvel_log(KORVEL_WARN, "%s", t.none);
    }
    if (bag.count == 0) {
        report("%s", t.bag_invalid);
        return false;
    }
    // Bag spans per owner, from the headers (the last header is the terminal record).
    std::vector<uint16_t> first_bag(hdr.count);
    for (size_t i = 0; i < hdr.count; i++) {
        first_bag[i] = le16(hdr.at(i, hdr_size) + bag_offset);
        if (i > 0 && first_bag[i] < first_bag[i - 1]) {
            report("%s", t.header_not_monotonic);
            return false;
        }
    }
    if (first_bag[0] > 0 && hdr.count > 1) {
        korvel_log(KORVEL_WARN, t.not_referenced, first_bag[0]);
    }
    size_t terminal_bag = first_bag[hdr.count - 1];
    if (bag.count != terminal_bag + 1) {
        report("%s", t.bag_mismatch);
        return false;
    }
    std::vector<uint16_t> gen_index(bag.count);
    std::vector<uint16_t> mod_index(bag.count);
    for (size_t i = 0; i < bag.count; i++) {
        gen_index[i] = le16(bag.at(i, BAG_SIZE));
        mod_index[i] = le16(bag.at(i, BAG_SIZE) + 2);
        if (i > 0 && gen_index[i] < gen_index[i - 1]) {
            report("%s", t.bag_gen_not_monotonic);
            return false;
        }
        if (i > 0 && mod_index[i] < mod_index[i - 1]) {
            report("%s", t.bag_mod_not_monotonic);
            return false;
        }
    }
    // The terminal bag's indices must name the terminal records of the modulator and generator chunks.
    if (mod.count <= 1 && mod_index[terminal_bag] != 0) {
        report("%s", t.no_mods);
        return false;
    }
    if (mod.count == 0 || mod_index[terminal_bag] != mod.count - 1) {
        report("%s", t.mod_mismatch);
        return false;
    }
    if (gen.count <= 1 && gen_index[terminal_bag] != 0) {
        report("%s", t.no_gens);
        return false;
    }
    if (gen.count == 0 || gen_index[terminal_bag] > gen.count - 1) {
        report("%s", t.gen_overrun);
        return false;
    }
    if (gen_index[terminal_bag] != gen.count - 1) {
        report("%s", t.gen_mismatch);
        return false;
    }

    const uint16_t link_oper = preset_level ? GEN_INSTRUMENT : GEN_SAMPLEID;
    const uint16_t other_link = preset_level ? GEN_SAMPLEID : GEN_INSTRUMENT;
    owners.resize(hdr.count - 1);
    for (size_t i = 0; i + 1 < hdr.count; i++) {
        Owner& owner = owners[i];
        std::memcpy(owner.name, hdr.at(i, hdr_size), 20);
        owner.name[20] = '\0';
        bool discarded = false;
        bool have_global = false;
        owner.zone.reserve(first_bag[i + 1] - first_bag[i]);
        for (size_t b = first_bag[i]; b < first_bag[i + 1]; b++) {
            sfont_zone_t zone;
            zone.mod_first = sf.mod.size();
            for (size_t m = mod_index[b]; m < mod_index[b + 1]; m++) {
                const uint8_t* r = mod.at(m, MOD_SIZE);
                sf.mod.push_back({le16(r), le16(r + 2), static_cast<int16_t>(le16(r + 4)), le16(r + 6), le16(r + 8)});
            }
            zone.mod_count = sf.mod.size() - zone.mod_first;
            zone.gen_first = sf.gen.size();
            int level = 0; // 0 nothing yet, 1 after keyRange, 2 after velRange, 3 other generators
            for (size_t g = gen_index[b]; g < gen_index[b + 1]; g++) {
                const uint8_t* r = gen.at(g, GEN_SIZE);
                sfont_gen_t entry{le16(r), static_cast<int16_t>(le16(r + 2))};
                if (zone.link >= 0) {
                    discarded = true; // nothing may follow the link generator
                    continue;
                }
                if (entry.oper == GEN_KEYRANGE) {
                    if (level != 0) {
                        discarded = true;
                        continue;
                    }
                    level = 1;
                } else if (entry.oper == GEN_VELRANGE) {
                    if (level > 1) {
                        discarded = true;
                        continue;
                    }
                    level = 2;
                } else if (entry.oper == link_oper) {
                    zone.link = static_cast<uint16_t>(entry.amount);
                    continue;
                } else {
                    level = 3;
                    if (entry.oper > GEN_LAST_STANDARD || entry.oper == other_link || reserved(entry.oper) ||
                        (preset_level && instrument_only(entry.oper))) {
                        discarded = true;
                        continue;
                    }
                }
                auto begin = sf.gen.begin() + static_cast<std::ptrdiff_t>(zone.gen_first);
                auto same =
                    std::find_if(begin, sf.gen.end(), [&](const sfont_gen_t& e) { return e.oper == entry.oper; });
                if (same != sf.gen.end()) {
                    *same = entry;
                } else {
                    sf.gen.push_back(entry);
                }
            }
            zone.gen_count = sf.gen.size() - zone.gen_first;
            if (zone.link < 0) {
                if (have_global) {
                    korvel_log(KORVEL_WARN, t.discard_global, owner.name);
                    continue;
                }
                have_global = true;
                if (!owner.zone.empty()) {
                    korvel_log(KORVEL_WARN, t.global_not_first, owner.name);
                    owner.zone.insert(owner.zone.begin(), zone);
                    continue;
                }
            }
            owner.zone.push_back(zone);
        }
        if (discarded) {
            korvel_log(KORVEL_WARN, t.invalid_gens, owner.name);
        }
    }
    return true;
}

bool parse_shdr(sfont_data_t& sf, const records_t& shdr)
{
    if (shdr.count == 0) {
        report("Sample header has invalid size");
        return false;
    }
    if (shdr.count == 1) {
        korvel_log(KORVEL_WARN, "File contains no samples");
    }
    sf.sample.resize(shdr.count - 1);
    for (size_t i = 0; i + 1 < shdr.count; i++) {
        const uint8_t* r = shdr.at(i, SHDR_SIZE);
        sfont_sample_t& s = sf.sample[i];
        std::memcpy(s.name, r, 20);
        s.name[20] = '\0';
        s.start = le32(r + 20);
        s.end = le32(r + 24);
        s.loopstart = le32(r + 28);
        s.loopend = le32(r + 32);
        s.samplerate = le32(r + 36);
        s.origpitch = r[40];
        s.pitchadj = static_cast<int8_t>(r[41]);
        s.sampletype = le16(r + 44);
    }
    return true;
}

bool parse_pdta(sf_file& file, sfont_data_t& sf, long size)
{
    records_t phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr;
    if (!read_pdta_chunk(file, size, PHDR_ID, PHDR_SIZE, phdr) || !read_pdta_chunk(file, size, PBAG_ID, BAG_SIZE, pbag) ||
        !read_pdta_chunk(file, size, PMOD_ID, MOD_SIZE, pmod) || !read_pdta_chunk(file, size, PGEN_ID, GEN_SIZE, pgen) ||
        !read_pdta_chunk(file, size, INST_ID, INST_SIZE, inst) || !read_pdta_chunk(file, size, IBAG_ID, BAG_SIZE, ibag) ||
        !read_pdta_chunk(file, size, IMOD_ID, MOD_SIZE, imod) || !read_pdta_chunk(file, size, IGEN_ID, GEN_SIZE, igen) ||
        !read_pdta_chunk(file, size, SHDR_ID, SHDR_SIZE, shdr)) {
        return false;
    }
    sf.gen.reserve(pgen.count + igen.count);
    sf.mod.reserve(pmod.count + imod.count);
    if (!parse_level(sf.preset, sf, phdr, PHDR_SIZE, 24, pbag, pmod, pgen, true, preset_texts) ||
        !parse_level(sf.inst, sf, inst, INST_SIZE, 20, ibag, imod, igen, false, inst_texts) || !parse_shdr(sf, shdr)) {
        return false;
    }
    for (size_t i = 0; i + 1 < phdr.count; i++) {
        const uint8_t* r = phdr.at(i, PHDR_SIZE);
        sfont_preset_t& p = sf.preset[i];
        p.prenum = le16(r + 20);
        p.bank = le16(r + 22);
        p.libr = le32(r + 26);
        p.genre = le32(r + 30);
        p.morph = le32(r + 34);
    }
    return true;
}

bool fixup_links(sfont_data_t& sf)
{
    for (const sfont_preset_t& p : sf.preset) {
        for (const sfont_zone_t& z : p.zone) {
            if (z.link >= static_cast<int>(sf.inst.size())) {
                report("Preset %03d %03d: Invalid instrument reference", p.bank, p.prenum);
                return false;
            }
        }
    }
    for (const sfont_inst_t& in : sf.inst) {
        for (const sfont_zone_t& z : in.zone) {
            if (z.link >= static_cast<int>(sf.sample.size())) {
                report("Instrument \"%s\": Invalid sample reference", in.name);
                return false;
            }
        }
    }
    return true;
}

void fixup_samples(sfont_data_t& sf)
{
    const int64_t points = sf.samplesize / 2;
    for (sfont_sample_t& s : sf.sample) {
        int64_t start = s.start;
        int64_t end = s.end;
        int64_t loopstart = s.loopstart;
        int64_t loopend = s.loopend;
        if (!(s.sampletype & SAMPLE_ROM) && (end > points || start > end - 4)) {
            korvel_log(KORVEL_WARN, "Sample '%s' start/end file positions are invalid, disabling and will not be saved",
                       s.name);
            s.start = s.end = s.loopstart = s.loopend = 0;
            s.disabled = true;
            continue;
        }
        if (loopend > end || loopstart >= loopend || loopstart <= start) {
            if (end - start >= 20) {
                loopstart = start + 8;
                loopend = end - 8;
            } else {
                loopstart = start + 1;
                loopend = end - 1;
            }
        }
        // ROM headers are not checked against the data; clamp so the relative positions stay representable.
        end = std::max(end, start + 1);
        loopstart = std::max(loopstart, start);
        loopend = std::max(loopend, start);
        s.end = static_cast<uint32_t>(end - start - 1);
        s.loopstart = static_cast<uint32_t>(loopstart - start);
        s.loopend = static_cast<uint32_t>(loopend - start);
    }
}

bool parse(sf_file& file, sfont_data_t& sf)
{
    long size = 0;
    if (!parse_riff_header(file)) {
        return false;
    }
    if (!read_list(file, INFO_ID, "Invalid ID found when expecting INFO chunk", size) || !parse_info(file, sf, size)) {
        return false;
    }
    if (!read_list(file, SDTA_ID, "Invalid ID found when expecting SAMPLE chunk", size) ||
        !parse_sdta(file, sf, size)) {
        return false;
    }
    if (!read_list(file, PDTA_ID, "Invalid ID found when expecting HYDRA chunk", size) ||
        !parse_pdta(file, sf, size)) {
        return false;
    }
    if (!fixup_links(sf)) {
        return false;
    }
    fixup_samples(sf);
    std::stable_sort(sf.preset.begin(), sf.preset.end(), [](const sfont_preset_t& a, const sfont_preset_t& b) {
        return a.bank != b.bank ? a.bank < b.bank : a.prenum < b.prenum;
    });
    return true;
}

} // namespace

std::unique_ptr<sfont_data_t> sfload_file(const char* fname)
{
    std::FILE* f = std::fopen(fname, "rb");
    if (f == nullptr) {
        korvel_log(KORVEL_ERR, "Unable to open file \"%s\"", fname);
        return nullptr;
    }
    sf_file file(f);
    auto sf = std::make_unique<sfont_data_t>();
    sf->fname = fname;
    if (std::fseek(f, 0, SEEK_END) != 0) {
        korvel_log(KORVEL_ERR, "Seek to end of file failed");
        return nullptr;
    }
    file.size = std::ftell(f);
    if (file.size < 0) {
        korvel_log(KORVEL_ERR, "Get end of file position failed");
        return nullptr;
    }
    if (file.size > KORVEL_BANK_FILE_LIMIT) {
        korvel_log(KORVEL_ERR, "File \"%s\" is larger than %ld bytes", fname, KORVEL_BANK_FILE_LIMIT);
        return nullptr;
    }
    std::rewind(f);
    if (!parse(file, *sf)) {
        return nullptr;
    }
    return sf;
}
