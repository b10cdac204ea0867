#include "sampler/src/formats/korvel_dls_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "sampler/src/sys/korvel_sys.h"

namespace korvel_dls {
namespace {

constexpr size_t kChunkHeader = 8;
constexpr size_t kSampleRecordSize = 20;  // cbSize .. cSampleLoops
constexpr size_t kLoopRecordSize = 16;
constexpr size_t kConnectionSize = 12;
constexpr uint16_t kFormatPcm = 1;

int fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
int fail(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return korvel_log(KORVEL_ERR, "DLS: %s", text);
}

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// A four-character code fit for a log line: anything unprintable becomes '?'.
struct Code {
  char text[5];
  explicit Code(const uint8_t* p) {
    for (int i = 0; i < 4; ++i) text[i] = p[i] >= 0x20 && p[i] < 0x7f ? static_cast<char>(p[i]) : '?';
    text[4] = '\0';
  }
};

struct Chunk {
  const uint8_t* header = nullptr;  // the chunk's identifier
  const uint8_t* data = nullptr;    // its content; for a LIST, what follows the list type
  size_t size = 0;                  // bytes of content
  bool list = false;

  bool is(const char* id) const { return !list && std::memcmp(header, id, 4) == 0; }
  bool isList(const char* type) const { return list && std::memcmp(header + kChunkHeader, type, 4) == 0; }
};

// Walks the chunks of one level; every chunk it hands out lies wholly inside the level.
class ChunkWalker {
 public:
  ChunkWalker(const uint8_t* begin, size_t size, const char* where) : pos_(begin), end_(begin + size), where_(where) {}

  // 1 with the next chunk, 0 at the end of the level, -1 (logged) for a chunk that does not fit.
  int next(Chunk& chunk) {
    size_t left = static_cast<size_t>(end_ - pos_);
    if (left == 0) return 0;
    if (left < kChunkHeader) return fail("%s: %zu stray bytes where a chunk header should be", where_, left);
    uint32_t size = u32(pos_ + 4);
    if (size > left - kChunkHeader)
      return fail("%s: chunk \"%s\" of %u bytes runs past the end (%zu bytes left)", where_, Code(pos_).text, size,
                  left - kChunkHeader);
    chunk.header = pos_;
    chunk.list = std::memcmp(pos_, "LIST", 4) == 0;
    chunk.data = pos_ + kChunkHeader;
    chunk.size = size;
    if (chunk.list) {
      if (size < 4) return fail("%s: list chunk of %u bytes has no room for its type", where_, size);
      chunk.data += 4;
      chunk.size -= 4;
    }
    pos_ += kChunkHeader + size;
    if ((size & 1) && pos_ < end_) ++pos_;  // word alignment
    return 1;
  }

