#include "sampler/src/formats/korvel_aiff.h"

#include "sampler/src/sys/korvel_file_limits.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

enum codec { CODEC_INT, CODEC_FLOAT, CODEC_ALAW, CODEC_ULAW, CODEC_UNSUPPORTED };

// A chunk found by the reader: where its data starts and how many of its bytes the file holds.
struct chunk_span {
    long offset = -1;
    uint32_t size = 0;
};

constexpr int TEXT_CHUNKS = 3;
constexpr uint32_t TEXT_IDS[TEXT_CHUNKS] = {AIFF_NAME, AIFF_AUTH, AIFF_ANNO};

} // namespace

struct _AIFF_Handle {
    FILE* stream;
    int flags;
    int state;
    int bytes_per_sample;
    // reading
    int channels;
    int bits;
    double rate;
    uint64_t frames;
    codec kind;
    int16_t g711[256];
    chunk_span ssnd; // the sound bytes themselves
    uint64_t read_pos; // bytes of sound data consumed
    chunk_span mark;
    int markers_read;
    chunk_span inst;
    chunk_span text[TEXT_CHUNKS];
    // writing
    uint32_t form_size;
    long comm_offset;
    long ssnd_offset;
    long mark_offset;
    uint32_t sound_bytes;
    int markers_written;
    unsigned char* work;
    size_t work_size;
    int smaller_requests;
};

