#include "sampler/src/voice/korvel_voice_steps.h"

#include "sampler/src/voice/korvel_chan_state.h"
#include "sampler/src/sys/korvel_conv.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/voice/korvel_tuning.h"
#include "sampler/src/voice/korvel_voice_inputs.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The generators the runtime set-up applies, in order; the coarse offsets, key scalings, sustains and tunings are
// applied together with their partners.
constexpr int runtime_gens[] = {
    GEN_STARTADDROFS, GEN_ENDADDROFS, GEN_STARTLOOPADDROFS, GEN_ENDLOOPADDROFS, GEN_MODLFOTOPITCH,
    GEN_VIBLFOTOPITCH, GEN_MODENVTOPITCH, GEN_FILTERFC, GEN_FILTERQ, GEN_MODLFOTOFILTERFC, GEN_MODENVTOFILTERFC,
    GEN_MODLFOTOVOL, GEN_CHORUSSEND, GEN_REVERBSEND, GEN_PAN, GEN_MODLFODELAY, GEN_MODLFOFREQ, GEN_VIBLFODELAY,
    GEN_VIBLFOFREQ, GEN_MODENVDELAY, GEN_MODENVATTACK, GEN_MODENVHOLD, GEN_MODENVDECAY, GEN_MODENVRELEASE,
    GEN_VOLENVDELAY, GEN_VOLENVATTACK, GEN_VOLENVHOLD, GEN_VOLENVDECAY, GEN_VOLENVRELEASE, GEN_KEYNUM,
    GEN_VELOCITY, GEN_ATTENUATION, GEN_OVERRIDEROOTKEY, GEN_PITCH};

constexpr float BLOCK_FRAMES = static_cast<float>(KORVEL_BUFSIZE);

float value_of(const korvel_voice_t* voice, int gen)
{
    return korvel_voice_gen_value(voice, gen);
}

unsigned int blocks(const korvel_voice_t* voice, float seconds)
{
    return static_cast<unsigned int>(voice->output_rate * seconds / BLOCK_FRAMES);
}

void set_section(korvel_envelope_t* env, int section, unsigned int count, float coeff, float incr, float min,
                 float max)
{
    korvel_env_section_t& s = env->data[section];
    s.count = count;
    s.coeff = coeff;
    s.incr = incr;
    s.min = min;
    s.max = max;
}

void set_attack(korvel_voice_t* voice, korvel_envelope_t* env, float g)
{
    unsigned int n = blocks(voice, korvel_tc2sec_attack(g));
    set_section(env, KORVEL_ENV_ATTACK, n + 1, 1.0f, 1.0f / static_cast<float>(n + 1), -1.0f, 1.0f);
}

void set_release(korvel_voice_t* voice, korvel_envelope_t* env, float g, float lowest, float max)
{
    unsigned int n = blocks(voice, korvel_tc2sec_release(std::max(g, lowest)));
    set_section(env, KORVEL_ENV_RELEASE, n + 1, 1.0f, -1.0f / static_cast<float>(n + 1), 0.0f, max);
}

void set_hold(korvel_voice_t* voice, korvel_envelope_t* env, int time_gen, int keynum_gen)
{
    unsigned int n = static_cast<unsigned int>(calculate_hold_decay_buffers(voice, time_gen, keynum_gen, 0));
    set_section(env, KORVEL_ENV_HOLD, n, 1.0f, 0.0f, -1.0f, 2.0f);
}

float set_decay(korvel_voice_t* voice, korvel_envelope_t* env, int time_gen, int sustain_gen, int keynum_gen)
{
    unsigned int n = static_cast<unsigned int>(calculate_hold_decay_buffers(voice, time_gen, keynum_gen, 1));
    float sustain = std::clamp(1.0f - value_of(voice, sustain_gen) / 1000.0f, 0.0f, 1.0f);
    set_section(env, KORVEL_ENV_DECAY, n, 1.0f, n != 0 ? -1.0f / static_cast<float>(n) : 0.0f, sustain, 2.0f);
    return sustain;
}

void set_addresses(korvel_voice_t* voice, int fine, int coarse)
{
    const korvel_sample_t* sample = voice->osc->sample;
    if (sample == nullptr) {
        return;
    }
    int offset = static_cast<int>(value_of(voice, fine)) + 32768 * static_cast<int>(value_of(voice, coarse));
    korvel_oscillator_t* osc = voice->osc;
    switch (fine) {
    case GEN_STARTADDROFS:
        osc->start = static_cast<int>(sample->pstart) + offset;
        break;
    case GEN_ENDADDROFS:
        osc->end = static_cast<int>(sample->pend) + offset;
        break;
    case GEN_STARTLOOPADDROFS:
        osc->loop_start = static_cast<int>(sample->lstart) + offset;
        break;
    default:
        osc->loop_end = static_cast<int>(sample->lend) + offset;
        break;
    }
    if (osc->sanity_request == KORVEL_OSC_NO_CHECK) {
        osc->sanity_request = KORVEL_OSC_CHECK;
    }
}

