#include "sampler/src/voice/korvel_voice_steps.h"

#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/voice/korvel_voice_dsp.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace {

constexpr int SAMPLE_EVENT_DONE = 2;
constexpr float BLOCK_FRAMES = static_cast<float>(KORVEL_BUFSIZE);

// The oscillator's 32.32 phase and step as plain 64-bit numbers.
int64_t position(const korvel_oscillator_t* osc)
{
    return (static_cast<int64_t>(osc->phase_int) << 32) | osc->phase_fract;
}

int64_t step(const korvel_oscillator_t* osc)
{
    return (static_cast<int64_t>(osc->incr_int) << 32) | osc->incr_fract;
}

// Frames until the phase reaches target (0 when it already has).
int64_t frames_until(const korvel_oscillator_t* osc, int64_t target)
{
    int64_t distance = target - position(osc);
    if (distance <= 0) {
        return 0;
    }
    int64_t s = std::max<int64_t>(step(osc), 1);
    return (distance + s - 1) / s;
}

void render_span(korvel_voice_t* voice, int from, int to)
{
    if (to > from) {
        oscillator_process(voice->osc, voice->dsp_buf + from, to - from, voice->amp, voice->amp_incr,
                           from - voice->ramp_from);
    }
}

// The gain of the voice's ramp at frame `frame` of its block.
float gain_at(const korvel_voice_t* voice, int frame)
{
    return voice->amp + static_cast<float>(frame - voice->ramp_from) * voice->amp_incr;
}

void mix(const korvel_voice_t* voice, const float* buf, float* left, float* right, int n)
{
    // Near the centre both sides take the left gain, which is the same there.
    const bool centre = voice->pan > -0.5f && voice->pan < 0.5f;
    korvel_dsp::add_scaled_pair(left, right, buf, voice->amp_left, centre ? voice->amp_left : voice->amp_right, n);
}

void send(const float* buf, float amp, float* bus, int n)
{
    if (bus != nullptr && amp != 0.0f) {
        korvel_dsp::add_scaled(bus, buf, amp, n);
    }
}

// Adds the sounding frames of the block from `from` on, at most n of them, to the buses at their frame 0.
void add_frames(const korvel_voice_t* voice, int from, int n, float* left, float* right, float* reverb, float* chorus)
{
    const int sounding = std::min(n, static_cast<int>(voice->block_end) - from);
    if (sounding <= 0) {
        return;
    }
    const float* buf = voice->dsp_buf + from;
    mix(voice, buf, left, right, sounding);
    send(buf, voice->amp_reverb, reverb, sounding);
    send(buf, voice->amp_chorus, chorus, sounding);
}

// A loop of fewer than two frames never plays: the sanity check turns such loops off, and a loop mode switched on
// later by a controller must not spin on one.
bool looping(const korvel_voice_t* voice)
{
    int mode = static_cast<int>(korvel_voice_gen_value(voice, GEN_SAMPLEMODE));
    bool wanted = mode == 1 || (mode == 3 && voice->volenv->section < KORVEL_ENV_RELEASE);
    return wanted && voice->osc->loop_end - voice->osc->loop_start >= 2;
}

void stop_looping(korvel_voice_t* voice)
{
    korvel_gen_t& modes = voice->gen[GEN_SAMPLEMODE];
    modes.val = 0.0;
    modes.mod = 0.0;
    modes.nrpn = 0.0;
}

// The gain the ramp of the voice's block reaches at the block's end: the volume envelope's value (linear in
// amplitude during the attack, in centibels after it) under the attenuation and the modulation LFO.
float ramp_target(const korvel_voice_t* voice)
{
    const korvel_oscillator_t* osc = voice->osc;
    const korvel_envelope1_t* volenv = voice->volenv;
    const float lfo_volume = voice->modlfo->value * voice->modlfo->volume_depth_cb;
    if (volenv->section == KORVEL_ENV_ATTACK) {
        return korvel_cb2amp(osc->attenuation_cb + lfo_volume) * volenv->value;
    }
    return korvel_cb2amp(osc->attenuation_cb + 960.0f * (1.0f - volenv->value) + lfo_volume);
}

bool filtering(const korvel_voice_t* voice)
{
    return voice->profile->voice_filter;
}

