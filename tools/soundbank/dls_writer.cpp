#include "tools/soundbank/dls_writer.h"

#include <cmath>
#include <fstream>

#include "tools/soundbank/sf2_writer.h"

namespace dls {

namespace {

constexpr uint32_t kDrumFlag = 0x80000000u;

class Out {
 public:
  std::vector<uint8_t> b;

  void u16(uint16_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xff));
    b.push_back(static_cast<uint8_t>(v >> 8));
  }
  void u32(uint32_t v) {
    u16(static_cast<uint16_t>(v & 0xffff));
    u16(static_cast<uint16_t>(v >> 16));
  }
  void id(const char* code) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(code[i]));
  }

  template <typename F>
  void chunk(const char* code, F body) {
    id(code);
    size_t at = b.size();
    u32(0);
    body();
    sf2::put_u32(b, at, static_cast<uint32_t>(b.size() - at - 4));
  }
  template <typename F>
  void list(const char* type, F body) {
    chunk("LIST", [&] {
      id(type);
      body();
    });
  }
  // A text chunk holding the text and a NUL, padded to an even size.
  void text(const char* code, const std::string& value) {
    chunk(code, [&] {
      b.insert(b.end(), value.begin(), value.end());
      b.push_back(0);
      if (b.size() % 2) b.push_back(0);
    });
  }
  void info(const std::string& name) {
    if (!name.empty()) list("INFO", [&] { text("INAM", name); });
  }
  void sampleRecord(const SampleRecord& s) {
    chunk("wsmp", [&] {
      u32(20);
      u16(s.unity_note);
      u16(static_cast<uint16_t>(s.fine_tune));
      u32(static_cast<uint32_t>(s.attenuation));
      u32(0);
      u32(s.loop ? 1 : 0);
      if (s.loop) {
        u32(16);
        u32(s.loop->type);
        u32(s.loop->start);
        u32(s.loop->length);
      }
    });
  }
  void articulation(const Articulation& a) {
    list(a.level2 ? "lar2" : "lart", [&] {
      chunk(a.level2 ? "art2" : "art1", [&] {
        u32(8);
        u32(static_cast<uint32_t>(a.connections.size()));
        for (const Connection& c : a.connections) {
          u16(c.source);
          u16(c.control);
          u16(c.destination);
          u16(c.transform);
          u32(static_cast<uint32_t>(c.scale));
        }
      });
    });
  }
};

void writeRegion(Out& o, const Region& r) {
  o.list(r.level2 ? "rgn2" : "rgn ", [&] {
    o.chunk("rgnh", [&] {
      o.u16(r.key_lo);
      o.u16(r.key_hi);
      o.u16(r.vel_lo);
      o.u16(r.vel_hi);
      o.u16(0);
      o.u16(r.key_group);
      if (r.level2) o.u16(0);
    });
    if (r.sample) o.sampleRecord(*r.sample);
    o.chunk("wlnk", [&] {
      o.u16(0);
      o.u16(0);
      o.u32(1);
      o.u32(r.pool_index);
    });
    if (r.articulation) o.articulation(*r.articulation);
  });
}

void writeInstrument(Out& o, const Instrument& ins) {
  o.list("ins ", [&] {
    o.chunk("insh", [&] {
      o.u32(static_cast<uint32_t>(ins.regions.size()));
      o.u32(ins.bank | (ins.drums ? kDrumFlag : 0));
      o.u32(ins.program);
    });
    o.list("lrgn", [&] {
      for (const Region& r : ins.regions) writeRegion(o, r);
    });
    if (ins.articulation) o.articulation(*ins.articulation);
    o.info(ins.name);
  });
}

// The wave pool's content (after its list type) and where each wave starts in it.
std::vector<uint8_t> wavePool(const std::vector<Wave>& waves, std::vector<uint32_t>& offsets) {
  Out o;
  for (const Wave& w : waves) {
    offsets.push_back(static_cast<uint32_t>(o.b.size()));
    o.list("wave", [&] {
      o.chunk("fmt ", [&] {
        uint16_t align = static_cast<uint16_t>(w.channels * w.bits / 8);
        o.u16(w.format_tag);
        o.u16(w.channels);
        o.u32(w.rate);
        o.u32(w.rate * align);
        o.u16(align);
        o.u16(w.bits);
      });
      if (w.sample) o.sampleRecord(*w.sample);
      o.chunk("data", [&] {
        for (int16_t p : w.points) o.u16(static_cast<uint16_t>(p));
      });
      o.info(w.name);
    });
  }
  return o.b;
}

}  // namespace

Connection connection(uint16_t source, uint16_t destination, double value) {
  return {source, 0, destination, 0, static_cast<int32_t>(std::lround(value * 65536.0))};
}

std::vector<uint8_t> Bank::bytes() const {
  std::vector<uint32_t> offsets;
  std::vector<uint8_t> pool = wavePool(waves, offsets);
  const std::vector<uint32_t>& cues = pool_table ? *pool_table : offsets;

  Out o;
  o.id("RIFF");
  o.u32(0);
  o.id("DLS ");
  o.chunk("colh", [&] { o.u32(static_cast<uint32_t>(instruments.size())); });
  o.list("lins", [&] {
    for (const Instrument& ins : instruments) writeInstrument(o, ins);
  });
  o.chunk("ptbl", [&] {
    o.u32(8);
    o.u32(static_cast<uint32_t>(cues.size()));
    for (uint32_t offset : cues) o.u32(offset);
  });
  o.list("wvpl", [&] { o.b.insert(o.b.end(), pool.begin(), pool.end()); });
  o.info(name);
  sf2::put_u32(o.b, 4, static_cast<uint32_t>(o.b.size() - 8));
  return o.b;
}

bool Bank::write(const std::string& path) const {
  std::vector<uint8_t> b = bytes();
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(f);
}

}  // namespace dls