 private:
  const uint8_t* pos_;
  const uint8_t* end_;
  const char* where_;
};

void readText(const Chunk& chunk, std::string& out) {
  const char* text = reinterpret_cast<const char*>(chunk.data);
  out.assign(text, strnlen(text, chunk.size));
}

int readInfoName(const Chunk& list, std::string& name, const char* where) {
  ChunkWalker walker(list.data, list.size, where);
  Chunk chunk;
  int result;
  while ((result = walker.next(chunk)) > 0)
    if (chunk.is("INAM")) readText(chunk, name);
  return result;
}

int readSampleSettings(const Chunk& chunk, SampleSettings& settings, const char* where) {
  if (chunk.size < kSampleRecordSize) return fail("%s: sample record of %zu bytes is too short", where, chunk.size);
  uint32_t recordSize = u32(chunk.data);
  if (recordSize < kSampleRecordSize || recordSize > chunk.size)
    return fail("%s: sample record size %u does not fit its chunk of %zu bytes", where, recordSize, chunk.size);
  settings.present = true;
  settings.unityNote = u16(chunk.data + 4);
  settings.fineTune = static_cast<int16_t>(u16(chunk.data + 6));
  settings.attenuation = static_cast<int32_t>(u32(chunk.data + 8));
  uint32_t loops = u32(chunk.data + 16);
  if (settings.unityNote > 127) return fail("%s: unity note %u is not a MIDI key", where, settings.unityNote);
  if (loops == 0) return 0;
  if (recordSize + static_cast<uint64_t>(loops) * kLoopRecordSize > chunk.size)
    return fail("%s: %u loop records do not fit the sample chunk of %zu bytes", where, loops, chunk.size);
  const uint8_t* loop = chunk.data + recordSize;
  if (u32(loop) < kLoopRecordSize) return fail("%s: loop record size %u is too short", where, u32(loop));
  settings.looped = true;
  settings.loop = {u32(loop + 4), u32(loop + 8), u32(loop + 12)};
  return 0;
}

// A loop must hold at least one frame and end inside the wave, or playback could never leave it or would read
// past the points.
int checkLoop(const SampleSettings& settings, uint32_t frames, const char* where) {
  if (!settings.looped) return 0;
  const Loop& loop = settings.loop;
  if (loop.length == 0 || static_cast<uint64_t>(loop.start) + loop.length > frames)
    return fail("%s: loop of %u frames at %u lies outside the wave's %u frames", where, loop.length, loop.start,
                frames);
  return 0;
}

int readConnections(const Chunk& list, std::vector<Connection>& out, const char* where) {
  ChunkWalker walker(list.data, list.size, where);
  Chunk chunk;
  int result;
  while ((result = walker.next(chunk)) > 0) {
    if (!chunk.is("art1") && !chunk.is("art2")) continue;
    if (chunk.size < 8) return fail("%s: articulation chunk of %zu bytes is too short", where, chunk.size);
    uint32_t headerSize = u32(chunk.data);
    uint32_t count = u32(chunk.data + 4);
    if (headerSize < 8 || headerSize + static_cast<uint64_t>(count) * kConnectionSize > chunk.size)
      return fail("%s: %u connection blocks do not fit the articulation chunk of %zu bytes", where, count,
                  chunk.size);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* block = chunk.data + headerSize + i * kConnectionSize;
      out.push_back({u16(block), u16(block + 2), u16(block + 4), u16(block + 6), static_cast<int32_t>(u32(block + 8))});
    }
  }
  return result;
}

int readRegion(const Chunk& list, Region& region, const char* where) {
  ChunkWalker walker(list.data, list.size, where);
  Chunk chunk;
  int result;
  bool header = false, link = false;
  while ((result = walker.next(chunk)) > 0) {
    if (chunk.is("rgnh")) {
      if (chunk.size < 12) return fail("%s: region header of %zu bytes is too short", where, chunk.size);
      region.keyLow = u16(chunk.data);
      region.keyHigh = u16(chunk.data + 2);
      region.velLow = u16(chunk.data + 4);
      region.velHigh = u16(chunk.data + 6);
      region.keyGroup = u16(chunk.data + 10);
      header = true;
    } else if (chunk.is("wsmp")) {
      if (readSampleSettings(chunk, region.sample, where) != 0) return -1;
    } else if (chunk.is("wlnk")) {
      if (chunk.size < 12) return fail("%s: wave link of %zu bytes is too short", where, chunk.size);
      region.tableIndex = u32(chunk.data + 8);
      link = true;
    } else if (chunk.isList("lart") || chunk.isList("lar2")) {
      region.articulated = true;
      if (readConnections(chunk, region.connections, where) != 0) return -1;
    }
  }
  if (result < 0) return -1;
  if (!header) return fail("%s: region without a region header", where);
  if (!link) return fail("%s: region without a wave link", where);
  // Level 1 banks may leave the velocity range empty: it then spans every velocity.
  if (region.velLow == 0 && region.velHigh == 0) region.velHigh = 127;
  if (region.keyLow > region.keyHigh || region.keyHigh > 127)
    return fail("%s: key range %u to %u is not a MIDI key range", where, region.keyLow, region.keyHigh);
  if (region.velLow > region.velHigh || region.velHigh > 127)
    return fail("%s: velocity range %u to %u is not a MIDI velocity range", where, region.velLow, region.velHigh);
  return 0;
}

int readInstrument(const Chunk& list, Instrument& instrument, size_t index) {
  char where[64];
  std::snprintf(where, sizeof where, "instrument %zu", index);
  ChunkWalker walker(list.data, list.size, where);
  Chunk chunk;
  int result;
  bool header = false;
  uint32_t regionCount = 0;
  while ((result = walker.next(chunk)) > 0) {
    if (chunk.is("insh")) {
      if (chunk.size < 12) return fail("%s: header of %zu bytes is too short", where, chunk.size);
      regionCount = u32(chunk.data);
      instrument.bank = u32(chunk.data + 4);
      instrument.program = u32(chunk.data + 8);
      header = true;
    } else if (chunk.isList("lrgn")) {
      ChunkWalker regions(chunk.data, chunk.size, where);
      Chunk region;
      while ((result = regions.next(region)) > 0) {
        if (!region.isList("rgn ") && !region.isList("rgn2")) continue;
        char regionWhere[96];
        std::snprintf(regionWhere, sizeof regionWhere, "%s region %zu", where, instrument.regions.size());
        instrument.regions.emplace_back();
        if (readRegion(region, instrument.regions.back(), regionWhere) != 0) return -1;
      }
      if (result < 0) return -1;
    } else if (chunk.isList("lart") || chunk.isList("lar2")) {
      instrument.articulated = true;
      if (readConnections(chunk, instrument.connections, where) != 0) return -1;
    } else if (chunk.isList("INFO")) {
      if (readInfoName(chunk, instrument.name, where) != 0) return -1;
    }
  }
  if (result < 0) return -1;
  if (!header) return fail("%s: no instrument header", where);
  if (regionCount != instrument.regions.size())
    return fail("%s: header announces %u regions, %zu found", where, regionCount, instrument.regions.size());
  if (instrument.program > 127) return fail("%s: program %u is not a MIDI program", where, instrument.program);
  if (instrument.bank & ~(kDrumBankFlag | 0x7f7fu))
    return fail("%s: bank 0x%08x is not a MIDI bank select", where, instrument.bank);
  return 0;
}

int readWave(const Chunk& list, Wave& wave, size_t index) {
  char where[64];
  std::snprintf(where, sizeof where, "wave %zu", index);
  ChunkWalker walker(list.data, list.size, where);
  Chunk chunk;
  int result;
  bool format = false;
  bool data = false;
  while ((result = walker.next(chunk)) > 0) {
    if (chunk.is("fmt ")) {
      if (chunk.size < 16) return fail("%s: format of %zu bytes is too short", where, chunk.size);
      uint16_t tag = u16(chunk.data);
      uint16_t channels = u16(chunk.data + 2);
      uint16_t align = u16(chunk.data + 12);
      uint16_t bits = u16(chunk.data + 14);
      wave.rate = u32(chunk.data + 4);
      if (tag != kFormatPcm || channels != 1 || bits != 16 || align != 2)
        return fail("%s: only mono 16-bit PCM is supported, not format %u with %u channels of %u bits", where, tag,
                    channels, bits);
      if (wave.rate == 0) return fail("%s: sample rate 0", where);
      format = true;
    } else if (chunk.is("data")) {
      if (chunk.size == 0 || chunk.size % 2 != 0)
        return fail("%s: data of %zu bytes is not a whole number of 16-bit frames", where, chunk.size);
      wave.points = chunk.data;
      wave.frames = static_cast<uint32_t>(chunk.size / 2);
      data = true;
    } else if (chunk.is("wsmp")) {
      if (readSampleSettings(chunk, wave.sample, where) != 0) return -1;
    } else if (chunk.isList("INFO")) {
      if (readInfoName(chunk, wave.name, where) != 0) return -1;
    }
  }
  if (result < 0) return -1;
  if (!format) return fail("%s: no format chunk", where);
  if (!data) return fail("%s: no data chunk", where);
  return checkLoop(wave.sample, wave.frames, where);
}

int readPoolTable(const Chunk& chunk, const File& file, std::vector<size_t>& waveOfCue) {
  if (chunk.size < 8) return fail("pool table of %zu bytes is too short", chunk.size);
  uint32_t headerSize = u32(chunk.data);
  uint32_t cues = u32(chunk.data + 4);
  if (headerSize < 8 || headerSize + static_cast<uint64_t>(cues) * 4 > chunk.size)
    return fail("%u pool table entries do not fit its chunk of %zu bytes", cues, chunk.size);
  for (uint32_t i = 0; i < cues; ++i) {
    uint32_t offset = u32(chunk.data + headerSize + 4 * i);
    size_t wave = 0;
    while (wave < file.waves.size() && file.waves[wave].poolOffset != offset) ++wave;
    if (wave == file.waves.size()) return fail("pool table entry %u points to offset %u, where no wave starts", i, offset);
    waveOfCue.push_back(wave);
  }
  return 0;
}

int readWavePool(const Chunk& list, File& file) {
  ChunkWalker walker(list.data, list.size, "wave pool");
  Chunk chunk;
  int result;
  while ((result = walker.next(chunk)) > 0) {
    if (!chunk.isList("wave")) continue;
    Wave wave{};
    wave.poolOffset = static_cast<size_t>(chunk.header - list.data);
    if (readWave(chunk, wave, file.waves.size()) != 0) return -1;
    file.waves.push_back(std::move(wave));
  }
  return result;
}

int readInstruments(const Chunk& list, File& file) {
  ChunkWalker walker(list.data, list.size, "instrument list");
  Chunk chunk;
  int result;
  while ((result = walker.next(chunk)) > 0) {
    if (!chunk.isList("ins ")) continue;
    file.instruments.emplace_back();
    if (readInstrument(chunk, file.instruments.back(), file.instruments.size() - 1) != 0) return -1;
  }
  return result;
}

// Every region must name a pool entry, and a region's own loop must fit the wave it plays.
int checkRegions(const File& file) {
  for (size_t i = 0; i < file.instruments.size(); ++i) {
    const Instrument& instrument = file.instruments[i];
    for (size_t r = 0; r < instrument.regions.size(); ++r) {
      const Region& region = instrument.regions[r];
      char where[96];
      std::snprintf(where, sizeof where, "instrument %zu region %zu", i, r);
      if (region.tableIndex >= file.waveOfCue.size())
        return fail("%s: pool index %u beyond the %zu entries of the pool table", where, region.tableIndex,
                    file.waveOfCue.size());
      if (checkLoop(region.sample, file.waves[file.waveOfCue[region.tableIndex]].frames, where) != 0) return -1;
    }
  }
  return 0;
}

}  // namespace

