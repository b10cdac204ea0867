// Writes SoundFont 2 files from a plain description: samples made from synthesised waveforms,
// instruments and presets with zones holding any generators and modulators. Everything is written as given, so
// tests can also describe malformed content (generators out of order, bad indices).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sf2 {

// Generator numbers the fixtures use most.
enum : uint16_t {
    KEY_RANGE = 43,
    VEL_RANGE = 44,
    INSTRUMENT = 41,
    SAMPLE_ID = 53,
    SAMPLE_MODES = 54,
    ATTENUATION = 48,
    PAN = 17,
    COARSE_TUNE = 51,
    EXCLUSIVE_CLASS = 57,
    OVERRIDING_ROOT_KEY = 58,
    RELEASE_VOL_ENV = 38,
};

struct Generator {
    uint16_t oper;
    uint16_t amount; // two's complement for signed amounts; low byte first for ranges
};

struct Modulator {
    uint16_t src;
    uint16_t dest;
    int16_t amount;
    uint16_t amount_src;
    uint16_t transform;
};

struct Zone {
    // Index of the instrument (preset zone) or sample (instrument zone); none makes a global zone.
    std::optional<uint16_t> link;
    std::vector<Generator> gens; // written in this order, before the link generator
    std::vector<Modulator> mods;

    Zone& key_range(uint8_t lo, uint8_t hi);
    Zone& vel_range(uint8_t lo, uint8_t hi);
    Zone& gen(uint16_t oper, int16_t amount);
    Zone& mod(const Modulator& m);
};

struct Instrument {
    std::string name;
    std::vector<Zone> zones;
};

struct Preset {
    std::string name;
    uint16_t program = 0;
    uint16_t bank = 0;
    std::vector<Zone> zones;
};

struct Sample {
    std::string name;
    std::vector<int16_t> data;
    uint32_t loop_start = 0; // points from the sample's first point
    uint32_t loop_end = 0;
    uint32_t rate = 48000;
    uint8_t root_key = 60;
    int8_t correction = 0;
    uint16_t type = 1; // mono
};

struct InfoChunk {
    std::string id; // four characters
    std::vector<uint8_t> data;
};

struct Bank {
    uint16_t version_major = 2;
    uint16_t version_minor = 1;
    std::string name = "Test Bank"; // INAM
    std::vector<InfoChunk> extra_info;
    std::vector<Sample> samples;
    std::vector<Instrument> instruments;
    std::vector<Preset> presets;

    // The whole file. Each sample is followed by 46 zero points, as the format asks.
    std::vector<uint8_t> bytes() const;
    // Writes bytes() to path; false when the file cannot be written.
    bool write(const std::string& path) const;
};

// Waveforms of whole periods at full scale times level (0..1).
std::vector<int16_t> sine_wave(int period, int periods, double level = 0.5);
std::vector<int16_t> square_wave(int period, int periods, double level = 0.5);
std::vector<int16_t> saw_wave(int period, int periods, double level = 0.5);
// A decaying noise burst for drums, deterministic.
std::vector<int16_t> click(int length, double level = 0.8);

// Points a looped sample carries after its loop.
constexpr int LOOP_TAIL = 8;

// A sample whose loop runs from the second period to the end of the given periods; the wave goes on for LOOP_TAIL
// points after the loop.
Sample looped_sample(const std::string& name, std::vector<int16_t> data, int period, uint8_t root_key,
                     uint32_t rate = 48000);
// A one-shot sample: the loop spans all but its first and last point and is never played.
Sample one_shot_sample(const std::string& name, std::vector<int16_t> data, uint8_t root_key, uint32_t rate = 48000);

// A bank that plays one sample on every key: the sample, one instrument of one zone that loops it for as long as a
// note holds, and preset 0:0 of one zone on that instrument, both named after the sample. Callers add generators
// to instruments[0].zones[0] or presets[0].zones[0], and further presets on instrument 0.
Bank looped_sample_bank(Sample sample);

// Modulator source word: index, controller bit, direction, polarity and curve type.
uint16_t mod_source(uint8_t index, bool cc, bool negative, bool bipolar, uint8_t type);

// Byte offset of the first chunk with this identifier, walking the file's chunk tree; for a LIST type ("pdta") the
// offset of its LIST chunk. The chunk's size follows at offset + 4. npos when absent.
size_t find_chunk(const std::vector<uint8_t>& file, const char* id);
uint32_t read_u32(const std::vector<uint8_t>& file, size_t offset);
void put_u16(std::vector<uint8_t>& file, size_t offset, uint16_t value);
void put_u32(std::vector<uint8_t>& file, size_t offset, uint32_t value);

} // namespace sf2
