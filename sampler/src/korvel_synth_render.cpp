#include "sampler/src/korvel_synth_render.h"

#include "sampler/src/korvel_mix.h"
#include "sampler/src/korvel_synth.h"

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

// Hands out len frames of the first group, rendering blocks in mix mode as the position reaches a block's end;
// put(i, left, right) stores frame i.
template <typename Put>
void pull(korvel_synth_t* synth, int len, Put put)
{
    const float* left = synth->left_buf[0];
    const float* right = synth->right_buf[0];
    int done = 0;
    while (done < len) {
        if (synth->cur >= BLOCK) {
            korvel_synth_one_block(synth, KORVEL_MIX_INTO_DRY);
            synth->cur = 0;
        }
        const int n = std::min(len - done, static_cast<int>(BLOCK - synth->cur));
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
    mix.quiet_blocks = synth->profile.effect_tails ? &synth->quiet_blocks : nullptr;
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
    if (synth->cur < BLOCK) {
        done = std::min(len, static_cast<int>(BLOCK - synth->cur));
        copy_frames(synth, static_cast<int>(synth->cur), 0, done, left, right, fx_left, fx_right);
        synth->cur += static_cast<unsigned int>(done);
    }
    while (done < len) {
        korvel_synth_one_block(synth, KORVEL_MIX_REPLACE);
        const int n = std::min(len - done, static_cast<int>(BLOCK));
        copy_frames(synth, 0, done, n, left, right, fx_left, fx_right);
        synth->cur = static_cast<unsigned int>(n);
        done += n;
    }
    update_load(synth, start, len);
    return 0;
}

} // extern "C"
