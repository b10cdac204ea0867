#include "sampler/src/bank/korvel_mod.h"

#include "sampler/src/bank/korvel_gen.h"
#include "sampler/src/sys/korvel_sys.h"

#include <cstdio>
#include <new>

extern "C" {

korvel_mod_t default_vel2reso_mod = {-1, GEN_FILTERQ, KORVEL_MOD_VELOCITY, KORVEL_MOD_CONCAVE, 0, 0, 0.0, nullptr};
korvel_mod_t default_vel2att_mod = {-1, GEN_ATTENUATION, KORVEL_MOD_VELOCITY,
                                    KORVEL_MOD_CONCAVE | KORVEL_MOD_NEGATIVE, 0, 0, 200.0, nullptr};
korvel_mod_t default_vel2filter_mod = {-1, GEN_FILTERFC, KORVEL_MOD_VELOCITY,
                                       KORVEL_MOD_CONCAVE | KORVEL_MOD_NEGATIVE, 0, 0, 0.0, nullptr};
korvel_mod_t default_at2viblfo_mod = {-1, GEN_VIBLFOTOPITCH, KORVEL_MOD_CHANNELPRESSURE, 0, 0, 0, 50.0, nullptr};
korvel_mod_t default_mod2viblfo_mod = {-1, GEN_VIBLFOTOPITCH, 1, KORVEL_MOD_CC, 0, 0, 50.0, nullptr};
korvel_mod_t default_att_mod = {-1, GEN_ATTENUATION, 7, KORVEL_MOD_CC | KORVEL_MOD_CONCAVE | KORVEL_MOD_NEGATIVE,
                                0, 0, 960.0, nullptr};
korvel_mod_t default_pan_mod = {-1, GEN_PAN, 10, KORVEL_MOD_CC | KORVEL_MOD_BIPOLAR, 0, 0, 500.0, nullptr};
korvel_mod_t default_expr_mod = {-1, GEN_ATTENUATION, 11, KORVEL_MOD_CC | KORVEL_MOD_CONCAVE | KORVEL_MOD_NEGATIVE,
                                 0, 0, 960.0, nullptr};
korvel_mod_t default_reverb_mod = {-1, GEN_REVERBSEND, 91, KORVEL_MOD_CC, 0, 0, 200.0, nullptr};
korvel_mod_t default_chorus_mod = {-1, GEN_CHORUSSEND, 93, KORVEL_MOD_CC, 0, 0, 200.0, nullptr};
korvel_mod_t default_pitch_bend_mod = {-1, GEN_PITCH, KORVEL_MOD_PITCHWHEEL, KORVEL_MOD_BIPOLAR,
                                       KORVEL_MOD_PITCHWHEELSENS, 0, 12700.0, nullptr};

korvel_mod_t* const korvel_default_mods[KORVEL_DEFAULT_MOD_COUNT] = {
    &default_vel2reso_mod, &default_vel2att_mod, &default_vel2filter_mod, &default_at2viblfo_mod,
    &default_mod2viblfo_mod, &default_att_mod, &default_pan_mod, &default_expr_mod,
    &default_reverb_mod, &default_chorus_mod, &default_pitch_bend_mod};

} // extern "C"

static_assert(sizeof(korvel_mod_t) == 32);

namespace {


const char* source_name(int src, int flags)
{
    if (flags & KORVEL_MOD_CC) {
        return nullptr;
    }
    switch (src) {
    case KORVEL_MOD_NONE:
        return "'None'";
    case KORVEL_MOD_VELOCITY:
        return "'Note On Velocity'";
    case KORVEL_MOD_KEY:
        return "'Key Number'";
    case KORVEL_MOD_KEYPRESSURE:
        return "'Poly Pressure'";
    case KORVEL_MOD_CHANNELPRESSURE:
        return "'Channel Pressure'";
    case KORVEL_MOD_PITCHWHEEL:
        return "'Pitch Wheel'";
    case KORVEL_MOD_PITCHWHEELSENS:
        return "'Pitch Wheel Sensitivity'";
    default:
        return "";
    }
}

const char* dest_name(int dest)
{
    switch (dest) {
    case GEN_FILTERQ:
        return "'Filter Q'";
    case GEN_FILTERFC:
        return "'Filter Cutoff'";
    case GEN_VIBLFOTOPITCH:
        return "'Vibrato LFO to Pitch'";
    case GEN_MODENVTOPITCH:
        return "'Modulation Env to Pitch'";
    case GEN_MODLFOTOPITCH:
        return "'Modulation LFO to Pitch'";
    case GEN_CHORUSSEND:
        return "'Chorus Send'";
    case GEN_REVERBSEND:
        return "'Reverb Send'";
    case GEN_PAN:
        return "'Panorama Potentiometer'";
    case GEN_ATTENUATION:
        return "'Attenuation'";
    case GEN_PITCH:
        return "'Pitch'";
    default:
        return nullptr;
    }
}

} // namespace