// The largest gain of the voice's low-pass filter over frequency: its pass-band gain, times the resonance peak of the
// analogue prototype of q (R. Bristow-Johnson's cookbook) where q is above 1 / sqrt(2).
float filter_peak_gain(const korvel_filter_t* filter)
{
    const float q = filter->q;
    const float flat_q = 0.7072f;
    if (!(q > flat_q)) {
        return filter->gain;
    }
    return filter->gain * q / std::sqrt(1.0f - 1.0f / (4.0f * q * q));
}

// The peak of the points the voice can still read: its loop's while it goes round the loop of its sample, else
// the whole sample's; full scale when the sample's peaks are unknown. A voice that leaves its loop at release
// (mode 3) still has the points after the loop to play.
float sample_peak(const korvel_voice_t* voice)
{
    const korvel_oscillator_t* osc = voice->osc;
    const korvel_sample_t* sample = osc->sample;
    if (sample->peaks_valid == 0) {
        return 1.0f;
    }
    const bool inside_own_loop = osc->loop_start >= static_cast<int>(sample->lstart) &&
                                 osc->loop_end <= static_cast<int>(sample->lend);
    if (!(osc->has_looped && inside_own_loop && looping(voice))) {
        return sample->peak;
    }
    const bool leaves_at_release = static_cast<int>(korvel_voice_gen_value(voice, GEN_SAMPLEMODE)) == 3;
    return leaves_at_release ? std::max(sample->loop_peak, sample->tail_peak) : sample->loop_peak;
}

// The most any bus takes of the voice, whatever its pan and send controllers do: a pan gain reaches 1 at a side,
// and a send its profile's gain at the top. The master gain counts only above 1: turned down, it may come back
// at any time, and a voice ended meanwhile would be missing.
float bus_gain_bound(const korvel_voice_t* voice)
{
    const korvel_profile_t* profile = voice->profile;
    return std::max({1.0f, profile->reverb_send_gain, profile->chorus_send_gain}) * std::max(1.0f, voice->synth_gain);
}

// The loudest the voice can be made to sound from its next block on, on any bus, as a share of full scale:
// the sample's peak under the least attenuation its controllers, pressure or pitch wheel can still bring (a swell
// of volume or expression from nothing is common, while a key is held and in the release alike) with the
// modulation LFO at its deepest, the envelope's value, the bus bound, the filter's resonance and what
// interpolation between points can add to their peak.
float loudest_output(const korvel_voice_t* voice)
{
    constexpr float interpolation_overshoot = 1.25f;
    const korvel_oscillator_t* osc = voice->osc;
    const float lfo_cb = std::fabs(voice->modlfo->volume_depth_cb);
    const float attenuation_cb = std::min(osc->attenuation_cb, voice->least_attenuation_cb);
    // 10^(-cB / 200), not by korvel_cb2amp: its table ends at 96 dB, and a loud voice can still be heard below that.
    constexpr float log2_10_per_200 = 3.321928f / 200.0f;
    const float cb = attenuation_cb + 960.0f * (1.0f - voice->volenv->value) - lfo_cb;
    float gain = std::exp2(-cb * log2_10_per_200) * bus_gain_bound(voice);
    if (filtering(voice)) {
        gain *= filter_peak_gain(voice->filter);
    }
    return gain * sample_peak(voice) * interpolation_overshoot;
}

bool below_noise_floor(const korvel_voice_t* voice)
{
    const korvel_oscillator_t* osc = voice->osc;
    if (voice->volenv->section == KORVEL_ENV_ATTACK) {
        return false;
    }
    if (voice->profile->level_end_test) {
        return loudest_output(voice) < KORVEL_LEVEL_FLOOR;
    }
    float loudest = korvel_cb2amp(osc->min_attenuation_cb + 960.0f * (1.0f - voice->volenv->value));
    return loudest < (osc->has_looped ? voice->noise_floor_looped : voice->noise_floor);
}

// Sets block_end and block_ends from frame `from` of the block on: a sample that does not loop sounds while its
// phase lies on it (the last frame at or before its end).
void set_block_end(korvel_voice_t* voice, int from)
{
    voice->block_end = KORVEL_BUFSIZE;
    voice->block_ends = 0;
    if (looping(voice)) {
        return;
    }
    const korvel_oscillator_t* osc = voice->osc;
    int64_t distance = (static_cast<int64_t>(osc->end) << 32) - position(osc);
    int64_t left_frames = distance < 0 ? -1 : distance / std::max<int64_t>(step(osc), 1);
    if (left_frames < KORVEL_BUFSIZE - from) {
        voice->block_end = static_cast<unsigned int>(from + std::max<int64_t>(left_frames, 0));
        voice->block_ends = 1;
    }
}

