// Writes DLS files from a plain description: waves from synthesised points, instruments with regions,
// sample records and articulation connections. Everything is written as given (counts, indices, formats), so tests
// can describe malformed content too. Every chunk has an even size, so no pad bytes appear and sf2::find_chunk can
// walk the result.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dls {

struct Connection {
  uint16_t source = 0;
  uint16_t control = 0;
  uint16_t destination = 0;
  uint16_t transform = 0;
  int32_t scale = 0;  // 16.16 fixed point
};

// A connection without control whose scale is value x 65536.
Connection connection(uint16_t source, uint16_t destination, double value);

struct Loop {
  uint32_t type = 0;  // 0 forward, 1 forward until release
  uint32_t start = 0;
  uint32_t length = 0;
};

struct SampleRecord {
  uint16_t unity_note = 60;
  int16_t fine_tune = 0;
  int32_t attenuation = 0;  // 16.16 centibels of gain
  std::optional<Loop> loop;
};

struct Articulation {
  bool level2 = false;  // "lar2"/"art2" instead of "lart"/"art1"
  std::vector<Connection> connections;
};

struct Region {
  uint16_t key_lo = 0, key_hi = 127, vel_lo = 0, vel_hi = 127;
  uint16_t key_group = 0;
  uint32_t pool_index = 0;
  bool level2 = false;  // "rgn2" with the 14-byte region header
  std::optional<SampleRecord> sample;
  std::optional<Articulation> articulation;
};

struct Instrument {
  std::string name;
  uint32_t bank = 0;  // bank select as stored: controller 0 in bits 8..14, controller 32 in bits 0..6
  bool drums = false;
  uint32_t program = 0;
  std::vector<Region> regions;
  std::optional<Articulation> articulation;
};

struct Wave {
  std::string name;
  std::vector<int16_t> points;
  uint32_t rate = 48000;
  std::optional<SampleRecord> sample;
  uint16_t format_tag = 1;  // PCM
  uint16_t channels = 1;
  uint16_t bits = 16;
};

struct Bank {
  std::string name = "Test Bank";
  std::vector<Instrument> instruments;
  std::vector<Wave> waves;
  // Pool table offsets; when empty, one entry per wave in order.
  std::optional<std::vector<uint32_t>> pool_table;

  std::vector<uint8_t> bytes() const;
  // Writes bytes() to path; false when the file cannot be written.
  bool write(const std::string& path) const;
};

}  // namespace dls
