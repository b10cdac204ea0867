#include "sampler/src/voice/korvel_voice.h"

#include "sampler/src/voice/korvel_chan_state.h"
#include "sampler/src/bank/korvel_sample.h"
#include "sampler/src/sys/korvel_pages.h"
#include "sampler/src/sys/korvel_sys.h"
#include "sampler/src/voice/korvel_voice_inputs.h"
#include "sampler/src/voice/korvel_voice_steps.h"

#include "sampler/src/sys/korvel_conv.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <type_traits>

namespace {

constexpr float MIN_GAIN = 1e-7f;
constexpr korvel_profile_t AS_BUILT{};

// The parts come cleared from the system and go back to it, so none may need a destructor.
static_assert(std::is_trivially_destructible_v<korvel_voice_parts_t>);

size_t parts_bytes(int count)
{
    return static_cast<size_t>(count) * sizeof(korvel_voice_parts_t);
}

} // namespace

extern "C" {

korvel_voice_parts_t* new_korvel_voice_parts(int count)
{
    auto* parts = static_cast<korvel_voice_parts_t*>(korvel_pages_new(parts_bytes(count)));
    if (parts == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
    }
    return parts;
}

void delete_korvel_voice_parts(korvel_voice_parts_t* parts, int count)
{
    korvel_pages_delete(parts, parts_bytes(count));
}

korvel_voice_t* new_korvel_voice(korvel_synth_t* synth, float output_rate)
{
    korvel_voice_parts_t* parts = new_korvel_voice_parts(1);
    auto* arrays = new (std::nothrow) korvel_voice_arrays_t{};
    if (parts == nullptr || arrays == nullptr) {
        if (arrays == nullptr) {
            korvel_log(KORVEL_ERR, "Out of memory");
        }
        delete_korvel_voice_parts(parts, 1);
        delete arrays;
        return nullptr;
    }
    korvel_voice_t* voice = new_korvel_voice_in(synth, output_rate, parts, arrays);
    voice->own_parts = parts;
    voice->own_arrays = arrays;
    return voice;
}

korvel_voice_t* new_korvel_voice_in(korvel_synth_t* synth, float output_rate, korvel_voice_parts_t* parts,
                                    korvel_voice_arrays_t* arrays)
{
    korvel_voice_t* voice = &parts->voice;
    voice->gen = arrays->gen;
    voice->mod = arrays->mod;
    voice->dsp_buf = arrays->dsp_buf;
    voice->owner = synth;
    voice->profile = &AS_BUILT;
    voice->status = KORVEL_VOICE_CLEAN;
    voice->chan = KORVEL_NO_CHANNEL;
    voice->output_rate = output_rate;
    korvel_lfo_setup(&parts->viblfo, voice);
    korvel_lfo_setup(&parts->modlfo, voice);
    korvel_envelope_setup(&parts->volenv, voice);
    korvel_envelope_setup(&parts->modenv, voice);
    korvel_oscillator_setup(&parts->osc, voice, new (&parts->sampler) Sampler16);
    korvel_filter_setup(&parts->filter, voice);
    korvel_voice_fx_setup(&parts->fx, voice, parts->saturation);
    voice->viblfo = &parts->viblfo;
    voice->modlfo = &parts->modlfo;
    voice->volenv = &parts->volenv;
    voice->modenv = &parts->modenv;
    voice->osc = &parts->osc;
    voice->filter = &parts->filter;
    voice->fx = &parts->fx;
    return voice;
}

int delete_korvel_voice(korvel_voice_t* voice)
{
    if (voice == nullptr) {
        return 0;
    }
    korvel_voice_arrays_t* arrays = voice->own_arrays;
    delete_korvel_voice_parts(voice->own_parts, 1);
    delete arrays;
    return 0;
}

int korvel_voice_init(korvel_voice_t* voice, korvel_sample_t* sample, korvel_channel_t* channel, int key, int vel,
                      unsigned int id, unsigned int start_time, float gain)
{
    if (voice == nullptr || sample == nullptr || channel == nullptr) {
        korvel_log(KORVEL_ERR, "Invalid parameters for voice initialization!");
        return 1;
    }
    voice->id = id;
    voice->chan = static_cast<unsigned char>(channel->channum);
    voice->key = static_cast<unsigned char>(key);
    voice->vel = static_cast<unsigned char>(vel);
    voice->channel = channel;
    voice->mod_count = 0;
    voice->extra = 0;
    voice->synth_gain = std::max(gain, MIN_GAIN);
    voice->prev_amp = 0.0f;
    voice->amp = 0.0f;
    voice->amp_incr = 0.0f;
    voice->ramp_from = 0;

    korvel_oscillator_t* osc = voice->osc;
    oscillator_set_sample(osc, sample);
    osc->start_time = start_time;
    osc->ticks = 0;
    osc->has_looped = 0;
    osc->interp_method = channel->interp_method;
    osc->four_point_default = voice->profile->four_point_default && channel->interp_method == KORVEL_INTERP_DEFAULT;

    voice->viblfo->value = 0.0f;
    voice->modlfo->value = 0.0f;
    for (korvel_envelope_t* env : {voice->volenv, voice->modenv}) {
        env->section = KORVEL_ENV_DELAY;
        env->ticks = 0;
        env->value = 0.0f;
    }
    voice->noise_floor = KORVEL_NOISE_FLOOR / voice->synth_gain;
    voice->noise_floor_looped = voice->noise_floor;
    filter_reset(voice->filter);
    korvel_gen_init(voice->gen, channel);
    sample->use_count.fetch_add(1);
    korvel_voice_fx_reset(voice->fx);
    return 0;
}

int korvel_voice_start(korvel_voice_t* voice)
{
    korvel_voice_calculate_runtime_synthesis_parameters(voice);
    oscillator_set_loop(voice->osc, static_cast<int>(korvel_voice_gen_value(voice, GEN_SAMPLEMODE)));
    voice->osc->sanity_request = KORVEL_OSC_STARTUP_CHECK;
    voice->block_start = KORVEL_BUFSIZE;
    voice->block_end = 0;
    voice->block_ends = 0;
    voice->replan = 0;
    voice->status = KORVEL_VOICE_ON;
    return 0;
}

int korvel_voice_noteoff(korvel_voice_t* voice)
{
    if (voice->channel != nullptr && voice->channel->cc[64] >= 64) {
        voice->status = KORVEL_VOICE_SUSTAINED;
        return 0;
    }
    korvel_envelope1_t* volenv = voice->volenv;
    if (volenv->section == KORVEL_ENV_ATTACK && volenv->value > 0.0f) {
        // Start the release at the loudness the attack has reached: the attack is linear in amplitude, the
        // release linear in centibels.
        float a = voice->osc->attenuation_cb + voice->modlfo->value * voice->modlfo->volume_depth_cb;
        double x = std::pow(10.0, -a / 200.0) * volenv->value;
        double value = 1.0 - ((-200.0 * std::log10(x)) - a) / 960.0;
        volenv->value = static_cast<float>(std::clamp(value, 0.0, 1.0));
    }
    korvel_voice_enter_release(voice);
    return 0;
}

int korvel_voice_kill_excl(korvel_voice_t* voice)
{
    if (!korvel_voice_is_playing(voice)) {
        return 0;
    }
    voice->gen[GEN_EXCLUSIVECLASS].val = 0.0;
    if (voice->volenv->section != KORVEL_ENV_RELEASE) {
        korvel_voice_enter_release(voice);
    }
    voice->gen[GEN_VOLENVRELEASE].val = -200.0;
    voice->gen[GEN_MODENVRELEASE].val = -200.0;
    korvel_voice_update_param(voice, GEN_VOLENVRELEASE);
    korvel_voice_update_param(voice, GEN_MODENVRELEASE);
    return 0;
}

int korvel_voice_off(korvel_voice_t* voice)
{
    korvel_voice_end(voice);
    return 0;
}

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
    if (mod->dest >= GEN_LAST) {
        return;
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

int korvel_voice_set_param(korvel_voice_t* voice, int gen, int absolute, float value)
{
    voice->gen[gen].nrpn = value;
    voice->gen[gen].flags = absolute ? GEN_ABS_NRPN : GEN_SET;
    korvel_voice_update_param(voice, gen);
    return 0;
}

int korvel_voice_set_gain(korvel_voice_t* voice, float gain)
{
    voice->synth_gain = std::max(gain, MIN_GAIN);
    voice->amp_left = korvel_pan(voice->pan, 1) * voice->synth_gain;
    voice->amp_right = korvel_pan(voice->pan, 0) * voice->synth_gain;
    voice->amp_reverb = voice->reverb_send * voice->synth_gain;
    voice->amp_chorus = voice->chorus_send * voice->synth_gain;
    return 0;
}

unsigned int korvel_voice_get_id(const korvel_voice_t* voice)
{
    return voice->id;
}

int korvel_voice_get_channel(const korvel_voice_t* voice)
{
    return voice->chan;
}

int korvel_voice_is_playing(const korvel_voice_t* voice)
{
    return voice->status == KORVEL_VOICE_ON || voice->status == KORVEL_VOICE_SUSTAINED;
}

} // extern "C"