namespace {

bool is_little_endian_machine()
{
    const uint16_t probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

void put_be16(unsigned char* p, uint16_t v)
{
    p[0] = static_cast<unsigned char>(v >> 8);
    p[1] = static_cast<unsigned char>(v);
}

void put_be32(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

uint16_t get_be16(const unsigned char* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t get_be32(const unsigned char* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t fourcc(const char* id)
{
    return get_be32(reinterpret_cast<const unsigned char*>(id));
}

bool write_bytes(AIFF_Handle* h, const void* data, size_t n)
{
    return std::fwrite(data, 1, n, h->stream) == n;
}

bool write_be16(AIFF_Handle* h, uint16_t v)
{
    unsigned char b[2];
    put_be16(b, v);
    return write_bytes(h, b, 2);
}

bool write_be32(AIFF_Handle* h, uint32_t v)
{
    unsigned char b[4];
    put_be32(b, v);
    return write_bytes(h, b, 4);
}

// A Pascal string as written: count byte, text, and a zero byte when the count is even. Its length on disk.
size_t pascal_length(const char* text)
{
    if (text == nullptr) {
        return 2;
    }
    size_t count = std::min<size_t>(std::strlen(text), 255);
    return 1 + count + (count % 2 == 0 ? 1 : 0);
}

bool write_pascal(AIFF_Handle* h, const char* text)
{
    unsigned char buf[258] = {};
    if (text == nullptr) {
        return write_bytes(h, buf, 2);
    }
    size_t count = std::min<size_t>(std::strlen(text), 255);
    buf[0] = static_cast<unsigned char>(count);
    std::memcpy(buf + 1, text, count);
    return write_bytes(h, buf, pascal_length(text));
}

bool writing(const AIFF_Handle* h)
{
    return h != nullptr && (h->flags & F_WRONLY) != 0;
}

bool reading(const AIFF_Handle* h)
{
    return h != nullptr && (h->flags & F_RDONLY) != 0;
}

// Seeks to offset, checks that the chunk identifier reads back there and leaves the stream after it.
bool check_chunk(AIFF_Handle* h, long offset, const char* id)
{
    unsigned char b[4];
    return std::fseek(h->stream, offset, SEEK_SET) == 0 && std::fread(b, 1, 4, h->stream) == 4 &&
           get_be32(b) == fourcc(id);
}

bool seek_end(AIFF_Handle* h)
{
    return std::fseek(h->stream, 0, SEEK_END) == 0;
}

// G.711 decoders (ITU-T G.711, sections 2 and 3).
int16_t alaw_decode(unsigned char a)
{
    a ^= 0x55;
    int t = (a & 0x0f) << 4;
    int seg = (a & 0x70) >> 4;
    if (seg == 0) {
        t += 8;
    } else {
        t = (t + 0x108) << (seg - 1);
    }
    return static_cast<int16_t>((a & 0x80) ? t : -t);
}

int16_t ulaw_decode(unsigned char u)
{
    u = static_cast<unsigned char>(~u);
    int t = ((u & 0x0f) << 3) + 0x84;
    t <<= (u & 0x70) >> 4;
    return static_cast<int16_t>((u & 0x80) ? (0x84 - t) : (t - 0x84));
}

bool read_at(AIFF_Handle* h, long offset, void* buf, size_t n)
{
    return std::fseek(h->stream, offset, SEEK_SET) == 0 && std::fread(buf, 1, n, h->stream) == n;
}

// Walks the chunks of a file opened for reading and fills the handle. False when it is no AIFF or AIFF-C file.
bool parse_file(AIFF_Handle* h)
{
    if (std::fseek(h->stream, 0, SEEK_END) != 0) {
        return false;
    }
    const long file_size = std::ftell(h->stream);
    if (file_size > KORVEL_AIFF_FILE_LIMIT) {
        return false;
    }
    unsigned char head[12];
    if (file_size < 12 || !read_at(h, 0, head, 12) || get_be32(head) != fourcc("FORM") || get_be32(head + 4) == 0) {
        return false;
    }
    const uint32_t form_type = get_be32(head + 8);
    if (form_type != fourcc("AIFF") && form_type != fourcc("AIFC")) {
        return false;
    }
    const bool aifc = form_type == fourcc("AIFC");
    const long end = std::min<long>(file_size, 8L + get_be32(head + 4));
    chunk_span comm;
    long pos = 12;
    while (pos + 8 <= end) {
        unsigned char ch[8];
        if (!read_at(h, pos, ch, 8)) {
            return false;
        }
        const uint32_t id = get_be32(ch);
        const uint32_t declared = get_be32(ch + 4);
        const long data = pos + 8;
        const uint32_t present = static_cast<uint32_t>(std::min<long>(declared, end - data));
        chunk_span span{data, present};
        if (id == fourcc("COMM")) {
            comm = span;
        } else if (id == fourcc("SSND")) {
            h->ssnd = span;
        } else if (id == fourcc("MARK") && h->mark.offset < 0) {
            h->mark = span;
        } else if (id == fourcc("INST")) {
            h->inst = span;
        }
        for (int i = 0; i < TEXT_CHUNKS; i++) {
            if (id == TEXT_IDS[i]) {
                h->text[i] = span;
            }
        }
        pos = data + static_cast<long>(declared) + (declared & 1);
    }
    unsigned char c[40] = {};
    if (comm.offset < 0 || comm.size < 18 || !read_at(h, comm.offset, c, std::min<uint32_t>(comm.size, 26))) {
        return false;
    }
    h->channels = get_be16(c);
    h->frames = get_be32(c + 2);
    h->bits = get_be16(c + 6);
    h->rate = korvel_aiff_read_extended(c + 8);
    h->kind = CODEC_INT;
    if (aifc && comm.size >= 22) {
        const uint32_t type = get_be32(c + 18);
        if (type == fourcc("NONE") || type == fourcc("lpcm") || type == fourcc("twos")) {
            h->kind = CODEC_INT;
        } else if (type == fourcc("sowt")) {
            h->flags |= LPCM_LTE_ENDIAN;
        } else if (type == fourcc("fl32") || type == fourcc("FL32")) {
            h->kind = CODEC_FLOAT;
            h->bits = 32;
        } else if (type == fourcc("alaw") || type == fourcc("ALAW")) {
            h->kind = CODEC_ALAW;
        } else if (type == fourcc("ulaw") || type == fourcc("ULAW")) {
            h->kind = CODEC_ULAW;
        } else {
            h->kind = CODEC_UNSUPPORTED;
        }
    }
    if (h->kind == CODEC_ALAW || h->kind == CODEC_ULAW) {
        for (int i = 0; i < 256; i++) {
            h->g711[i] = h->kind == CODEC_ALAW ? alaw_decode(static_cast<unsigned char>(i))
                                               : ulaw_decode(static_cast<unsigned char>(i));
        }
        h->bits = 16;
        h->bytes_per_sample = 1; // on disk; delivered as 16-bit
    } else if (h->bits < 1 || h->bits > 32) {
        h->kind = CODEC_UNSUPPORTED;
        h->bytes_per_sample = 1;
    } else {
        h->bytes_per_sample = (h->bits + 7) / 8;
    }
    bool little = (h->flags & LPCM_LTE_ENDIAN) != 0;
    if (little != is_little_endian_machine()) {
        h->flags |= LPCM_NEED_SWAP;
    }
    // The sound bytes follow the offset and block size fields; the frame count never exceeds them.
    uint64_t sound = 0;
    if (h->ssnd.offset >= 0 && h->ssnd.size >= 8) {
        unsigned char ob[4];
        if (!read_at(h, h->ssnd.offset, ob, 4)) {
            return false;
        }
        const uint64_t skip = 8ull + get_be32(ob);
        sound = skip <= h->ssnd.size ? h->ssnd.size - skip : 0;
        h->ssnd.offset += static_cast<long>(std::min<uint64_t>(skip, h->ssnd.size));
        h->ssnd.size = static_cast<uint32_t>(sound);
    } else {
        h->ssnd = chunk_span{};
    }
    const uint64_t frame_bytes = static_cast<uint64_t>(h->channels) * h->bytes_per_sample;
    const uint64_t held = frame_bytes != 0 ? sound / frame_bytes : 0;
    h->frames = std::min<uint64_t>(h->frames, held);
    return true;
}

AIFF_Handle* open_for_writing(const char* path, int mode)
{
    auto* h = new (std::nothrow) AIFF_Handle{};
    if (h == nullptr) {
        return nullptr;
    }
    h->stream = std::fopen(path, "w+b");
    if (h->stream == nullptr) {
        delete h;
        return nullptr;
    }
    const bool aifc = (mode & F_AIFC) != 0;
    h->flags = F_WRONLY | (aifc ? F_AIFC : 0);
    if (aifc && (mode & (LPCM_NEED_SWAP | LPCM_LTE_ENDIAN)) != 0) {
        h->flags |= mode & (LPCM_NEED_SWAP | LPCM_LTE_ENDIAN);
    } else if (is_little_endian_machine()) {
        h->flags |= LPCM_NEED_SWAP; // big-endian data on a little-endian machine
    }
    bool ok = write_bytes(h, "FORM", 4) && write_be32(h, 4) && write_bytes(h, aifc ? "AIFC" : "AIFF", 4);
    if (ok && aifc) {
        const unsigned char stamp[4] = {0xA2, 0x80, 0x51, 0x40};
        ok = write_bytes(h, "FVER", 4) && write_be32(h, 4) && write_bytes(h, stamp, 4);
    }
    if (!ok) {
        std::fclose(h->stream);
        delete h;
        return nullptr;
    }
    h->form_size = aifc ? 16 : 4;
    h->state = AIFF_STATE_CREATED;
    h->comm_offset = h->ssnd_offset = h->mark_offset = -1;
    return h;
}

const char* compression_name(bool little)
{
    return little ? "Signed integer (little-endian) linear PCM" : "Signed integer (big-endian) linear PCM";
}

// Makes the work buffer fit a request: a larger request replaces it, and so does the third smaller one.
bool fit_work_buffer(AIFF_Handle* h, size_t n)
{
    if (n > h->work_size || (n < h->work_size && ++h->smaller_requests >= 3)) {
        auto* grown = static_cast<unsigned char*>(std::malloc(n));
        if (grown == nullptr) {
            return false;
        }
        std::free(h->work);
        h->work = grown;
        h->work_size = n;
        h->smaller_requests = 0;
    }
    return true;
}

void swap_samples(unsigned char* data, size_t n, int width)
{
    for (size_t i = 0; i + static_cast<size_t>(width) <= n; i += static_cast<size_t>(width)) {
        for (int a = 0, b = width - 1; a < b; a++, b--) {
            std::swap(data[i + a], data[i + b]);
        }
    }
}

bool write_text_chunk(AIFF_Handle* h, uint32_t id, const char* text, size_t length)
{
    unsigned char hdr[8];
    put_be32(hdr, id);
    put_be32(hdr + 4, static_cast<uint32_t>(length));
    const unsigned char pad = 0;
    if (!write_bytes(h, hdr, 8) || !write_bytes(h, text, length) || ((length & 1) && !write_bytes(h, &pad, 1))) {
        return false;
    }
    h->form_size += static_cast<uint32_t>(8 + length + (length & 1));
    return true;
}

// One sample of the sound data as a signed 32-bit value with its most significant bits at the top.
int32_t sample_at(const AIFF_Handle* h, const unsigned char* p)
{
    if (h->kind == CODEC_ALAW || h->kind == CODEC_ULAW) {
        return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(h->g711[p[0]])) << 16);
    }
    uint32_t v = 0;
    const int n = h->bytes_per_sample;
    const bool little = (h->flags & LPCM_LTE_ENDIAN) != 0;
    for (int i = 0; i < n; i++) {
        v = (v << 8) | p[little ? n - 1 - i : i];
    }
    return static_cast<int32_t>(v << (32 - 8 * n));
}

// Reads up to count whole samples of sound data into scratch; the samples read.
size_t read_raw(AIFF_Handle* h, unsigned char* scratch, size_t count)
{
    const uint64_t left = h->ssnd.size > h->read_pos ? h->ssnd.size - h->read_pos : 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, left / h->bytes_per_sample));
    if (n == 0 || std::fseek(h->stream, h->ssnd.offset + static_cast<long>(h->read_pos), SEEK_SET) != 0) {
        return 0;
    }
    const size_t got = std::fread(scratch, static_cast<size_t>(h->bytes_per_sample), n, h->stream);
    h->read_pos += got * static_cast<size_t>(h->bytes_per_sample);
    return got;
}

// Reads up to count samples in blocks and hands each to put(index, pointer to the raw sample).
template <typename Put> size_t read_each(AIFF_Handle* h, size_t count, Put put)
{
    if (h->kind == CODEC_UNSUPPORTED || h->ssnd.offset < 0) {
        return 0;
    }
    unsigned char scratch[4096];
    const size_t per = sizeof scratch / static_cast<size_t>(h->bytes_per_sample);
    size_t done = 0;
    while (done < count) {
        const size_t got = read_raw(h, scratch, std::min(per, count - done));
        for (size_t i = 0; i < got; i++) {
            put(done + i, scratch + i * static_cast<size_t>(h->bytes_per_sample));
        }
        done += got;
        if (got == 0) {
            break;
        }
    }
    return done;
}

} // namespace

