// Modulators: a source (MIDI controller or note property) mapped through a curve, scaled and routed to a
// generator; the default modulators every voice receives.
#pragma once

#include "sampler/src/sys/korvel_types.h"

#ifdef __cplusplus
extern "C" {
#endif

// Source flags: direction, polarity, curve and controller bit.
enum korvel_mod_flags {
    KORVEL_MOD_POSITIVE = 0,
    KORVEL_MOD_NEGATIVE = 1,
    KORVEL_MOD_UNIPOLAR = 0,
    KORVEL_MOD_BIPOLAR = 2,
    KORVEL_MOD_LINEAR = 0,
    KORVEL_MOD_CONCAVE = 4,
    KORVEL_MOD_CONVEX = 8,
    KORVEL_MOD_SWITCH = 12,
    KORVEL_MOD_GC = 0,
    KORVEL_MOD_CC = 16
};

// General-controller sources (without the controller flag).
enum korvel_mod_src {
    KORVEL_MOD_NONE = 0,
    KORVEL_MOD_VELOCITY = 2,
    KORVEL_MOD_KEY = 3,
    KORVEL_MOD_KEYPRESSURE = 10,
    KORVEL_MOD_CHANNELPRESSURE = 13,
    KORVEL_MOD_PITCHWHEEL = 14,
    KORVEL_MOD_PITCHWHEELSENS = 16,
    KORVEL_MOD_LINK = 127
};

struct _korvel_mod_t {
    int id; // -1 for none
    unsigned char dest;
    unsigned char src1;
    unsigned char flags1;
    unsigned char src2;
    unsigned char flags2;
    double amount;
    korvel_mod_t* next;
};

// Process-wide default modulators, in the order a voice receives them. Voice allocation writes their identifiers.
extern korvel_mod_t default_vel2reso_mod;
extern korvel_mod_t default_vel2att_mod;
extern korvel_mod_t default_vel2filter_mod;
extern korvel_mod_t default_at2viblfo_mod;
extern korvel_mod_t default_mod2viblfo_mod;
extern korvel_mod_t default_att_mod;
extern korvel_mod_t default_pan_mod;
extern korvel_mod_t default_expr_mod;
extern korvel_mod_t default_reverb_mod;
extern korvel_mod_t default_chorus_mod;
extern korvel_mod_t default_pitch_bend_mod;

// The default modulators in the order a voice receives them.
enum { KORVEL_DEFAULT_MOD_COUNT = 11 };
extern korvel_mod_t* const korvel_default_mods[KORVEL_DEFAULT_MOD_COUNT];

// Creation and deletion: control thread. Null with the error "Out of memory".
korvel_mod_t* korvel_mod_new(void);
void korvel_mod_delete(korvel_mod_t* mod);
// Copies destination, sources, flags and amount; the target's identifier becomes -1.
void korvel_mod_clone(korvel_mod_t* target, const korvel_mod_t* source);

// Setters and getters touch only the record: any thread that owns it.
void korvel_mod_set_source1(korvel_mod_t* mod, int src, int flags);
void korvel_mod_set_source2(korvel_mod_t* mod, int src, int flags);
void korvel_mod_set_dest(korvel_mod_t* mod, int dst);
void korvel_mod_set_amount(korvel_mod_t* mod, double amount);
int korvel_mod_get_source1(const korvel_mod_t* mod);
int korvel_mod_get_flags1(const korvel_mod_t* mod);
int korvel_mod_get_source2(const korvel_mod_t* mod);
int korvel_mod_get_flags2(const korvel_mod_t* mod);
int korvel_mod_get_dest(const korvel_mod_t* mod);
float korvel_mod_get_amount(const korvel_mod_t* mod);

// 1 if a and b route the same sources the same way to the same destination, whatever their amounts; else 0.
int korvel_mod_test_identity(const korvel_mod_t* a, const korvel_mod_t* b);

// Diagnostics to standard output. Control thread.
void korvel_dump_modulator(const korvel_mod_t* mod);
const char* mod_verbose(int src);

#ifdef __cplusplus
}
#endif
