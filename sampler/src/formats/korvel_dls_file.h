#pragma once
// Reading side of the DLS loader: checks the RIFF chunk tree of a DLS file held in memory and describes what it
// holds (instruments with their regions and articulation connections, the pool table, the waves) without
// converting anything. Internal to the library; the loader in korvel_dls.h builds the sound bank from it.
//
// Thread contract: control thread; allocates.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvel_dls {

// One connection block of an articulation: value = source x control x scale, routed to destination.
struct Connection {
  uint16_t source;
  uint16_t control;
  uint16_t destination;
  uint16_t transform;
  int32_t scale;  // 16.16 fixed point in the destination's unit
};

struct Loop {
  uint32_t type;  // 0 forward, 1 forward until release
  uint32_t start;  // frames from the wave's first frame
  uint32_t length;
};

// The sample record of a wave or of a region.
struct SampleSettings {
  bool present = false;
  uint16_t unityNote = 60;
  int16_t fineTune = 0;     // cents
  int32_t attenuation = 0;  // 16.16 centibels of gain (negative is quieter)
  bool looped = false;
  Loop loop{};
};

struct Region {
  uint16_t keyLow, keyHigh, velLow, velHigh;
  uint16_t keyGroup;
  SampleSettings sample;
  uint32_t tableIndex;  // entry of the pool table
  bool articulated = false;
  std::vector<Connection> connections;
};

struct Instrument {
  std::string name;
  uint32_t bank;  // MIDI bank select: bits 8..14 controller 0, bits 0..6 controller 32, bit 31 drum kit
  uint32_t program;
  std::vector<Region> regions;
  bool articulated = false;
  std::vector<Connection> connections;
};

struct Wave {
  size_t poolOffset;  // from the start of the wave pool's content, as the pool table counts
  std::string name;
  uint32_t rate;
  const uint8_t* points;  // little-endian 16-bit, inside the file's bytes
  uint32_t frames;
  SampleSettings sample;
};

struct File {
  std::vector<Instrument> instruments;
  std::vector<size_t> waveOfCue;  // pool table entry -> index into waves
  std::vector<Wave> waves;
};

enum : uint32_t { kDrumBankFlag = 0x80000000u };

// Fills `out` from the file's bytes, which must outlive it. 0, or -1 with an error logged for the first fault.
int parseFile(const uint8_t* data, size_t size, File& out);

}  // namespace korvel_dls