extern "C" {

void korvel_aiff_write_extended(double v, unsigned char out[10])
{
    std::memset(out, 0, 10);
    if (v == 0.0) {
        return;
    }
    int sign = 0;
    if (v < 0) {
        sign = 0x8000;
        v = -v;
    }
    int e = 0;
    double f = std::frexp(v, &e);
    int expon = e + 16382;
    uint32_t hi = 0;
    uint32_t lo = 0;
    if (std::isnan(v) || expon > 32766 + 1 || e > 16384) {
        expon = sign | 0x7FFF;
    } else {
        if (expon < 0) {
            f = std::ldexp(f, expon);
            expon = 0;
        }
        expon |= sign;
        f = std::ldexp(f, 32);
        double whole = std::floor(f);
        hi = static_cast<uint32_t>(whole);
        f = std::ldexp(f - whole, 32);
        lo = static_cast<uint32_t>(std::floor(f));
    }
    put_be16(out, static_cast<uint16_t>(expon));
    put_be32(out + 2, hi);
    put_be32(out + 6, lo);
}

double korvel_aiff_read_extended(const unsigned char in[10])
{
    int expon = ((in[0] & 0x7F) << 8) | in[1];
    const uint32_t hi = get_be32(in + 2);
    const uint32_t lo = get_be32(in + 6);
    double f = 0;
    if (expon != 0 || hi != 0 || lo != 0) {
        if (expon == 0x7FFF) {
            f = HUGE_VAL;
        } else {
            expon -= 16383;
            f = std::ldexp(static_cast<double>(hi), expon - 31) + std::ldexp(static_cast<double>(lo), expon - 63);
        }
    }
    return (in[0] & 0x80) ? -f : f;
}

AIFF_Handle* AIFF_OpenFile(const char* path, int mode)
{
    if (path == nullptr) {
        return nullptr;
    }
    if (mode & F_WRONLY) {
        return open_for_writing(path, mode);
    }
    if (!(mode & F_RDONLY)) {
        return nullptr;
    }
    auto* h = new (std::nothrow) AIFF_Handle{};
    if (h == nullptr) {
        return nullptr;
    }
    h->stream = std::fopen(path, "rb");
    h->flags = F_RDONLY;
    if (h->stream == nullptr || !parse_file(h)) {
        if (h->stream != nullptr) {
            std::fclose(h->stream);
        }
        delete h;
        return nullptr;
    }
    return h;
}

int AIFF_CloseFile(AIFF_Handle* h)
{
    if (h == nullptr) {
        return -1;
    }
    int result = 1;
    if (writing(h)) {
        result = h->state == AIFF_STATE_DONE ? 1 : 2;
        unsigned char head[12];
        if (!read_at(h, 0, head, 12) || get_be32(head) != fourcc("FORM") || std::fseek(h->stream, 4, SEEK_SET) != 0 ||
            !write_be32(h, h->form_size)) {
            result = -1;
        }
    }
    if (std::fclose(h->stream) != 0 && writing(h)) {
        result = -1;
    }
    std::free(h->work);
    delete h;
    return result;
}

int AIFF_SetAudioFormat(AIFF_Handle* h, int channels, double rate, int bits)
{
    if (!writing(h)) {
        return -1;
    }
    if (h->state != AIFF_STATE_CREATED || channels < 0 || channels > 0xFFFF || bits < 1 || bits > 32) {
        return 0;
    }
    const bool aifc = (h->flags & F_AIFC) != 0;
    const bool little = (h->flags & LPCM_LTE_ENDIAN) != 0;
    const char* cname = compression_name(little);
    const uint32_t size = aifc ? static_cast<uint32_t>(22 + pascal_length(cname)) : 18;
    const long offset = std::ftell(h->stream);
    unsigned char ext[10];
    korvel_aiff_write_extended(rate, ext);
    bool ok = write_bytes(h, "COMM", 4) && write_be32(h, size) && write_be16(h, static_cast<uint16_t>(channels)) &&
              write_be32(h, 0) && write_be16(h, static_cast<uint16_t>(bits)) && write_bytes(h, ext, 10);
    if (ok && aifc) {
        ok = write_bytes(h, little ? "sowt" : "NONE", 4) && write_pascal(h, cname);
    }
    if (!ok) {
        return -1;
    }
    h->comm_offset = offset;
    h->form_size += 8 + size;
    h->bytes_per_sample = (bits + 7) / 8;
    h->state = AIFF_STATE_FORMAT;
    return 1;
}

int AIFF_StartWritingSamples(AIFF_Handle* h)
{
    if (!writing(h)) {
        return -1;
    }
    if (h->state != AIFF_STATE_FORMAT) {
        return 0;
    }
    const long offset = std::ftell(h->stream);
    if (!(write_bytes(h, "SSND", 4) && write_be32(h, 8) && write_be32(h, 0) && write_be32(h, 0))) {
        return -1;
    }
    h->ssnd_offset = offset;
    h->form_size += 16;
    h->sound_bytes = 0;
    h->state = AIFF_STATE_SAMPLES;
    return 1;
}

int AIFF_WriteSamples(AIFF_Handle* h, const void* samples, size_t byte_count)
{
    if (!writing(h)) {
        return -1;
    }
    if (h->state != AIFF_STATE_SAMPLES || byte_count % static_cast<size_t>(h->bytes_per_sample) != 0 ||
        (samples == nullptr && byte_count > 0)) {
        return 0;
    }
    if (byte_count == 0) {
        return 1;
    }
    if (!fit_work_buffer(h, byte_count)) {
        return -1;
    }
    std::memcpy(h->work, samples, byte_count);
    if (h->flags & LPCM_NEED_SWAP) {
        swap_samples(h->work, byte_count, h->bytes_per_sample);
    }
    if (!write_bytes(h, h->work, byte_count)) {
        return -1;
    }
    h->sound_bytes += static_cast<uint32_t>(byte_count);
    h->form_size += static_cast<uint32_t>(byte_count);
    return 1;
}

int AIFF_WriteSamples32Bit(AIFF_Handle* h, const int32_t* samples, int count)
{
    if (!writing(h) || h->state != AIFF_STATE_SAMPLES || count < 0 || (samples == nullptr && count > 0)) {
        return -1;
    }
    const int width = h->bytes_per_sample;
    auto* narrow = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(count) * width + 1));
    if (narrow == nullptr) {
        return -1;
    }
    const bool little = is_little_endian_machine();
    for (int i = 0; i < count; i++) {
        const uint32_t v = static_cast<uint32_t>(samples[i]) >> (32 - 8 * width);
        for (int b = 0; b < width; b++) {
            const int shift = little ? 8 * b : 8 * (width - 1 - b);
            narrow[static_cast<size_t>(i) * width + b] = static_cast<unsigned char>(v >> shift);
        }
    }
    const int result = AIFF_WriteSamples(h, narrow, static_cast<size_t>(count) * width);
    std::free(narrow);
    return result;
}

