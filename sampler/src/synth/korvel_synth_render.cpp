#include "sampler/src/synth/korvel_synth_render.h"

#include "sampler/src/synth/korvel_mix.h"
#include "sampler/src/synth/korvel_synth.h"

#include <algorithm>

namespace {

constexpr unsigned int BLOCK = KORVEL_BUFSIZE;

bool playing(const korvel_synth_t* synth)
{
    return synth->state == KORVEL_SYNTH_PLAYING;
}

// The load as the average of the old one and this pull's share of its real time.
void update_load(korvel_synth_t* synth, double start_us, int len)
{
    if (len <= 0) {
        return;
    }
    const double duration_us = korvel_utime() - start_us;
    synth->cpu_load = 0.5 * (synth->cpu_load + duration_us * synth->sample_rate / len / 10000.0);
}

// The mixer's view of the synthesizer.
korvel_mix_t mixer(korvel_synth_t* synth)
{
    korvel_mix_t mix{};
    mix.voices = synth->voice;
    mix.nvoices = synth->nvoice;
    mix.ngroups = synth->audio_groups;
    mix.nbuf = synth->nbuf;
    mix.neffects = synth->effects_channels;
    mix.left = synth->left_buf;
    mix.right = synth->right_buf;
    mix.fx_left = synth->fx_left_buf;
    mix.fx_right = synth->fx_right_buf;
    mix.group_fx = synth->group_fx;
    mix.reverb = synth->reverb;
    mix.chorus = synth->chorus;
    mix.variation_fx = synth->variation_fx;
    mix.master_fx = synth->master_fx;
    mix.bus_on[KORVEL_BUS_REVERB] = static_cast<unsigned char>(synth->with_reverb);
    mix.bus_on[KORVEL_BUS_CHORUS] = static_cast<unsigned char>(synth->with_chorus);
    for (int k = 0; k < KORVEL_VARIATIONS; k++) {
        mix.bus_on[KORVEL_BUS_VARIATION1 + k] = static_cast<unsigned char>(synth->with_variation[k]);
    }
    mix.voice_sends = synth->profile.voice_sends ? 1 : 0;
    mix.quiet_frames = synth->profile.effect_tails ? &synth->quiet_frames : nullptr;
    return mix;
}

// Makes up to want frames ready from the block position on, at most to the block's end, and returns their count:
// a whole block is rendered (mode: korvel_mix_mode) when the position has reached the end of the last one, or, with
// event offsets, just these frames.
int ready(korvel_synth_t* synth, int mode, int want)
{
    const bool parts = synth->profile.event_offsets;
    if (synth->cur >= BLOCK) {
        if (!parts) {
            korvel_synth_one_block(synth, mode);
        }
        synth->cur = 0;
    }
    const int n = std::min(want, static_cast<int>(BLOCK - synth->cur));
    if (parts) {
        korvel_mix_t mix = mixer(synth);
        // A part visits only the voices the last one left playing, unless a voice has started since: they come in
        // the pool's order all the same, so the sums are those of a visit of the whole pool.
        if (synth->sounding_complete != 0) {
            mix.voices = synth->sounding;
            mix.nvoices = synth->nsounding;
        }
        mix.sounding = synth->sounding;
        mix.nsounding = &synth->nsounding;
        synth->sounding_complete = 1;
        if (korvel_mix_part(&mix, mode, static_cast<int>(synth->cur), n) != 0) {
            synth->ticks += static_cast<unsigned int>(n);
        }
        synth->voice_frames += static_cast<uint64_t>(synth->nsounding) * static_cast<uint64_t>(n);
    }
    return n;
}

// Hands out len frames of the first group, rendered in mix mode; put(i, left, right) stores frame i.
template <typename Put>
void pull(korvel_synth_t* synth, int len, Put put)
{
    const float* left = synth->left_buf[0];
    const float* right = synth->right_buf[0];
    int done = 0;
    while (done < len) {
        const int n = ready(synth, KORVEL_MIX_INTO_DRY, len - done);
        for (int i = 0; i < n; i++) {
            put(done + i, left[synth->cur + i], right[synth->cur + i]);
        }
        synth->cur += static_cast<unsigned int>(n);
        done += n;
    }
}

short to_s16(float x)
{
    return static_cast<short>(std::clamp(x * 32767.0f, -32768.0f, 32767.0f));
}

// Copies n frames of every dry pair the pull serves and of every effect pair, from frame `from` of the block to
// frame `to` of the caller's buffers.
void copy_frames(const korvel_synth_t* synth, int from, int to, int n, float** left, float** right, float** fx_left,
                 float** fx_right)
{
    for (int i = 0; i < synth->audio_channels; i++) {
        std::copy_n(synth->left_buf[i] + from, n, left[i] + to);
        std::copy_n(synth->right_buf[i] + from, n, right[i] + to);
    }
    for (int i = 0; i < synth->effects_channels; i++) {
        std::copy_n(synth->fx_left_buf[i] + from, n, fx_left[i] + to);
        std::copy_n(synth->fx_right_buf[i] + from, n, fx_right[i] + to);
    }
}

} // namespace

extern "C" {

int korvel_synth_one_block(korvel_synth_t* synth, int mode)
{
    const korvel_mix_t mix = mixer(synth);
    if (korvel_mix_block(&mix, mode) != 0) {
        synth->ticks += BLOCK;
    }
    return 0;
}

int korvel_synth_write_float(korvel_synth_t* synth, int len, float* lout, int loff, int lincr, float* rout, int roff,
                             int rincr)
{
    if (!playing(synth)) {
        return 0;
    }
    const double start = korvel_utime();
    pull(synth, len, [&](int i, float l, float r) {
        lout[loff + i * lincr] = l;
        rout[roff + i * rincr] = r;
    });
    update_load(synth, start, len);
    return 0;
}

int korvel_synth_write_s16(korvel_synth_t* synth, int len, short* lout, int loff, int lincr, short* rout, int roff,
                           int rincr)
{
    if (!playing(synth)) {
        return 0;
    }
    const double start = korvel_utime();
    pull(synth, len, [&](int i, float l, float r) {
        lout[loff + i * lincr] = to_s16(l);
        rout[roff + i * rincr] = to_s16(r);
    });
    update_load(synth, start, len);
    return 0;
}

int korvel_synth_process(korvel_synth_t* synth, int len, int, float**, int, float** out)
{
    return korvel_synth_write_float(synth, len, out[0], 0, 1, out[1], 0, 1);
}

int korvel_synth_nwrite_float(korvel_synth_t* synth, int len, float** left, float** right, float** fx_left,
                              float** fx_right)
{
    if (!playing(synth)) {
        return 0;
    }
    const double start = korvel_utime();
    int done = 0;
    while (done < len) {
        const int n = ready(synth, KORVEL_MIX_REPLACE, len - done);
        copy_frames(synth, static_cast<int>(synth->cur), done, n, left, right, fx_left, fx_right);
        synth->cur += static_cast<unsigned int>(n);
        done += n;
    }
    update_load(synth, start, len);
    return 0;
}

} // extern "C"