void set_root(korvel_voice_t* voice)
{
    const korvel_sample_t* sample = voice->osc->sample;
    if (sample == nullptr || sample->rate == 0) {
        return;
    }
    double root_key = voice->gen[GEN_OVERRIDEROOTKEY].val;
    // The sample's pitch correction raises the note by its cents (SoundFont 2.04, section 7.10), whichever key
    // stands as the root: it belongs to the recording, not to the key.
    float root_cents = root_key > -1.0 ? static_cast<float>(100.0 * root_key) : 100.0f * static_cast<float>(sample->pitch);
    float root_pitch = root_cents - static_cast<float>(sample->adjust);
    voice->osc->root_freq_hz = korvel_act2hz(root_pitch) * voice->output_rate / static_cast<float>(sample->rate);
}

// The attenuation in cB, of which the profile may take only a share of the zone's own value.
float attenuation_cb(const korvel_voice_t* voice)
{
    const korvel_gen_t& g = voice->gen[GEN_ATTENUATION];
    const float value = value_of(voice, GEN_ATTENUATION);
    const korvel_sample_t* sample = voice->osc->sample;
    if (g.flags == GEN_ABS_NRPN || (sample != nullptr && sample->attenuation_in_full != 0)) {
        return value;
    }
    return value - (1.0f - voice->profile->attenuation_share) * static_cast<float>(g.val);
}

void update_sends(korvel_voice_t* voice, int gen, float g)
{
    const float gain = gen == GEN_CHORUSSEND ? voice->profile->chorus_send_gain : voice->profile->reverb_send_gain;
    float send = std::clamp(g / 1000.0f, 0.0f, 1.0f) * gain;
    if (gen == GEN_CHORUSSEND) {
        voice->chorus_send = send;
        voice->amp_chorus = send * voice->synth_gain;
    } else {
        voice->reverb_send = send;
        voice->amp_reverb = send * voice->synth_gain;
    }
}

bool has_controller_source(const korvel_mod_t& m)
{
    return (m.flags1 & KORVEL_MOD_CC) || (m.flags2 & KORVEL_MOD_CC);
}

bool source_moves(unsigned char src, unsigned char flags)
{
    if (flags & KORVEL_MOD_CC) {
        return true;
    }
    switch (src) {
    case KORVEL_MOD_KEYPRESSURE:
    case KORVEL_MOD_CHANNELPRESSURE:
    case KORVEL_MOD_PITCHWHEEL:
    case KORVEL_MOD_PITCHWHEELSENS:
        return true;
    default:
        return false;
    }
}

// A source that the player can move while the note sounds: a controller, pressure, the pitch wheel or its range.
bool moves_during_note(const korvel_mod_t& m)
{
    return source_moves(m.src1, m.flags1) || source_moves(m.src2, m.flags2);
}

// The attenuation with every modulator on it that `picked` takes at the least it can give; never below 0.
float lowest_attenuation(korvel_voice_t* voice, bool (*picked)(const korvel_mod_t&))
{
    float lower = attenuation_cb(voice);
    for (int i = 0; i < voice->mod_count; i++) {
        const korvel_mod_t& m = voice->mod[i];
        if (m.dest != GEN_ATTENUATION || !picked(m)) {
            continue;
        }
        float current = korvel_mod_get_value(&m, voice->channel, voice);
        bool can_go_negative = m.src1 == KORVEL_MOD_PITCHWHEEL || (m.flags1 & KORVEL_MOD_BIPOLAR) ||
                               (m.flags2 & KORVEL_MOD_BIPOLAR) || m.amount < 0.0;
        float smallest = can_go_negative ? -static_cast<float>(std::fabs(m.amount)) : 0.0f;
        lower -= current - smallest;
    }
    return std::max(lower, 0.0f);
}

// The modulation of one generator is the sum of every modulator that drives it.
void remodulate(korvel_voice_t* voice, int dest)
{
    double sum = 0.0;
    for (int k = 0; k < voice->mod_count; k++) {
        if (voice->mod[k].dest == dest) {
            sum += korvel_mod_get_value(&voice->mod[k], voice->channel, voice);
        }
    }
    voice->gen[dest].mod = sum;
    korvel_voice_update_param(voice, dest);
}

} // namespace