int AIFF_EndWritingSamples(AIFF_Handle* h)
{
    if (!writing(h)) {
        return -1;
    }
    if (h->state != AIFF_STATE_SAMPLES) {
        return 0;
    }
    std::free(h->work);
    h->work = nullptr;
    h->work_size = 0;
    h->smaller_requests = 0;
    if (h->sound_bytes & 1) {
        const unsigned char pad = 0;
        if (!write_bytes(h, &pad, 1)) {
            return -1;
        }
        h->form_size += 1;
    }
    unsigned char chan[2];
    if (!check_chunk(h, h->ssnd_offset, "SSND") || !write_be32(h, 8 + h->sound_bytes) ||
        !check_chunk(h, h->comm_offset, "COMM") || std::fseek(h->stream, h->comm_offset + 8, SEEK_SET) != 0 ||
        std::fread(chan, 1, 2, h->stream) != 2) {
        return -1;
    }
    const uint32_t channels = get_be16(chan);
    const uint32_t frames = channels != 0 ? h->sound_bytes / channels / static_cast<uint32_t>(h->bytes_per_sample) : 0;
    if (std::fseek(h->stream, h->comm_offset + 10, SEEK_SET) != 0 || !write_be32(h, frames) || !seek_end(h)) {
        return -1;
    }
    h->state = AIFF_STATE_DONE;
    return 1;
}

