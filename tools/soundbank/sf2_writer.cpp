#include "tools/soundbank/sf2_writer.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

namespace sf2 {

namespace {

class Out {
public:
    void u8(uint8_t v) { b.push_back(v); }
    void u16(uint16_t v)
    {
        u8(v & 0xff);
        u8(v >> 8);
    }
    void u32(uint32_t v)
    {
        u16(v & 0xffff);
        u16(v >> 16);
    }
    void id(const std::string& s) { fixed(s, 4); }
    void fixed(const std::string& s, size_t n)
    {
        for (size_t i = 0; i < n; i++) {
            u8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
        }
    }
    void raw(const std::vector<uint8_t>& v) { b.insert(b.end(), v.begin(), v.end()); }

    // A chunk: identifier, size, then what body() writes.
    template <typename F>
    void chunk(const std::string& ident, F body)
    {
        id(ident);
        size_t at = b.size();
        u32(0);
        body();
        put_u32(b, at, static_cast<uint32_t>(b.size() - at - 4));
    }
    template <typename F>
    void list(const std::string& type, F body)
    {
        chunk("LIST", [&] {
            id(type);
            body();
        });
    }

    std::vector<uint8_t> b;
};

template <typename Owner>
void write_level(Out& o, const std::vector<Owner>& owners, const std::string& hdr, const std::string& bag,
                 const std::string& mod, const std::string& gen, uint16_t link_oper,
                 void (*header)(Out&, const Owner&, uint16_t bag_index), void (*terminal)(Out&, uint16_t bag_index))
{
    uint16_t zone_count = 0;
    o.chunk(hdr, [&] {
        for (const Owner& owner : owners) {
            header(o, owner, zone_count);
            zone_count = static_cast<uint16_t>(zone_count + owner.zones.size());
        }
        terminal(o, zone_count);
    });
    o.chunk(bag, [&] {
        uint16_t g = 0;
        uint16_t m = 0;
        for (const Owner& owner : owners) {
            for (const Zone& z : owner.zones) {
                o.u16(g);
                o.u16(m);
                g = static_cast<uint16_t>(g + z.gens.size() + (z.link ? 1 : 0));
                m = static_cast<uint16_t>(m + z.mods.size());
            }
        }
        o.u16(g);
        o.u16(m);
    });
    o.chunk(mod, [&] {
        for (const Owner& owner : owners) {
            for (const Zone& z : owner.zones) {
                for (const Modulator& md : z.mods) {
                    o.u16(md.src);
                    o.u16(md.dest);
                    o.u16(static_cast<uint16_t>(md.amount));
                    o.u16(md.amount_src);
                    o.u16(md.transform);
                }
            }
        }
        for (int i = 0; i < 5; i++) {
            o.u16(0);
        }
    });
    o.chunk(gen, [&] {
        for (const Owner& owner : owners) {
            for (const Zone& z : owner.zones) {
                for (const Generator& g : z.gens) {
                    o.u16(g.oper);
                    o.u16(g.amount);
                }
                if (z.link) {
                    o.u16(link_oper);
                    o.u16(*z.link);
                }
            }
        }
        o.u32(0);
    });
}

std::vector<int16_t> periodic(int period, int periods, double level, double (*shape)(double phase))
{
    std::vector<int16_t> out(static_cast<size_t>(period) * periods);
    for (size_t i = 0; i < out.size(); i++) {
        double phase = static_cast<double>(i % period) / period;
        out[i] = static_cast<int16_t>(std::lround(shape(phase) * level * 32767.0));
    }
    return out;
}

} // namespace

Zone& Zone::key_range(uint8_t lo, uint8_t hi)
{
    gens.push_back({KEY_RANGE, static_cast<uint16_t>(lo | (hi << 8))});
    return *this;
}

Zone& Zone::vel_range(uint8_t lo, uint8_t hi)
{
    gens.push_back({VEL_RANGE, static_cast<uint16_t>(lo | (hi << 8))});
    return *this;
}

Zone& Zone::gen(uint16_t oper, int16_t amount)
{
    gens.push_back({oper, static_cast<uint16_t>(amount)});
    return *this;
}

Zone& Zone::mod(const Modulator& m)
{
    mods.push_back(m);
    return *this;
}

std::vector<uint8_t> Bank::bytes() const
{
    Out o;
    o.id("RIFF");
    o.u32(0);
    o.id("sfbk");
    o.list("INFO", [&] {
        o.chunk("ifil", [&] {
            o.u16(version_major);
            o.u16(version_minor);
        });
        o.chunk("isng", [&] { o.fixed("EMU8000", 8); });
        o.chunk("INAM", [&] { o.fixed(name, (name.size() + 2) & ~size_t(1)); });
        for (const InfoChunk& c : extra_info) {
            o.chunk(c.id, [&] { o.raw(c.data); });
        }
    });
    o.list("sdta", [&] {
        o.chunk("smpl", [&] {
            for (const Sample& s : samples) {
                for (int16_t v : s.data) {
                    o.u16(static_cast<uint16_t>(v));
                }
                for (int i = 0; i < 46; i++) {
                    o.u16(0);
                }
            }
        });
    });
    o.list("pdta", [&] {
        write_level<Preset>(
            o, presets, "phdr", "pbag", "pmod", "pgen", INSTRUMENT,
            [](Out& out, const Preset& p, uint16_t bag) {
                out.fixed(p.name, 20);
                out.u16(p.program);
                out.u16(p.bank);
                out.u16(bag);
                out.u32(0);
                out.u32(0);
                out.u32(0);
            },
            [](Out& out, uint16_t bag) {
                out.fixed("EOP", 20);
                out.u16(0);
                out.u16(0);
                out.u16(bag);
                out.u32(0);
                out.u32(0);
                out.u32(0);
            });
        write_level<Instrument>(
            o, instruments, "inst", "ibag", "imod", "igen", SAMPLE_ID,
            [](Out& out, const Instrument& i, uint16_t bag) {
                out.fixed(i.name, 20);
                out.u16(bag);
            },
            [](Out& out, uint16_t bag) {
                out.fixed("EOI", 20);
                out.u16(bag);
            });
        o.chunk("shdr", [&] {
            uint32_t start = 0;
            for (const Sample& s : samples) {
                o.fixed(s.name, 20);
                o.u32(start);
                o.u32(start + static_cast<uint32_t>(s.data.size()));
                o.u32(start + s.loop_start);
                o.u32(start + s.loop_end);
                o.u32(s.rate);
                o.u8(s.root_key);
                o.u8(static_cast<uint8_t>(s.correction));
                o.u16(0);
                o.u16(s.type);
                start += static_cast<uint32_t>(s.data.size()) + 46;
            }
            o.fixed("EOS", 46);
        });
    });
    put_u32(o.b, 4, static_cast<uint32_t>(o.b.size() - 8));
    return o.b;
}

bool Bank::write(const std::string& path) const
{
    std::vector<uint8_t> b = bytes();
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(f);
}

std::vector<int16_t> sine_wave(int period, int periods, double level)
{
    return periodic(period, periods, level, [](double p) { return std::sin(2.0 * std::numbers::pi * p); });
}

std::vector<int16_t> square_wave(int period, int periods, double level)
{
    return periodic(period, periods, level, [](double p) { return p < 0.5 ? 1.0 : -1.0; });
}

std::vector<int16_t> saw_wave(int period, int periods, double level)
{
    return periodic(period, periods, level, [](double p) { return 2.0 * p - 1.0; });
}

std::vector<int16_t> click(int length, double level)
{
    std::vector<int16_t> out(static_cast<size_t>(length));
    uint32_t noise = 12345;
    for (int i = 0; i < length; i++) {
        noise = noise * 1103515245u + 12345u;
        double white = static_cast<double>((noise >> 16) & 0x7fff) / 16383.5 - 1.0;
        double decay = std::exp(-5.0 * i / length);
        out[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(white * decay * level * 32767.0));
    }
    return out;
}

Bank looped_sample_bank(Sample sample)
{
    Bank bank;
    Zone instrument_zone;
    instrument_zone.link = 0;
    instrument_zone.gen(SAMPLE_MODES, 1);
    Zone preset_zone;
    preset_zone.link = 0;
    bank.instruments.push_back({sample.name, {instrument_zone}});
    bank.presets.push_back({sample.name, 0, 0, {preset_zone}});
    bank.samples.push_back(std::move(sample));
    return bank;
}

Sample looped_sample(const std::string& name, std::vector<int16_t> data, int period, uint8_t root_key, uint32_t rate)
{
    Sample s;
    s.name = name;
    s.loop_start = static_cast<uint32_t>(period);
    s.loop_end = static_cast<uint32_t>(data.size());
    // The wave goes on past the loop for a few points: players keep loops clear of a sample's last points.
    for (int k = 0; k < LOOP_TAIL; k++) {
        data.push_back(data[static_cast<size_t>(period + k)]);
    }
    s.data = std::move(data);
    s.rate = rate;
    s.root_key = root_key;
    return s;
}

Sample one_shot_sample(const std::string& name, std::vector<int16_t> data, uint8_t root_key, uint32_t rate)
{
    Sample s;
    s.name = name;
    s.loop_start = 1;
    s.loop_end = static_cast<uint32_t>(data.size()) - 1;
    s.data = std::move(data);
    s.rate = rate;
    s.root_key = root_key;
    return s;
}

uint16_t mod_source(uint8_t index, bool cc, bool negative, bool bipolar, uint8_t type)
{
    return static_cast<uint16_t>((index & 127) | (cc ? 0x80 : 0) | (negative ? 0x100 : 0) | (bipolar ? 0x200 : 0) |
                                 (type << 10));
}

size_t find_chunk(const std::vector<uint8_t>& file, const char* id)
{
    // Walks the chunk tree: the RIFF form's chunks, and the chunks inside each LIST.
    size_t pos = 12;
    size_t list_end = file.size();
    while (pos + 8 <= list_end) {
        if (std::memcmp(&file[pos], id, 4) == 0) {
            return pos;
        }
        size_t size = read_u32(file, pos + 4);
        if (std::memcmp(&file[pos], "LIST", 4) == 0 && pos + 12 <= file.size()) {
            if (std::memcmp(&file[pos + 8], id, 4) == 0) {
                return pos;
            }
            pos += 12;
            continue;
        }
        pos += 8 + size;
    }
    return std::string::npos;
}

uint32_t read_u32(const std::vector<uint8_t>& file, size_t offset)
{
    return file[offset] | (file[offset + 1] << 8) | (file[offset + 2] << 16) |
           (static_cast<uint32_t>(file[offset + 3]) << 24);
}

void put_u16(std::vector<uint8_t>& file, size_t offset, uint16_t value)
{
    file[offset] = value & 0xff;
    file[offset + 1] = value >> 8;
}

void put_u32(std::vector<uint8_t>& file, size_t offset, uint32_t value)
{
    put_u16(file, offset, value & 0xffff);
    put_u16(file, offset + 2, value >> 16);
}

} // namespace sf2