// Steps the envelopes and LFOs for the voice's next block and sets its gain ramp, pitch, filter and sounding frames;
// block_start goes back to 0 and nothing is rendered yet. A voice that has nothing left to sound is ended here; a
// block that stays silent (delay, or no gain) keeps block_end at 0.
void plan_block(korvel_voice_t* voice)
{
    voice->block_start = 0;
    voice->block_end = 0;
    voice->block_ends = 0;
    korvel_oscillator_t* osc = voice->osc;
    if (osc->sample == nullptr) {
        korvel_voice_end(voice);
        return;
    }
    korvel_voice_check_sample_sanity(voice);
    if (!korvel_voice_is_playing(voice)) {
        return;
    }

    korvel_envelope1_t* volenv = voice->volenv;
    envelope1_preprocess(volenv);
    if (volenv->section == KORVEL_ENV_FINISHED) {
        korvel_voice_end(voice);
        return;
    }
    envelope2_preprocess(voice->modenv);
    lfo2_preprocess(voice->modlfo, osc->ticks);
    lfo1_preprocess(voice->viblfo, osc->ticks);
    if (volenv->section == KORVEL_ENV_DELAY) {
        return;
    }
    if (below_noise_floor(voice)) {
        korvel_voice_end(voice);
        return;
    }
    const float target = ramp_target(voice);
    voice->amp = voice->prev_amp;
    voice->ramp_from = 0;
    voice->amp_incr = (target - voice->prev_amp) / BLOCK_FRAMES;
    if (voice->prev_amp == 0.0f && voice->amp_incr == 0.0f) {
        return;
    }
    oscillator_preprocess(osc, voice->viblfo, voice->modlfo, voice->modenv);
    filter_preprocess(voice->filter, voice->modlfo, voice->modenv, voice->output_rate);
    set_block_end(voice, 0);
}

// After a controller moved a generator inside the block: the rest of the block ramps from the present gain to the
// new target and plays at the new pitch and cut-off, from the frame the voice has reached.
void replan_rest(korvel_voice_t* voice)
{
    const int section = voice->volenv->section;
    if (section == KORVEL_ENV_DELAY || section == KORVEL_ENV_FINISHED) {
        return;
    }
    const int from = static_cast<int>(voice->block_start);
    const float target = ramp_target(voice);
    voice->amp = gain_at(voice, from);
    voice->ramp_from = static_cast<unsigned short>(from);
    voice->amp_incr = (target - voice->amp) / static_cast<float>(KORVEL_BUFSIZE - from);
    if (voice->amp == 0.0f && voice->amp_incr == 0.0f) {
        voice->block_end = 0;
        return;
    }
    oscillator_preprocess(voice->osc, voice->viblfo, voice->modlfo, voice->modenv);
    filter_preprocess(voice->filter, voice->modlfo, voice->modenv, voice->output_rate);
    set_block_end(voice, from);
}

// Renders frames [from, to) of the block into dsp_buf, going round the loop where it has one.
void render_oscillator(korvel_voice_t* voice, int from, int to)
{
    korvel_oscillator_t* osc = voice->osc;
    if (!looping(voice)) {
        render_span(voice, from, to);
        return;
    }
    const int64_t loop_end = static_cast<int64_t>(osc->loop_end) << 32;
    const int loop_length = osc->loop_end - osc->loop_start;
    int done = from;
    int64_t n = from + frames_until(osc, loop_end);
    while (n < to) {
        render_span(voice, done, static_cast<int>(n));
        done = static_cast<int>(n);
        osc->phase_int -= loop_length;
        n += frames_until(osc, loop_end);
        osc->has_looped = 1;
    }
    render_span(voice, done, to);
}

// Filters frames [from, to) of dsp_buf; glides while new coefficients are pending.
void filter_frames(korvel_voice_t* voice, int from, int to)
{
    if (filtering(voice)) {
        filter_process2(voice->filter, voice->dsp_buf + from, to - from);
    }
}

void render_frames(korvel_voice_t* voice, int from, int to)
{
    render_oscillator(voice, from, to);
    filter_frames(voice, from, to);
}

// The block's first `frames` frames are out: a block that sounded passes its gain and time on to the next.
void finish_block(korvel_voice_t* voice, int frames)
{
    if (voice->block_end > 0) {
        voice->prev_amp = gain_at(voice, frames);
        voice->osc->ticks += static_cast<unsigned int>(frames);
    }
    voice->block_start = KORVEL_BUFSIZE;
}