int AIFF_StartWritingMarkers(AIFF_Handle* h)
{
    if (!writing(h) || h->state != AIFF_STATE_DONE) {
        return -1;
    }
    const long offset = std::ftell(h->stream);
    if (!(write_bytes(h, "MARK", 4) && write_be32(h, 2) && write_be16(h, 0))) {
        return -1;
    }
    h->mark_offset = offset;
    h->markers_written = 0;
    h->form_size += 10;
    h->state = AIFF_STATE_MARKERS;
    return 1;
}

int AIFF_WriteMarker(AIFF_Handle* h, uint64_t position, const char* name)
{
    if (!writing(h) || h->state != AIFF_STATE_MARKERS) {
        return -1;
    }
    if (h->markers_written >= 65535) {
        return 0;
    }
    if (!(write_be16(h, static_cast<uint16_t>(h->markers_written + 1)) &&
          write_be32(h, static_cast<uint32_t>(position)) && write_pascal(h, name))) {
        return -1;
    }
    h->markers_written++;
    h->form_size += static_cast<uint32_t>(6 + pascal_length(name));
    return 1;
}

int AIFF_EndWritingMarkers(AIFF_Handle* h)
{
    if (!writing(h) || h->state != AIFF_STATE_MARKERS) {
        return -1;
    }
    const long end = std::ftell(h->stream);
    if (end < 0 || !check_chunk(h, h->mark_offset, "MARK") ||
        !write_be32(h, static_cast<uint32_t>(end - h->mark_offset - 8)) ||
        !write_be16(h, static_cast<uint16_t>(h->markers_written)) || !seek_end(h)) {
        return -1;
    }
    h->state = AIFF_STATE_DONE;
    return 1;
}

