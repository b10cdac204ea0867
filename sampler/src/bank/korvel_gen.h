// Generators: numbering, the information table (ranges, defaults, NRPN scales) and the per-voice and per-zone
// generator array.
#pragma once

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

enum korvel_gen_type {
    GEN_STARTADDROFS,       // 0  startAddrsOffset
    GEN_ENDADDROFS,         // 1  endAddrsOffset
    GEN_STARTLOOPADDROFS,   // 2  startloopAddrsOffset
    GEN_ENDLOOPADDROFS,     // 3  endloopAddrsOffset
    GEN_STARTADDRCOARSEOFS, // 4  startAddrsCoarseOffset
    GEN_MODLFOTOPITCH,      // 5
    GEN_VIBLFOTOPITCH,      // 6
    GEN_MODENVTOPITCH,      // 7
    GEN_FILTERFC,           // 8  initialFilterFc
    GEN_FILTERQ,            // 9  initialFilterQ
    GEN_MODLFOTOFILTERFC,   // 10
    GEN_MODENVTOFILTERFC,   // 11
    GEN_ENDADDRCOARSEOFS,   // 12
    GEN_MODLFOTOVOL,        // 13
    GEN_UNUSED1,            // 14
    GEN_CHORUSSEND,         // 15
    GEN_REVERBSEND,         // 16
    GEN_PAN,                // 17
    GEN_UNUSED2,            // 18
    GEN_UNUSED3,            // 19
    GEN_UNUSED4,            // 20
    GEN_MODLFODELAY,        // 21
    GEN_MODLFOFREQ,         // 22
    GEN_VIBLFODELAY,        // 23
    GEN_VIBLFOFREQ,         // 24
    GEN_MODENVDELAY,        // 25
    GEN_MODENVATTACK,       // 26
    GEN_MODENVHOLD,         // 27
    GEN_MODENVDECAY,        // 28
    GEN_MODENVSUSTAIN,      // 29
    GEN_MODENVRELEASE,      // 30
    GEN_KEYTOMODENVHOLD,    // 31
    GEN_KEYTOMODENVDECAY,   // 32
    GEN_VOLENVDELAY,        // 33
    GEN_VOLENVATTACK,       // 34
    GEN_VOLENVHOLD,         // 35
    GEN_VOLENVDECAY,        // 36
    GEN_VOLENVSUSTAIN,      // 37
    GEN_VOLENVRELEASE,      // 38
    GEN_KEYTOVOLENVHOLD,    // 39
    GEN_KEYTOVOLENVDECAY,   // 40
    GEN_INSTRUMENT,         // 41
    GEN_RESERVED1,          // 42
    GEN_KEYRANGE,           // 43
    GEN_VELRANGE,           // 44
    GEN_STARTLOOPADDRCOARSEOFS, // 45
    GEN_KEYNUM,             // 46
    GEN_VELOCITY,           // 47
    GEN_ATTENUATION,        // 48 initialAttenuation
    GEN_RESERVED2,          // 49
    GEN_ENDLOOPADDRCOARSEOFS, // 50
    GEN_COARSETUNE,         // 51
    GEN_FINETUNE,           // 52
    GEN_SAMPLEID,           // 53
    GEN_SAMPLEMODE,         // 54
    GEN_RESERVED3,          // 55
    GEN_SCALETUNE,          // 56
    GEN_EXCLUSIVECLASS,     // 57
    GEN_OVERRIDEROOTKEY,    // 58
    GEN_PITCH,              // 59 the note's pitch, driven by the pitch-bend default modulator
    GEN_ENDOPER,            // 60 first of the library's own generators
    GEN_VELOCITYTOFILTER,   // 61
    GEN_VELOCITYTOFILTER2,  // 62
    GEN_VELOCITYTODRIVE,    // 63
    GEN_VELOCITYTOATTACK,   // 64
    GEN_VELOCITYTODECAY,    // 65
    GEN_VELOCITYTORELEASE,  // 66
    GEN_AFTERTOUCHTOVOLUME, // 67
    GEN_AFTERTOUCHTOFILTER, // 68
    GEN_MODULATOR1,         // 69
    GEN_MODULATOR2,         // 70
    GEN_MODENV2DELAY,       // 71
    GEN_MODENV2ATTACK,      // 72
    GEN_MODENV2HOLD,        // 73
    GEN_MODENV2DECAY,       // 74
    GEN_MODENV2SUSTAIN,     // 75
    GEN_MODENV2RELEASE,     // 76
    GEN_KEYTOMODENV2HOLD,   // 77
    GEN_KEYTOMODENV2DECAY,  // 78
    GEN_MODLFO2DELAY,       // 79
    GEN_MODLFO2FREQ,        // 80
    GEN_VOICEFX1,           // 81, parameters 82 to 84; FX2 85..88, FX3 89..92, FX4 93..96
    GEN_VARIATIONFX1SEND = 97, // 97 to 100
    GEN_VARIATIONFX1PARAMETER = 101, // 101 to 104
    GEN_NOTUSED = 105,
    GEN_LAST = 106
};

// Flags of a generator entry.
enum korvel_gen_flags {
    GEN_UNUSED = 0,
    GEN_SET = 1,
    GEN_ABS_NRPN = 2
};

// One row of the generator information table.
typedef struct _korvel_gen_info_t {
    signed char num;
    char init;       // the voice initialises the generator at start
    char nrpn_scale; // NRPN data is multiplied by this
    float min;
    float max;
    float def;
} korvel_gen_info_t;

extern const korvel_gen_info_t korvel_gen_info[GEN_LAST];

// One generator of a voice or zone. Effective value: val + mod + nrpn, or nrpn alone when flags is GEN_ABS_NRPN.
struct _korvel_gen_t {
    const char* name;
    unsigned char flags;
    double val;
    double mod;
    double nrpn;
};

// One generator of a zone: flags GEN_SET when the bank sets it, and its value. A zone needs no name, modulation or
// NRPN offset, and a bank holds thousands of zones: packed, these entries take 9 bytes where a voice's take 40
// (every page of zones a load fills costs a page fault). Read and write the members; take no reference to val.
typedef struct __attribute__((packed)) _korvel_zone_gen_t {
    unsigned char flags;
    double val;
} korvel_zone_gen_t;

// The following operate on caller-owned memory and read constant tables: any thread.

// Every entry: flags 0, modulation and NRPN offset 0, value the table default. Returns 0.
int korvel_gen_set_default_values(korvel_gen_t* gen);
// Every entry of a zone's array: flags 0, value the table default. Returns 0.
int korvel_zone_gen_set_default_values(korvel_zone_gen_t* gen);
// minimum + (maximum - minimum) * fraction.
float korvel_gen_scale(int gen, float value);
// (data - 8192) clamped to -8192..8192, times the generator's NRPN scale; data 0..16383.
float korvel_gen_scale_nrpn(int gen, int data);
// "(n) name" for 0..106, "not used" otherwise.
const char* gen_verbose(int gen);

#ifdef __cplusplus
}
#endif