extern "C" {

void korvel_voice_update_param(korvel_voice_t* voice, int gen)
{
    voice->replan = 1;
    const float g = value_of(voice, gen);
    korvel_oscillator_t* osc = voice->osc;
    const float rate = voice->output_rate;
    switch (gen) {
    case GEN_STARTADDROFS:
    case GEN_STARTADDRCOARSEOFS:
        set_addresses(voice, GEN_STARTADDROFS, GEN_STARTADDRCOARSEOFS);
        break;
    case GEN_ENDADDROFS:
    case GEN_ENDADDRCOARSEOFS:
        set_addresses(voice, GEN_ENDADDROFS, GEN_ENDADDRCOARSEOFS);
        break;
    case GEN_STARTLOOPADDROFS:
    case GEN_STARTLOOPADDRCOARSEOFS:
        set_addresses(voice, GEN_STARTLOOPADDROFS, GEN_STARTLOOPADDRCOARSEOFS);
        break;
    case GEN_ENDLOOPADDROFS:
    case GEN_ENDLOOPADDRCOARSEOFS:
        set_addresses(voice, GEN_ENDLOOPADDROFS, GEN_ENDLOOPADDRCOARSEOFS);
        break;
    case GEN_MODLFOTOPITCH:
        voice->modlfo->pitch_depth_cents = std::clamp(g, -12000.0f, 12000.0f);
        break;
    case GEN_VIBLFOTOPITCH:
        voice->viblfo->pitch_depth_cents = std::clamp(g, -12000.0f, 12000.0f);
        break;
    case GEN_MODENVTOPITCH:
        voice->modenv->pitch_depth_cents = std::clamp(g, -12000.0f, 12000.0f);
        break;
    case GEN_FILTERFC:
        voice->filter->cutoff_cents = g;
        voice->filter->last_fc_hz = -1.0f;
        break;
    case GEN_FILTERQ: {
        float q_db = std::clamp(g / 10.0f, 0.0f, 96.0f);
        voice->filter->q = std::pow(10.0f, (q_db - 3.01f) / 20.0f);
        voice->filter->gain = 1.0f / std::sqrt(voice->filter->q);
        voice->filter->flat_resonance = q_db == 0.0f ? 1 : 0;
        voice->filter->last_fc_hz = -1.0f;
        break;
    }
    case GEN_MODLFOTOFILTERFC:
        voice->modlfo->fc_depth_cents = std::clamp(g, -12000.0f, 12000.0f);
        break;
    case GEN_MODENVTOFILTERFC:
        voice->modenv->fc_depth_cents = g;
        break;
    case GEN_MODLFOTOVOL:
        voice->modlfo->volume_depth_cb = std::clamp(g, -960.0f, 960.0f);
        break;
    case GEN_CHORUSSEND:
    case GEN_REVERBSEND:
        update_sends(voice, gen, g);
        break;
    case GEN_PAN:
        voice->pan = g;
        voice->amp_left = korvel_pan(g, 1) * voice->synth_gain;
        voice->amp_right = korvel_pan(g, 0) * voice->synth_gain;
        break;
    case GEN_MODLFODELAY:
        voice->modlfo->delay = static_cast<unsigned int>(rate * korvel_tc2sec_delay(g));
        break;
    case GEN_VIBLFODELAY:
        voice->viblfo->delay = static_cast<unsigned int>(rate * korvel_tc2sec_delay(g));
        break;
    case GEN_MODLFOFREQ:
        voice->modlfo->increment = 1024.0f * korvel_act2hz(std::clamp(g, -16000.0f, 4500.0f)) / rate;
        break;
    case GEN_VIBLFOFREQ:
        voice->viblfo->increment = 1024.0f * korvel_act2hz(std::clamp(g, -16000.0f, 4500.0f)) / rate;
        break;
    case GEN_MODENVDELAY:
        set_section(voice->modenv, KORVEL_ENV_DELAY, blocks(voice, korvel_tc2sec_delay(g)), 0.0f, 0.0f, -1.0f, 1.0f);
        break;
    case GEN_VOLENVDELAY:
        set_section(voice->volenv, KORVEL_ENV_DELAY, blocks(voice, korvel_tc2sec_delay(g)), 0.0f, 0.0f, -1.0f, 1.0f);
        break;
    case GEN_MODENVATTACK:
        set_attack(voice, voice->modenv, g);
        break;
    case GEN_VOLENVATTACK:
        set_attack(voice, voice->volenv, g);
        voice->volenv->attack_timecents = std::clamp(g, -12000.0f, 8000.0f);
        break;
    case GEN_MODENVHOLD:
    case GEN_KEYTOMODENVHOLD:
        set_hold(voice, voice->modenv, GEN_MODENVHOLD, GEN_KEYTOMODENVHOLD);
        break;
    case GEN_VOLENVHOLD:
    case GEN_KEYTOVOLENVHOLD:
        set_hold(voice, voice->volenv, GEN_VOLENVHOLD, GEN_KEYTOVOLENVHOLD);
        break;
    case GEN_MODENVDECAY:
    case GEN_MODENVSUSTAIN:
    case GEN_KEYTOMODENVDECAY:
        set_decay(voice, voice->modenv, GEN_MODENVDECAY, GEN_MODENVSUSTAIN, GEN_KEYTOMODENVDECAY);
        break;
    case GEN_VOLENVDECAY:
    case GEN_VOLENVSUSTAIN:
    case GEN_KEYTOVOLENVDECAY:
        voice->volenv->sustain_level =
            set_decay(voice, voice->volenv, GEN_VOLENVDECAY, GEN_VOLENVSUSTAIN, GEN_KEYTOVOLENVDECAY);
        break;
    case GEN_MODENVRELEASE:
        set_release(voice, voice->modenv, std::min(g, 8000.0f), -12000.0f, 2.0f);
        break;
    case GEN_VOLENVRELEASE:
        set_release(voice, voice->volenv, std::min(g, 8000.0f), -7200.0f, 1.0f);
        voice->volenv->release_timecents = std::clamp(g, -7200.0f, 8000.0f);
        break;
    case GEN_KEYNUM:
        if (g >= 0.0f) {
            voice->key = static_cast<unsigned char>(std::min(g, 127.0f));
        }
        break;
    case GEN_VELOCITY:
        if (g > 0.0f) {
            voice->vel = static_cast<unsigned char>(std::min(g, 127.0f));
        }
        break;
    case GEN_ATTENUATION:
        osc->attenuation_cb = std::clamp(attenuation_cb(voice), 0.0f, 1440.0f);
        break;
    case GEN_COARSETUNE:
    case GEN_FINETUNE:
    case GEN_PITCH:
        osc->pitch_cents = value_of(voice, GEN_PITCH) + 100.0f * value_of(voice, GEN_COARSETUNE) +
                           value_of(voice, GEN_FINETUNE);
        break;
    case GEN_OVERRIDEROOTKEY:
        set_root(voice);
        break;
    default:
        break;
    }
}

void korvel_voice_calculate_runtime_synthesis_parameters(korvel_voice_t* voice)
{
    for (int i = 0; i < voice->mod_count; i++) {
        const korvel_mod_t& m = voice->mod[i];
        voice->gen[m.dest].mod += korvel_mod_get_value(&m, voice->channel, voice);
    }
    const double scale = value_of(voice, GEN_SCALETUNE);
    const korvel_tuning_t* tuning = voice->channel != nullptr ? voice->channel->tuning : nullptr;
    if (tuning != nullptr) {
        voice->gen[GEN_PITCH].val = tuning->pitch[60] + scale / 100.0 * (tuning->pitch[voice->key] - tuning->pitch[60]);
    } else {
        voice->gen[GEN_PITCH].val = 6000.0 + scale * (voice->key - 60);
    }
    for (int gen : runtime_gens) {
        korvel_voice_update_param(voice, gen);
    }
    voice->osc->min_attenuation_cb = korvel_voice_get_lower_boundary_for_attenuation(voice);
    voice->least_attenuation_cb = lowest_attenuation(voice, moves_during_note);
}

float korvel_voice_get_lower_boundary_for_attenuation(korvel_voice_t* voice)
{
    return lowest_attenuation(voice, has_controller_source);
}

int calculate_hold_decay_buffers(korvel_voice_t* voice, int time_gen, int keynum_gen, int is_decay)
{
    float tc = (60.0f - voice->key) * value_of(voice, keynum_gen) + value_of(voice, time_gen);
    tc = std::min(tc, is_decay ? 8000.0f : 5000.0f);
    if (!is_decay && tc <= -32768.0f) {
        return 0;
    }
    tc = std::max(tc, -12000.0f);
    double n = std::round(voice->output_rate * korvel_tc2sec(tc) / BLOCK_FRAMES);
    return static_cast<int>(std::min(n, static_cast<double>(std::numeric_limits<int>::max())));
}

int korvel_voice_modulate(korvel_voice_t* voice, int is_cc, int ctrl)
{
    for (int i = 0; i < voice->mod_count; i++) {
        const korvel_mod_t& m = voice->mod[i];
        bool uses = (m.src1 == ctrl && ((m.flags1 & KORVEL_MOD_CC) != 0) == (is_cc != 0)) ||
                    (m.src2 == ctrl && ((m.flags2 & KORVEL_MOD_CC) != 0) == (is_cc != 0));
        if (uses) {
            remodulate(voice, m.dest);
        }
    }
    return 0;
}

int korvel_voice_modulate_all(korvel_voice_t* voice)
{
    for (int i = 0; i < voice->mod_count; i++) {
        remodulate(voice, voice->mod[i].dest);
    }
    return 0;
}

} // extern "C"
