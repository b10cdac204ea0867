#include "sampler/src/korvel_mix.h"

#include "sampler/src/korvel_voice.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int N = KORVEL_BUFSIZE;

void clear(float* buf)
{
    std::fill_n(buf, N, 0.0f);
}

void add(float* dst, const float* src)
{
    for (int i = 0; i < N; ++i) {
        dst[i] += src[i];
    }
}

bool bus_open(const korvel_mix_t* mix, int bus)
{
    return mix->bus_on[bus] != 0 && mix->neffects > bus;
}

// The send buffer of an open bus, none for a closed one.
float* bus_buffer(const korvel_mix_t* mix, int bus)
{
    return bus_open(mix, bus) ? mix->fx_left[bus] : nullptr;
}

bool quiet(const float* left, const float* right)
{
    for (int i = 0; i < N; ++i) {
        if (std::fabs(left[i]) >= KORVEL_MIX_QUIET || std::fabs(right[i]) >= KORVEL_MIX_QUIET) {
            return false;
        }
    }
    return true;
}

// Whether what the effects left in the block is below the quiet level: the first group when they mix into it, the
// reverb and chorus pairs when they replace them.
bool effects_quiet(const korvel_mix_t* mix, int mode)
{
    if (mode != KORVEL_MIX_REPLACE) {
        return quiet(mix->left[0], mix->right[0]);
    }
    for (int bus : {KORVEL_BUS_REVERB, KORVEL_BUS_CHORUS}) {
        if (bus < mix->neffects && !quiet(mix->fx_left[bus], mix->fx_right[bus])) {
            return false;
        }
    }
    return true;
}

// Whether the effects run in a block without voices.
bool tail_rings(const korvel_mix_t* mix)
{
    return mix->quiet_blocks != nullptr && *mix->quiet_blocks < KORVEL_MIX_QUIET_BLOCKS;
}

} // namespace

extern "C" {

int korvel_mix_block(const korvel_mix_t* mix, int mode)
{
    for (int i = 0; i < mix->nbuf; ++i) {
        clear(mix->left[i]);
        clear(mix->right[i]);
    }
    for (int i = 0; i < mix->neffects; ++i) {
        clear(mix->fx_left[i]);
        clear(mix->fx_right[i]);
    }

    const int ngroups = std::clamp(mix->ngroups, 1, static_cast<int>(KORVEL_MIX_MAX_GROUPS));
    float* reverb_bus = bus_buffer(mix, KORVEL_BUS_REVERB);
    float* chorus_bus = bus_buffer(mix, KORVEL_BUS_CHORUS);
    float* reverb_send = mix->voice_sends != 0 ? reverb_bus : nullptr;
    float* chorus_send = mix->voice_sends != 0 ? chorus_bus : nullptr;
    bool used[KORVEL_MIX_MAX_GROUPS] = {};
    bool any = false;
    for (int v = 0; v < mix->nvoices; ++v) {
        korvel_voice_t* voice = mix->voices[v];
        if (!korvel_voice_is_playing(voice)) {
            continue;
        }
        const int group = voice->chan % ngroups;
        used[group] = true;
        any = true;
        korvel_voice_write(voice, mix->left[group], mix->right[group], reverb_send, chorus_send);
    }

    for (int g = 0; g < ngroups; ++g) {
        if (used[g] && mix->group_fx[g] != nullptr) {
            korvel_fx_process_stereo(mix->group_fx[g], mix->left[g], mix->right[g], N);
        }
    }
    for (int g = 1; g < ngroups; ++g) {
        if (used[g]) {
            add(mix->left[0], mix->left[g]);
            add(mix->right[0], mix->right[g]);
        }
    }
    if (!any && !tail_rings(mix)) {
        return 0;
    }

    if (mode == KORVEL_MIX_REPLACE) {
        if (reverb_bus != nullptr) {
            korvel_revmodel_processreplace(mix->reverb, reverb_bus, mix->fx_left[KORVEL_BUS_REVERB],
                                           mix->fx_right[KORVEL_BUS_REVERB]);
        }
        if (chorus_bus != nullptr) {
            korvel_chorus_processreplace(mix->chorus, chorus_bus, mix->fx_left[KORVEL_BUS_CHORUS],
                                         mix->fx_right[KORVEL_BUS_CHORUS]);
        }
    } else {
        if (reverb_bus != nullptr) {
            korvel_revmodel_processmix(mix->reverb, reverb_bus, mix->left[0], mix->right[0]);
        }
        if (chorus_bus != nullptr) {
            korvel_chorus_processmix(mix->chorus, chorus_bus, mix->left[0], mix->right[0]);
        }
        for (int k = 0; k < KORVEL_MIX_VARIATIONS; ++k) {
            float* bus = bus_buffer(mix, KORVEL_BUS_VARIATION1 + k);
            if (bus != nullptr && mix->variation_fx[k] != nullptr) {
                korvel_send_fx_process(mix->variation_fx[k], bus, mix->left[0], mix->right[0], N);
            }
        }
    }

    if (mix->master_fx != nullptr) {
        korvel_fx_process_stereo(mix->master_fx, mix->left[0], mix->right[0], N);
    }
    if (mix->quiet_blocks != nullptr) {
        *mix->quiet_blocks = !any && effects_quiet(mix, mode) ? *mix->quiet_blocks + 1 : 0;
    }
    return any ? 1 : 0;
}

} // extern "C"