// Renders the part's next frames up to the end of the voice's block (a part crosses it at most once): the frames
// go to a run to mix, and a filter that is not open runs over them later with other voices'
// (korvel_voice_filter_parts), before the next block's coefficients are set.
void render_run(korvel_voice_t* voice)
{
    if (voice->block_start >= KORVEL_BUFSIZE) {
        plan_block(voice);
        if (!korvel_voice_is_playing(voice)) {
            voice->part_left = 0;
            return;
        }
    } else if (voice->replan != 0) {
        replan_rest(voice);
    }
    voice->replan = 0;
    const int from = static_cast<int>(voice->block_start);
    const int m = std::min(static_cast<int>(voice->part_left), KORVEL_BUFSIZE - from);
    const int sounding_end = std::min(from + m, static_cast<int>(voice->block_end));
    if (sounding_end > from) {
        render_oscillator(voice, from, sounding_end);
        if (filtering(voice) && voice->filter->open == 0) {
            voice->filter_from = static_cast<unsigned short>(from);
            voice->filter_count = static_cast<unsigned short>(sounding_end - from);
        } else {
            filter_frames(voice, from, sounding_end);
        }
        voice->runs[voice->nruns++] = korvel_voice_run_t{static_cast<unsigned short>(from),
                                                         static_cast<unsigned short>(sounding_end - from),
                                                         voice->part_done};
    }
    voice->block_start += static_cast<unsigned int>(m);
    voice->part_done = static_cast<unsigned short>(voice->part_done + m);
    voice->part_left = static_cast<unsigned short>(voice->part_left - m);
    if (voice->block_ends != 0 && voice->block_start >= voice->block_end) {
        korvel_voice_end(voice);
        voice->part_left = 0;
        return;
    }
    if (voice->block_start >= KORVEL_BUFSIZE) {
        finish_block(voice, KORVEL_BUFSIZE);
    }
}

} // namespace