extern "C" {

korvel_mod_t* korvel_mod_new(void)
{
    auto* mod = new (std::nothrow) korvel_mod_t{};
    if (mod == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
    }
    return mod;
}

void korvel_mod_delete(korvel_mod_t* mod)
{
    delete mod;
}

void korvel_mod_clone(korvel_mod_t* target, const korvel_mod_t* source)
{
    target->id = -1;
    target->dest = source->dest;
    target->src1 = source->src1;
    target->flags1 = source->flags1;
    target->src2 = source->src2;
    target->flags2 = source->flags2;
    target->amount = source->amount;
}

void korvel_mod_set_source1(korvel_mod_t* mod, int src, int flags)
{
    mod->src1 = static_cast<unsigned char>(src);
    mod->flags1 = static_cast<unsigned char>(flags);
}

void korvel_mod_set_source2(korvel_mod_t* mod, int src, int flags)
{
    mod->src2 = static_cast<unsigned char>(src);
    mod->flags2 = static_cast<unsigned char>(flags);
}

void korvel_mod_set_dest(korvel_mod_t* mod, int dst)
{
    mod->dest = static_cast<unsigned char>(dst);
}

void korvel_mod_set_amount(korvel_mod_t* mod, double amount)
{
    mod->amount = amount;
}

int korvel_mod_get_source1(const korvel_mod_t* mod)
{
    return mod->src1;
}

int korvel_mod_get_flags1(const korvel_mod_t* mod)
{
    return mod->flags1;
}

int korvel_mod_get_source2(const korvel_mod_t* mod)
{
    return mod->src2;
}

int korvel_mod_get_flags2(const korvel_mod_t* mod)
{
    return mod->flags2;
}

int korvel_mod_get_dest(const korvel_mod_t* mod)
{
    return mod->dest;
}

float korvel_mod_get_amount(const korvel_mod_t* mod)
{
    return static_cast<float>(mod->amount);
}

int korvel_mod_test_identity(const korvel_mod_t* a, const korvel_mod_t* b)
{
    return a->dest == b->dest && a->src1 == b->src1 && a->flags1 == b->flags1 && a->src2 == b->src2 &&
           a->flags2 == b->flags2;
}

void korvel_dump_modulator(const korvel_mod_t* mod)
{
    std::printf("Quelle: ");
    const char* src = source_name(mod->src1, mod->flags1);
    if (src == nullptr) {
        std::printf("'MIDI Controller #%i'", mod->src1);
    } else if (*src == '\0') {
        std::printf("(Unknown: %i)", mod->src1);
    } else {
        std::printf("%s", src);
    }
    std::printf("%s", (mod->flags1 & KORVEL_MOD_NEGATIVE) ? " negativ " : " positiv ");
    std::printf("%s", (mod->flags1 & KORVEL_MOD_BIPOLAR) ? " bipolar " : " unipolar ");
    std::printf("-> ");
    const char* dest = dest_name(mod->dest);
    if (dest == nullptr) {
        std::printf("Ziel %i", mod->dest);
    } else {
        std::printf("%s", dest);
    }
    std::printf(", Wert: %f flags: %i src2: %i flags2: %i\n", mod->amount, mod->flags1, mod->src2, mod->flags2);
}

const char* mod_verbose(int src)
{
    switch (src) {
    case KORVEL_MOD_NONE:
        return "(0) No Controller";
    case KORVEL_MOD_VELOCITY:
        return "(2) Note-On Velocity";
    case KORVEL_MOD_KEY:
        return "(3) Note-On Key Number";
    case KORVEL_MOD_KEYPRESSURE:
        return "(10) Poly Pressure";
    case KORVEL_MOD_CHANNELPRESSURE:
        return "(13) Channel Pressure";
    case KORVEL_MOD_PITCHWHEEL:
        return "(14) Pitch Wheel";
    case KORVEL_MOD_PITCHWHEELSENS:
        return "(16) Pitch Wheel Sensitivity";
    case KORVEL_MOD_LINK:
        return "(127) Link";
    default:
        return "unused";
    }
}

} // extern "C"
