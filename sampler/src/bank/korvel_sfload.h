// The SoundFont 2 parser: checks a file's RIFF structure and builds a transient description of its presets,
// instruments, zones and sample headers. The import (korvel_sf2_import.cpp) turns it into a bank.
//
// Thread contract: control thread; every call works on its own description.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct sfont_gen_t {
    uint16_t oper;
    int16_t amount; // ranges: low byte is the low end, high byte the high end
    uint8_t lo() const { return static_cast<uint8_t>(static_cast<uint16_t>(amount) & 0xff); }
    uint8_t hi() const { return static_cast<uint8_t>(static_cast<uint16_t>(amount) >> 8); }
};

struct sfont_mod_t {
    uint16_t src;
    uint16_t dest;
    int16_t amount;
    uint16_t amtsrc;
    uint16_t trans;
};

// A zone's generators and modulators are runs of the description's pools (sfont_data_t::gens and mods).
struct sfont_zone_t {
    int link = -1; // instrument index (preset zone) or sample index (instrument zone); -1 for a global zone
    size_t gen_first = 0;
    size_t gen_count = 0;
    size_t mod_first = 0;
    size_t mod_count = 0;
};

struct sfont_preset_t {
    unsigned int uid = 0; // written by the import
    char name[21] = {};
    uint16_t prenum = 0;
    uint16_t bank = 0;
    uint32_t libr = 0;
    uint32_t genre = 0;
    uint32_t morph = 0;
    std::vector<sfont_zone_t> zone;
};

struct sfont_inst_t {
    unsigned int uid = 0;
    char name[21] = {};
    std::vector<sfont_zone_t> zone;
};

// After the parse, end, loopstart and loopend are relative to start, end being the last point. A header whose
// positions lie outside the sample data is disabled (all positions 0).
struct sfont_sample_t {
    unsigned int uid = 0;
    char name[21] = {};
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t loopstart = 0;
    uint32_t loopend = 0;
    uint32_t samplerate = 0;
    uint8_t origpitch = 0;
    int8_t pitchadj = 0;
    uint16_t sampletype = 0;
    bool disabled = false;
};

struct sfont_info_t {
    int chunk;        // position of the chunk identifier in the identifier table, plus one
    std::string text; // NUL-terminated text of the chunk
};

struct sfont_data_t {
    std::string fname;
    unsigned int version_major = 0;
    unsigned int version_minor = 0;
    unsigned int romver_major = 0;
    unsigned int romver_minor = 0;
    unsigned int samplepos = 0;
    unsigned int samplesize = 0;
    std::vector<sfont_info_t> info;
    std::vector<sfont_preset_t> preset; // sorted by bank, then program
    std::vector<sfont_inst_t> inst;
    std::vector<sfont_sample_t> sample;
    // Every zone's generators and modulators, one pool each rather than two lists per zone.
    std::vector<sfont_gen_t> gen;
    std::vector<sfont_mod_t> mod;

    std::span<const sfont_gen_t> gens(const sfont_zone_t& zone) const
    {
        return {gen.data() + zone.gen_first, zone.gen_count};
    }
    std::span<const sfont_mod_t> mods(const sfont_zone_t& zone) const
    {
        return {mod.data() + zone.mod_first, zone.mod_count};
    }
};

// Parses the file; null on failure, after the reason was printed or logged.
std::unique_ptr<sfont_data_t> sfload_file(const char* fname);
