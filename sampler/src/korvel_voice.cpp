#include "sampler/src/korvel_voice.h"

#include "sampler/src/korvel_sys.h"

extern "C" {

void korvel_voice_gen_set(korvel_voice_t* voice, int gen, float value)
{
    voice->gen[gen].val = value;
    voice->gen[gen].flags = GEN_SET;
}

void korvel_voice_gen_incr(korvel_voice_t* voice, int gen, float value)
{
    voice->gen[gen].val += value;
    voice->gen[gen].flags = GEN_SET;
}

float korvel_voice_gen_get(const korvel_voice_t* voice, int gen)
{
    return static_cast<float>(voice->gen[gen].val);
}

float korvel_voice_gen_value(const korvel_voice_t* voice, int gen)
{
    const korvel_gen_t& g = voice->gen[gen];
    if (g.flags == GEN_ABS_NRPN) {
        return static_cast<float>(g.nrpn);
    }
    return static_cast<float>(g.val + g.mod + g.nrpn);
}

void korvel_voice_add_mod(korvel_voice_t* voice, const korvel_mod_t* mod, int mode)
{
    if (!(mod->flags1 & KORVEL_MOD_CC)) {
        switch (mod->src1) {
        case KORVEL_MOD_NONE:
        case KORVEL_MOD_VELOCITY:
        case KORVEL_MOD_KEY:
        case KORVEL_MOD_KEYPRESSURE:
        case KORVEL_MOD_CHANNELPRESSURE:
        case KORVEL_MOD_PITCHWHEEL:
        case KORVEL_MOD_PITCHWHEELSENS:
            break;
        default:
            korvel_log(KORVEL_WARN, "Ignoring invalid controller, using non-CC source %i.", mod->src1);
            return;
        }
    }
    if (mode == KORVEL_VOICE_OVERWRITE || mode == KORVEL_VOICE_ADD) {
        for (int i = 0; i < voice->mod_count; i++) {
            if (korvel_mod_test_identity(&voice->mod[i], mod)) {
                if (mode == KORVEL_VOICE_ADD) {
                    voice->mod[i].amount += mod->amount;
                } else {
                    voice->mod[i].amount = mod->amount;
                }
                return;
            }
        }
    }
    if (voice->mod_count < KORVEL_VOICE_MAX_MODS) {
        korvel_mod_clone(&voice->mod[voice->mod_count], mod);
        voice->mod[voice->mod_count].next = nullptr;
        voice->mod_count++;
    }
}

int korvel_voice_optimize_sample(korvel_sample_t*)
{
    return 0;
}

} // extern "C"