int AIFF_SetAttribute(AIFF_Handle* h, int id, const char* text)
{
    if (!writing(h)) {
        return -1;
    }
    bool known = false;
    for (uint32_t t : TEXT_IDS) {
        known = known || t == static_cast<uint32_t>(id);
    }
    if (!known || text == nullptr || h->state == AIFF_STATE_SAMPLES || h->state == AIFF_STATE_MARKERS) {
        return 0;
    }
    return write_text_chunk(h, static_cast<uint32_t>(id), text, std::strlen(text)) ? 1 : -1;
}

int AIFF_CloneAttributes(AIFF_Handle* to, AIFF_Handle* from, int with_markers)
{
    if (!writing(to) || !reading(from)) {
        return -1;
    }
    for (uint32_t id : TEXT_IDS) {
        char* text = AIFF_GetAttribute(from, static_cast<int>(id));
        if (text != nullptr) {
            const int r = AIFF_SetAttribute(to, static_cast<int>(id), text);
            std::free(text);
            if (r < 0) {
                return -1;
            }
        }
    }
    if (!with_markers || to->state != AIFF_STATE_DONE || from->mark.offset < 0) {
        return 1;
    }
    if (AIFF_StartWritingMarkers(to) < 0) {
        return -1;
    }
    const int saved = from->markers_read;
    from->markers_read = 0;
    int id = 0;
    uint64_t position = 0;
    char* name = nullptr;
    int result = 1;
    while (result == 1 && AIFF_ReadMarker(from, &id, &position, &name) == 1) {
        result = AIFF_WriteMarker(to, position, name) == 1 ? 1 : -1;
        std::free(name);
        name = nullptr;
    }
    from->markers_read = saved;
    return AIFF_EndWritingMarkers(to) == 1 ? result : -1;
}

