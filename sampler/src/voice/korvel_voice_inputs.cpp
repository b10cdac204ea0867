#include "sampler/src/voice/korvel_voice_inputs.h"

#include "sampler/src/voice/korvel_chan_state.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/voice/korvel_voice.h"

namespace {

// Reads a source; false when the source gives nothing. The pitch wheel spans 16384 steps, all else 128.
bool source_value(int src, int flags, bool pitch_wheel_full_range, const korvel_channel_t* chan,
                  const korvel_voice_t* voice, float& value, float& range)
{
    range = 127.0f;
    if (flags & KORVEL_MOD_CC) {
        value = chan->cc[src & 127];
        return true;
    }
    switch (src) {
    case KORVEL_MOD_VELOCITY:
        value = voice->vel;
        return true;
    case KORVEL_MOD_KEY:
        value = voice->key;
        return true;
    case KORVEL_MOD_KEYPRESSURE:
        value = chan->key_pressure;
        return true;
    case KORVEL_MOD_CHANNELPRESSURE:
        value = chan->channel_pressure;
        return true;
    case KORVEL_MOD_PITCHWHEEL:
        value = chan->pitch_bend;
        if (pitch_wheel_full_range) {
            range = 16384.0f;
        }
        return true;
    case KORVEL_MOD_PITCHWHEELSENS:
        value = chan->pitch_wheel_sensitivity;
        return true;
    default:
        return false;
    }
}

float map_source(int flags, float x, float range)
{
    switch (flags & 15) {
    case 0:
        return x / range;
    case 1:
        return 1.0f - x / range;
    case 2:
        return 2.0f * x / range - 1.0f;
    case 3:
        return 1.0f - 2.0f * x / range;
    case 4:
        return korvel_concave(x);
    case 5:
        return korvel_concave(127.0f - x);
    case 6:
        return x > 64.0f ? korvel_concave(2.0f * (x - 64.0f)) : -korvel_concave(2.0f * (64.0f - x));
    case 7:
        return x > 64.0f ? -korvel_concave(2.0f * (x - 64.0f)) : korvel_concave(2.0f * (64.0f - x));
    case 8:
        return korvel_convex(x);
    case 9:
        return korvel_convex(127.0f - x);
    case 10:
        return x > 64.0f ? korvel_convex(2.0f * (x - 64.0f)) : -korvel_convex(2.0f * (64.0f - x));
    case 11:
        return x > 64.0f ? -korvel_convex(2.0f * (x - 64.0f)) : korvel_convex(2.0f * (64.0f - x));
    case 12:
        return x >= 64.0f ? 1.0f : 0.0f;
    case 13:
        return x >= 64.0f ? 0.0f : 1.0f;
    case 14:
        return x >= 64.0f ? 1.0f : -1.0f;
    default:
        return x >= 64.0f ? -1.0f : 1.0f;
    }
}

} // namespace

extern "C" {

int korvel_gen_init(korvel_gen_t* gen, korvel_channel_t* channel)
{
    korvel_gen_set_default_values(gen);
    for (int i = 0; i < GEN_LAST; i++) {
        gen[i].name = gen_verbose(i);
        gen[i].nrpn = channel->gen[i];
        if (channel->gen_abs[i]) {
            gen[i].flags = GEN_ABS_NRPN;
        }
    }
    return 0;
}

float korvel_mod_get_value(const korvel_mod_t* mod, const korvel_channel_t* chan, const korvel_voice_t* voice)
{
    if (mod->src1 == KORVEL_MOD_NONE) {
        return 0.0f;
    }
    float value;
    float range;
    if (!source_value(mod->src1, mod->flags1, true, chan, voice, value, range)) {
        return 0.0f;
    }
    float v1 = map_source(mod->flags1, value, range);
    if (v1 == 0.0f) {
        return 0.0f;
    }
    float v2 = 1.0f;
    if (mod->src2 != KORVEL_MOD_NONE) {
        if (!source_value(mod->src2, mod->flags2, false, chan, voice, value, range)) {
            return 0.0f;
        }
        v2 = map_source(mod->flags2, value, range);
    }
    return v1 * v2 * static_cast<float>(mod->amount);
}

} // extern "C"
