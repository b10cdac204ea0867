#include "sampler/src/synth/korvel_mix.h"

#include "sampler/src/voice/korvel_voice.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int N = KORVEL_BUFSIZE;

// The frames [from, from + n) of one block, in every buffer the mixer works on.
struct Span {
    int from;
    int n;
};

void clear(float* buf, Span span)
{
    std::fill_n(buf + span.from, span.n, 0.0f);
}

void add(float* dst, const float* src, Span span)
{
    for (int i = span.from; i < span.from + span.n; ++i) {
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

float* at(float* buf, Span span)
{
    return buf != nullptr ? buf + span.from : nullptr;
}

bool quiet(const float* left, const float* right, Span span)
{
    for (int i = span.from; i < span.from + span.n; ++i) {
        if (std::fabs(left[i]) >= KORVEL_MIX_QUIET || std::fabs(right[i]) >= KORVEL_MIX_QUIET) {
            return false;
        }
    }
    return true;
}

// Whether what the effects left in the span is below the quiet level: the first group when they mix into it, the
// reverb and chorus pairs when they replace them.
bool effects_quiet(const korvel_mix_t* mix, int mode, Span span)
{
    if (mode != KORVEL_MIX_REPLACE) {
        return quiet(mix->left[0], mix->right[0], span);
    }
    for (int bus : {KORVEL_BUS_REVERB, KORVEL_BUS_CHORUS}) {
        if (bus < mix->neffects && !quiet(mix->fx_left[bus], mix->fx_right[bus], span)) {
            return false;
        }
    }
    return true;
}

// Whether the effects run in a span without voices.
bool tail_rings(const korvel_mix_t* mix)
{
    return mix->quiet_frames != nullptr && *mix->quiet_frames < KORVEL_MIX_QUIET_FRAMES;
}

// Mixes the span; the voices render whole blocks into it, or hand theirs out in parts.
int mix_span(const korvel_mix_t* mix, int mode, Span span, bool parts)
{
    for (int i = 0; i < mix->nbuf; ++i) {
        clear(mix->left[i], span);
        clear(mix->right[i], span);
    }
    for (int i = 0; i < mix->neffects; ++i) {
        clear(mix->fx_left[i], span);
        clear(mix->fx_right[i], span);
    }

    const int ngroups = std::clamp(mix->ngroups, 1, static_cast<int>(KORVEL_MIX_MAX_GROUPS));
    float* reverb_bus = bus_buffer(mix, KORVEL_BUS_REVERB);
    float* chorus_bus = bus_buffer(mix, KORVEL_BUS_CHORUS);
    float* reverb_send = mix->voice_sends != 0 ? at(reverb_bus, span) : nullptr;
    float* chorus_send = mix->voice_sends != 0 ? at(chorus_bus, span) : nullptr;
    bool used[KORVEL_MIX_MAX_GROUPS] = {};
    bool any = false;
    int sounding = 0;
    // Voices handing out parts are rendered a batch at a time, their filters run together, and then they are
    // mixed in their order.
    // A voice that ends on the way leaves its channel, so its group is kept beside it.
    korvel_voice_t* batch[KORVEL_VOICE_MAX_BATCH];
    int batch_group[KORVEL_VOICE_MAX_BATCH];
    int nbatch = 0;
    auto mixed = [&](korvel_voice_t* voice) {
        if (mix->sounding != nullptr && korvel_voice_is_playing(voice)) {
            mix->sounding[sounding++] = voice;
        }
    };
    auto mix_batch = [&]() {
        korvel_voice_filter_parts(batch, nbatch);
        for (int b = 0; b < nbatch; ++b) {
            korvel_voice_render_part_rest(batch[b]);
        }
        korvel_voice_filter_parts(batch, nbatch);
        for (int b = 0; b < nbatch; ++b) {
            korvel_voice_t* voice = batch[b];
            const int group = batch_group[b];
            korvel_voice_mix_part(voice, at(mix->left[group], span), at(mix->right[group], span), reverb_send,
                                  chorus_send);
            mixed(voice);
        }
        nbatch = 0;
    };
    for (int v = 0; v < mix->nvoices; ++v) {
        korvel_voice_t* voice = mix->voices[v];
        if (!korvel_voice_is_playing(voice)) {
            continue;
        }
        const int group = voice->chan % ngroups;
        used[group] = true;
        any = true;
        if (parts) {
            korvel_voice_render_part(voice, span.n);
            batch[nbatch] = voice;
            batch_group[nbatch++] = group;
            if (nbatch == KORVEL_VOICE_MAX_BATCH) {
                mix_batch();
            }
        } else {
            korvel_voice_write(voice, at(mix->left[group], span), at(mix->right[group], span), reverb_send,
                               chorus_send);
            mixed(voice);
        }
    }
    mix_batch();
    if (mix->nsounding != nullptr) {
        *mix->nsounding = sounding;
    }

    for (int g = 0; g < ngroups; ++g) {
        if (used[g] && mix->group_fx[g] != nullptr) {
            korvel_fx_process_stereo(mix->group_fx[g], at(mix->left[g], span), at(mix->right[g], span), span.n);
        }
    }
    for (int g = 1; g < ngroups; ++g) {
        if (used[g]) {
            add(mix->left[0], mix->left[g], span);
            add(mix->right[0], mix->right[g], span);
        }
    }
    if (!any && !tail_rings(mix)) {
        return 0;
    }

    float* left0 = at(mix->left[0], span);
    float* right0 = at(mix->right[0], span);
    if (mode == KORVEL_MIX_REPLACE) {
        if (reverb_bus != nullptr) {
            korvel_revmodel_processreplace_frames(mix->reverb, at(reverb_bus, span),
                                                  at(mix->fx_left[KORVEL_BUS_REVERB], span),
                                                  at(mix->fx_right[KORVEL_BUS_REVERB], span), span.n);
        }
        if (chorus_bus != nullptr) {
            korvel_chorus_processreplace_frames(mix->chorus, at(chorus_bus, span),
                                                at(mix->fx_left[KORVEL_BUS_CHORUS], span),
                                                at(mix->fx_right[KORVEL_BUS_CHORUS], span), span.n);
        }
    } else {
        if (reverb_bus != nullptr) {
            korvel_revmodel_processmix_frames(mix->reverb, at(reverb_bus, span), left0, right0, span.n);
        }
        if (chorus_bus != nullptr) {
            korvel_chorus_processmix_frames(mix->chorus, at(chorus_bus, span), left0, right0, span.n);
        }
        for (int k = 0; k < KORVEL_MIX_VARIATIONS; ++k) {
            float* bus = bus_buffer(mix, KORVEL_BUS_VARIATION1 + k);
            if (bus != nullptr && mix->variation_fx[k] != nullptr) {
                korvel_send_fx_process(mix->variation_fx[k], at(bus, span), left0, right0, span.n);
            }
        }
    }

    if (mix->master_fx != nullptr) {
        korvel_fx_process_stereo(mix->master_fx, left0, right0, span.n);
    }
    if (mix->quiet_frames != nullptr) {
        *mix->quiet_frames = !any && effects_quiet(mix, mode, span) ? *mix->quiet_frames + span.n : 0;
    }
    return any ? 1 : 0;
}

} // namespace

extern "C" {

int korvel_mix_block(const korvel_mix_t* mix, int mode)
{
    return mix_span(mix, mode, Span{0, N}, false);
}

int korvel_mix_part(const korvel_mix_t* mix, int mode, int from, int n)
{
    return mix_span(mix, mode, Span{from, n}, true);
}

} // extern "C"