int AIFF_GetAudioFormat(AIFF_Handle* h, uint64_t* frames, int* channels, double* rate, int* bits,
                        int* bytes_per_sample)
{
    if (!reading(h)) {
        return -1;
    }
    if (frames != nullptr) {
        *frames = h->frames;
    }
    if (channels != nullptr) {
        *channels = h->channels;
    }
    if (rate != nullptr) {
        *rate = h->rate;
    }
    if (bits != nullptr) {
        *bits = h->bits;
    }
    if (bytes_per_sample != nullptr) {
        *bytes_per_sample = (h->kind == CODEC_ALAW || h->kind == CODEC_ULAW) ? 2 : h->bytes_per_sample;
    }
    return 1;
}

int AIFF_ReadSamples(AIFF_Handle* h, void* buffer, size_t byte_count)
{
    if (!reading(h) || buffer == nullptr) {
        return -1;
    }
    const bool g711 = h->kind == CODEC_ALAW || h->kind == CODEC_ULAW;
    const int out_width = g711 ? 2 : h->bytes_per_sample;
    auto* out = static_cast<unsigned char*>(buffer);
    const size_t got = read_each(h, byte_count / static_cast<size_t>(out_width), [&](size_t i, const unsigned char* p) {
        const uint32_t v = static_cast<uint32_t>(sample_at(h, p)) >> (32 - 8 * out_width);
        for (int b = 0; b < out_width; b++) {
            const int shift = is_little_endian_machine() ? 8 * b : 8 * (out_width - 1 - b);
            out[i * static_cast<size_t>(out_width) + b] = static_cast<unsigned char>(v >> shift);
        }
    });
    return static_cast<int>(got * static_cast<size_t>(out_width));
}

int AIFF_ReadSamplesFloat(AIFF_Handle* h, float* buffer, int count)
{
    if (!reading(h) || buffer == nullptr || count < 0) {
        return -1;
    }
    const int bits = h->kind == CODEC_INT ? h->bytes_per_sample * 8 : 16;
    const double scale = std::ldexp(1.0, -(bits - 1));
    const size_t got = read_each(h, static_cast<size_t>(count), [&](size_t i, const unsigned char* p) {
        const int32_t v = sample_at(h, p);
        if (h->kind == CODEC_FLOAT) {
            float f;
            const uint32_t u = static_cast<uint32_t>(v);
            std::memcpy(&f, &u, 4);
            buffer[i] = f;
        } else {
            buffer[i] = static_cast<float>((v >> (32 - bits)) * scale);
        }
    });
    return static_cast<int>(got);
}

int AIFF_ReadSamples32Bit(AIFF_Handle* h, int32_t* buffer, int count)
{
    if (!reading(h) || buffer == nullptr || count < 0 || h->kind == CODEC_FLOAT) {
        return -1;
    }
    const size_t got =
        read_each(h, static_cast<size_t>(count), [&](size_t i, const unsigned char* p) { buffer[i] = sample_at(h, p); });
    return static_cast<int>(got);
}