extern "C" {

int korvel_voice_write(korvel_voice_t* voice, float* left, float* right, float* reverb, float* chorus)
{
    plan_block(voice);
    if (korvel_voice_is_playing(voice) && voice->block_end > 0) {
        render_frames(voice, 0, static_cast<int>(voice->block_end));
    }
    add_frames(voice, 0, KORVEL_BUFSIZE, left, right, reverb, chorus);
    if (voice->block_ends != 0) {
        korvel_voice_end(voice);
        return 0;
    }
    finish_block(voice, KORVEL_BUFSIZE);
    return 0;
}

int korvel_voice_write_part(korvel_voice_t* voice, int n, float* left, float* right, float* reverb, float* chorus)
{
    korvel_voice_render_part(voice, n);
    korvel_voice_filter_parts(&voice, 1);
    korvel_voice_render_part_rest(voice);
    korvel_voice_filter_parts(&voice, 1);
    korvel_voice_mix_part(voice, left, right, reverb, chorus);
    return 0;
}

void korvel_voice_render_part(korvel_voice_t* voice, int n)
{
    voice->nruns = 0;
    voice->filter_count = 0;
    voice->part_done = 0;
    voice->part_left = static_cast<unsigned short>(n);
    render_run(voice);
}

void korvel_voice_render_part_rest(korvel_voice_t* voice)
{
    if (voice->part_left > 0 && korvel_voice_is_playing(voice)) {
        render_run(voice);
    }
}

void korvel_voice_filter_parts(korvel_voice_t* const* voices, int nvoices)
{
    // Longest runs first, so that the runs side by side in a vector are of lengths as close as can be.
    int order[KORVEL_VOICE_MAX_BATCH];
    int waiting = 0;
    for (int v = 0; v < nvoices; ++v) {
        if (voices[v]->filter_count > 0) {
            int at = waiting++;
            for (; at > 0 && voices[order[at - 1]]->filter_count < voices[v]->filter_count; --at) {
                order[at] = order[at - 1];
            }
            order[at] = v;
        }
    }
    for (int first = 0; first < waiting; first += KORVEL_FILTER_LANES) {
        const int lanes = std::min(static_cast<int>(KORVEL_FILTER_LANES), waiting - first);
        korvel_filter_t* filters[KORVEL_FILTER_LANES];
        float* bufs[KORVEL_FILTER_LANES];
        int counts[KORVEL_FILTER_LANES];
        for (int l = 0; l < lanes; ++l) {
            korvel_voice_t* voice = voices[order[first + l]];
            filters[l] = voice->filter;
            bufs[l] = voice->dsp_buf + voice->filter_from;
            counts[l] = voice->filter_count;
            voice->filter_count = 0;
        }
        if (lanes == 1) {
            filter_process2(filters[0], bufs[0], counts[0]);
        } else {
            filter_process_lanes(filters, bufs, counts, lanes);
        }
    }
}

void korvel_voice_mix_part(const korvel_voice_t* voice, float* left, float* right, float* reverb, float* chorus)
{
    for (int r = 0; r < voice->nruns; ++r) {
        const korvel_voice_run_t& run = voice->runs[r];
        const float* buf = voice->dsp_buf + run.from;
        mix(voice, buf, left + run.at, right + run.at, run.count);
        send(buf, voice->amp_reverb, reverb != nullptr ? reverb + run.at : nullptr, run.count);
        send(buf, voice->amp_chorus, chorus != nullptr ? chorus + run.at : nullptr, run.count);
    }
}

void korvel_voice_enter_release(korvel_voice_t* voice)
{
    // A voice handing out its block in parts renders only what it has handed out: the release starts with a new
    // block at the frame reached, not at the end of this one.
    if (voice->profile->event_offsets && voice->block_start < KORVEL_BUFSIZE && voice->block_start > 0) {
        finish_block(voice, static_cast<int>(voice->block_start));
    }
    for (korvel_envelope_t* env : {voice->volenv, voice->modenv}) {
        env->section = KORVEL_ENV_RELEASE;
        env->ticks = 0;
    }
}

void korvel_voice_end(korvel_voice_t* voice)
{
    voice->chan = KORVEL_NO_CHANNEL;
    for (korvel_envelope_t* env : {voice->volenv, voice->modenv}) {
        env->section = KORVEL_ENV_FINISHED;
        env->ticks = 0;
    }
    voice->status = KORVEL_VOICE_OFF;
    korvel_sample_t* sample = voice->osc->sample;
    if (sample == nullptr) {
        std::printf("Error: A sample is zero.\n");
        return;
    }
    // Once the count reaches 0 the sample may be released by another thread: read it before.
    auto notify = sample->notify;
    oscillator_set_sample(voice->osc, nullptr);
    if (sample->use_count.fetch_sub(1) == 1 && notify != nullptr) {
        notify(sample, SAMPLE_EVENT_DONE);
    }
}

void korvel_voice_check_sample_sanity(korvel_voice_t* voice)
{
    korvel_oscillator_t* osc = voice->osc;
    const korvel_sample_t* sample = osc->sample;
    if (osc->sanity_request == KORVEL_OSC_NO_CHECK || sample == nullptr) {
        return;
    }
    const int first = static_cast<int>(sample->pstart);
    const int last = static_cast<int>(sample->pend);
    osc->start = std::clamp(osc->start, first, last);
    osc->end = std::clamp(osc->end, first, last);
    if (osc->start > osc->end) {
        std::swap(osc->start, osc->end);
    }
    if (osc->start == osc->end) {
        korvel_voice_end(voice);
        return;
    }
    int mode = static_cast<int>(korvel_voice_gen_value(voice, GEN_SAMPLEMODE));
    if (mode == 1 || mode == 3) {
        osc->loop_start = std::clamp(osc->loop_start, first + 1, std::max(first + 1, last - 1));
        osc->loop_end = std::clamp(osc->loop_end, first + 1, std::max(first + 1, last - 1));
        if (osc->loop_start > osc->loop_end) {
            std::swap(osc->loop_start, osc->loop_end);
        }
        if (osc->loop_end - osc->loop_start < 2) {
            stop_looping(voice);
        }
        bool inside_own_loop = osc->loop_start >= static_cast<int>(sample->lstart) &&
                               osc->loop_end <= static_cast<int>(sample->lend);
        voice->noise_floor_looped = inside_own_loop && sample->noise_floor_valid
                                        ? static_cast<float>(sample->noise_floor_amp) / voice->synth_gain
                                        : voice->noise_floor;
    }
    if (osc->sanity_request == KORVEL_OSC_STARTUP_CHECK) {
        if ((osc->end - 1) - (osc->start + 1) < 2 && (mode == 1 || mode == 3)) {
            stop_looping(voice);
        }
        osc->phase_int = osc->start;
        osc->phase_fract = 0;
    }
    if (looping(voice) && osc->phase_int >= osc->loop_end) {
        osc->phase_int = osc->loop_start;
    }
    osc->sanity_request = KORVEL_OSC_NO_CHECK;
}

} // extern "C"
