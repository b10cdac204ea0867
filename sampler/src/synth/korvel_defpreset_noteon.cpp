#include "sampler/src/synth/korvel_defpreset_noteon.h"

#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/synth/korvel_synth.h"

namespace {

// Generators that only instrument zones may carry; a preset's value for them is ignored.
constexpr bool instrument_only(int gen)
{
    switch (gen) {
    case GEN_STARTADDROFS:
    case GEN_ENDADDROFS:
    case GEN_STARTLOOPADDROFS:
    case GEN_ENDLOOPADDROFS:
    case GEN_STARTADDRCOARSEOFS:
    case GEN_ENDADDRCOARSEOFS:
    case GEN_STARTLOOPADDRCOARSEOFS:
    case GEN_KEYNUM:
    case GEN_VELOCITY:
    case GEN_ENDLOOPADDRCOARSEOFS:
    case GEN_SAMPLEMODE:
    case GEN_EXCLUSIVECLASS:
    case GEN_OVERRIDEROOTKEY:
        return true;
    default:
        return false;
    }
}

// The modulators of a global zone, then those of the zone itself, each replacing the identical global ones.
class merged_mods {
public:
    merged_mods(const korvel_mod_t* global, const korvel_mod_t* local)
    {
        for (const korvel_mod_t* m = global; m != nullptr; m = m->next) {
            push(m);
        }
        for (const korvel_mod_t* m = local; m != nullptr; m = m->next) {
            for (int i = 0; i < count_; i++) {
                if (list_[i] != nullptr && korvel_mod_test_identity(list_[i], m)) {
                    list_[i] = nullptr;
                }
            }
            push(m);
        }
    }

    template <typename F>
    void for_each(F f) const
    {
        for (int i = 0; i < count_; i++) {
            if (list_[i] != nullptr) {
                f(list_[i]);
            }
        }
    }

private:
    void push(const korvel_mod_t* m)
    {
        if (count_ < KORVEL_VOICE_MAX_MODS) {
            list_[count_++] = m;
        }
    }

    const korvel_mod_t* list_[KORVEL_VOICE_MAX_MODS] = {};
    int count_ = 0;
};

struct note {
    korvel_defpreset_t* preset;
    korvel_synth_t* synth;
    int chan;
    int key;
    int vel;
};

int start_voice(korvel_preset_zone_t* pzone, korvel_inst_t* inst, korvel_inst_zone_t* izone, void* data)
{
    auto* n = static_cast<note*>(data);
    korvel_voice_t* voice = korvel_synth_alloc_voice(n->synth, izone->sample, n->chan, n->key, n->vel);
    if (voice == nullptr) {
        return -1;
    }
    korvel_defpreset_setup_voice(voice, n->preset, pzone, inst, izone);
    korvel_synth_start_voice(n->synth, voice);
    return 0;
}

} // namespace

extern "C" {

int korvel_defpreset_noteon(korvel_defpreset_t* preset, korvel_synth_t* synth, int chan, int key, int vel)
{
    note n{preset, synth, chan, key, vel};
    return korvel_defpreset_match_zones(preset, key, vel, start_voice, &n);
}

int korvel_defpreset_preset_noteon(korvel_preset_t* preset, korvel_synth_t* synth, int chan, int key, int vel)
{
    return korvel_defpreset_noteon(static_cast<korvel_defpreset_t*>(preset->data), synth, chan, key, vel);
}

int korvel_defpreset_match_zones(korvel_defpreset_t* preset, int key, int vel, korvel_zone_pair_fn found,
                                 void* data)
{
    for (korvel_preset_zone_t* pzone = preset->zone; pzone != nullptr; pzone = pzone->next) {
        if (pzone->mute || pzone->inst == nullptr || !korvel_preset_zone_inside_range(pzone, key, vel)) {
            continue;
        }
        for (korvel_inst_zone_t* izone = pzone->inst->zone; izone != nullptr; izone = izone->next) {
            if (izone->mute || izone->sample == nullptr || !korvel_sample_can_play(izone->sample) ||
                !korvel_inst_zone_inside_range(izone, key, vel)) {
                continue;
            }
            if (found(pzone, pzone->inst, izone, data) != 0) {
                return -1;
            }
        }
    }
    return 0;
}

void korvel_defpreset_setup_voice(korvel_voice_t* voice, korvel_defpreset_t* preset, korvel_preset_zone_t* pzone,
                                  korvel_inst_t* inst, korvel_inst_zone_t* izone)
{
    const korvel_inst_zone_t* iglobal = inst->global_zone;
    for (int i = 0; i < GEN_LAST; i++) {
        if (izone->gen[i].flags) {
            korvel_voice_gen_set(voice, i, static_cast<float>(izone->gen[i].val));
        } else if (iglobal != nullptr && iglobal->gen[i].flags) {
            korvel_voice_gen_set(voice, i, static_cast<float>(iglobal->gen[i].val));
        }
    }
    merged_mods(iglobal != nullptr ? iglobal->mod : nullptr, izone->mod).for_each([&](const korvel_mod_t* m) {
        korvel_voice_add_mod(voice, m, KORVEL_VOICE_OVERWRITE);
    });

    const korvel_preset_zone_t* pglobal = preset->global_zone;
    for (int i = 0; i < GEN_LAST; i++) {
        if (instrument_only(i)) {
            continue;
        }
        if (pzone->gen[i].flags) {
            korvel_voice_gen_incr(voice, i, static_cast<float>(pzone->gen[i].val));
        } else if (pglobal != nullptr && pglobal->gen[i].flags) {
            korvel_voice_gen_incr(voice, i, static_cast<float>(pglobal->gen[i].val));
        }
    }
    merged_mods(pglobal != nullptr ? pglobal->mod : nullptr, pzone->mod).for_each([&](const korvel_mod_t* m) {
        if (m->amount != 0.0) {
            korvel_voice_add_mod(voice, m, KORVEL_VOICE_ADD);
        }
    });
}

} // extern "C"