int parseFile(const uint8_t* data, size_t size, File& out) {
  if (size < 12) return fail("%zu bytes are too few for a RIFF header", size);
  if (std::memcmp(data, "RIFF", 4) != 0) return fail("not a RIFF file");
  if (std::memcmp(data + 8, "DLS ", 4) != 0) return fail("not a DLS file (RIFF form \"%s\")", Code(data + 8).text);
  uint32_t riffSize = u32(data + 4);
  if (riffSize < 4 || riffSize > size - kChunkHeader)
    return fail("RIFF size %u does not match the file's %zu bytes", riffSize, size);

  const Chunk* collection = nullptr;
  const Chunk* instruments = nullptr;
  const Chunk* poolTable = nullptr;
  const Chunk* wavePool = nullptr;
  Chunk chunks[4];
  ChunkWalker walker(data + 12, riffSize - 4, "file");
  Chunk chunk;
  int result;
  while ((result = walker.next(chunk)) > 0) {
    const Chunk** slot = nullptr;
    const char* what = nullptr;
    int index = 0;
    if (chunk.is("colh")) {
      slot = &collection, what = "collection header", index = 0;
    } else if (chunk.isList("lins")) {
      slot = &instruments, what = "instrument list", index = 1;
    } else if (chunk.is("ptbl")) {
      slot = &poolTable, what = "pool table", index = 2;
    } else if (chunk.isList("wvpl")) {
      slot = &wavePool, what = "wave pool", index = 3;
    } else {
      continue;
    }
    if (*slot) return fail("more than one %s", what);
    chunks[index] = chunk;
    *slot = &chunks[index];
  }
  if (result < 0) return -1;
  if (!collection) return fail("no collection header");
  if (!instruments) return fail("no instrument list");
  if (!poolTable) return fail("no pool table");
  if (!wavePool) return fail("no wave pool");
  if (collection->size < 4) return fail("collection header of %zu bytes is too short", collection->size);

  if (readWavePool(*wavePool, out) != 0) return -1;
  if (readPoolTable(*poolTable, out, out.waveOfCue) != 0) return -1;
  if (readInstruments(*instruments, out) != 0) return -1;
  uint32_t announced = u32(collection->data);
  if (announced != out.instruments.size())
    return fail("collection header announces %u instruments, %zu found", announced, out.instruments.size());
  return checkRegions(out);
}

}  // namespace korvel_dls