int AIFF_Seek(AIFF_Handle* h, uint64_t frame)
{
    if (!reading(h)) {
        return -1;
    }
    frame = std::min(frame, h->frames);
    h->read_pos = frame * static_cast<uint64_t>(h->channels) * static_cast<uint64_t>(h->bytes_per_sample);
    return 1;
}

int AIFF_ReadMarker(AIFF_Handle* h, int* id, uint64_t* position, char** name)
{
    if (!reading(h)) {
        return -1;
    }
    if (h->mark.offset < 0 || h->mark.size < 2) {
        return 0;
    }
    unsigned char count[2];
    if (!read_at(h, h->mark.offset, count, 2) || h->markers_read >= get_be16(count)) {
        return 0;
    }
    long pos = h->mark.offset + 2;
    const long end = h->mark.offset + static_cast<long>(h->mark.size);
    for (int i = 0;; i++) {
        unsigned char rec[7];
        if (pos + 7 > end || !read_at(h, pos, rec, 7)) {
            return 0;
        }
        const long text_length = rec[6];
        const long record = 7 + text_length + ((text_length + 1) % 2);
        if (pos + 7 + text_length > end) {
            return 0;
        }
        if (i == h->markers_read) {
            if (id != nullptr) {
                *id = get_be16(rec);
            }
            if (position != nullptr) {
                *position = get_be32(rec + 2);
            }
            if (name != nullptr) {
                *name = static_cast<char*>(std::calloc(static_cast<size_t>(text_length) + 1, 1));
                if (*name == nullptr || (text_length > 0 && std::fread(*name, 1, static_cast<size_t>(text_length),
                                                                        h->stream) != static_cast<size_t>(text_length))) {
                    std::free(*name);
                    *name = nullptr;
                    return -1;
                }
            }
            h->markers_read++;
            return 1;
        }
        pos += record;
    }
}

int AIFF_GetInstrumentData(AIFF_Handle* h, AIFF_InstrumentData* out)
{
    if (!reading(h) || out == nullptr) {
        return -1;
    }
    unsigned char d[20];
    if (h->inst.offset < 0 || h->inst.size != 20 || !read_at(h, h->inst.offset, d, 20)) {
        return 0;
    }
    out->baseNote = static_cast<int8_t>(d[0]);
    out->detune = static_cast<int8_t>(d[1]);
    out->lowNote = static_cast<int8_t>(d[2]);
    out->highNote = static_cast<int8_t>(d[3]);
    out->lowVelocity = static_cast<int8_t>(d[4]);
    out->highVelocity = static_cast<int8_t>(d[5]);
    out->gain = static_cast<int16_t>(get_be16(d + 6));
    // Each loop's marker ids become frame positions; a missing marker gives 0.
    auto position_of = [h](int wanted) {
        const int saved = h->markers_read;
        h->markers_read = 0;
        int id = 0;
        uint64_t position = 0;
        uint64_t found = 0;
        while (AIFF_ReadMarker(h, &id, &position, nullptr) == 1) {
            if (id == wanted) {
                found = position;
                break;
            }
        }
        h->markers_read = saved;
        return found;
    };
    out->sustainLoopPlayMode = static_cast<int16_t>(get_be16(d + 8));
    out->sustainLoopBegin = position_of(get_be16(d + 10));
    out->sustainLoopEnd = position_of(get_be16(d + 12));
    out->releaseLoopPlayMode = static_cast<int16_t>(get_be16(d + 14));
    out->releaseLoopBegin = position_of(get_be16(d + 16));
    out->releaseLoopEnd = position_of(get_be16(d + 18));
    return 1;
}

char* AIFF_GetAttribute(AIFF_Handle* h, int id)
{
    if (!reading(h)) {
        return nullptr;
    }
    for (int i = 0; i < TEXT_CHUNKS; i++) {
        if (TEXT_IDS[i] == static_cast<uint32_t>(id) && h->text[i].offset >= 0) {
            auto* text = static_cast<char*>(std::calloc(static_cast<size_t>(h->text[i].size) + 1, 1));
            if (text != nullptr && !read_at(h, h->text[i].offset, text, h->text[i].size)) {
                std::free(text);
                return nullptr;
            }
            return text;
        }
    }
    return nullptr;
}

void AIFF_AssertionFailed(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s: assertion at %s:%d failed\n", what, file, line);
    std::fflush(stderr);
    std::abort();
}

} // extern "C"
