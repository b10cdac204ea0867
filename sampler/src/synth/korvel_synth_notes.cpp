#include "sampler/src/synth/korvel_synth.h"

#include "sampler/src/sys/korvel_log_limit.h"

namespace {

// The verbose lines count time in ticks at this rate, whatever the output rate.
constexpr float VERBOSE_TICK_RATE = 44100.0f;

korvel_log_limit_t range_log;
korvel_log_limit_t alloc_log;

bool channel_ok(const korvel_synth_t* synth, int chan)
{
    return chan >= 0 && chan < synth->midi_channels;
}

bool is_free(const korvel_voice_t* voice)
{
    return voice->status == KORVEL_VOICE_CLEAN || voice->status == KORVEL_VOICE_OFF;
}

// A voice that is on and whose volume envelope has not yet reached its release.
bool is_held(const korvel_voice_t* voice)
{
    return voice->status == KORVEL_VOICE_ON && voice->volenv->section < KORVEL_ENV_RELEASE;
}

int voices_in_use(const korvel_synth_t* synth)
{
    int used = 0;
    for (int i = 0; i < synth->nvoice; i++) {
        used += is_free(synth->voice[i]) ? 0 : 1;
    }
    return used;
}

float seconds_since_start(const korvel_synth_t* synth)
{
    return static_cast<float>(korvel_curtime() - synth->start) / 1000.0f;
}

// Key and velocity checks of a note start; the messages are warnings.
bool note_ok(int key, int vel)
{
    if (key < 0 || key > 127) {
        korvel_log_limited(&range_log, KORVEL_WARN, "Key out of range");
        return false;
    }
    if (vel < 1 || vel > 127) {
        korvel_log_limited(&range_log, KORVEL_WARN, "Velocity out of range");
        return false;
    }
    return true;
}

int exclusive_class(const korvel_voice_t* voice)
{
    return static_cast<int>(korvel_voice_gen_value(voice, GEN_EXCLUSIVECLASS));
}

} // namespace

extern "C" {

int korvel_synth_noteon(korvel_synth_t* synth, int chan, int key, int vel)
{
    if (!channel_ok(synth, chan)) {
        return korvel_log_limited(&range_log, KORVEL_WARN, "Channel out of range");
    }
    if (vel == 0) {
        return korvel_synth_noteoff(synth, chan, key);
    }
    korvel_channel_t* channel = synth->channel[chan];
    if (channel->preset == nullptr) {
        if (synth->verbose) {
            korvel_log(KORVEL_INFO, "noteon\t%d\t%d\t%d\t%05d\t%.3f\t%.3f\t%.3f\t%d\t%s", chan, key, vel, 0,
                       static_cast<double>(static_cast<float>(synth->ticks) / VERBOSE_TICK_RATE),
                       static_cast<double>(seconds_since_start(synth)), 0.0, 0, "channel has no preset");
        }
        return -1;
    }
    korvel_synth_release_voice_on_same_note(synth, chan, key);
    const unsigned int id = synth->noteid++;
    if (!note_ok(key, vel)) {
        return -1;
    }
    synth->storeid = id;
    return channel->preset->noteon(channel->preset, synth, chan, key, vel);
}

int korvel_synth_noteoff(korvel_synth_t* synth, int chan, int key)
{
    int status = -1;
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (!is_held(voice) || voice->chan != chan || voice->key != key) {
            continue;
        }
        if (synth->verbose) {
            const korvel_oscillator_t* osc = voice->osc;
            korvel_log(KORVEL_INFO, "noteoff\t%d\t%d\t%d\t%05d\t%.3f\t%.3f\t%.3f\t%d", voice->chan, voice->key, 0,
                       voice->id,
                       static_cast<double>(static_cast<float>(osc->start_time + osc->ticks) / VERBOSE_TICK_RATE),
                       static_cast<double>(seconds_since_start(synth)),
                       static_cast<double>(static_cast<float>(osc->ticks) / VERBOSE_TICK_RATE),
                       voices_in_use(synth));
        }
        korvel_voice_noteoff(voice);
        status = 0;
    }
    return status;
}

int korvel_synth_start(korvel_synth_t* synth, unsigned int id, korvel_preset_t* preset, int, int chan, int key,
                       int vel)
{
    if (!channel_ok(synth, chan)) {
        return korvel_log_limited(&range_log, KORVEL_WARN, "Channel out of range");
    }
    if (!note_ok(key, vel) || preset == nullptr || preset->noteon == nullptr) {
        return -1;
    }
    synth->storeid = id;
    return preset->noteon(preset, synth, chan, key, vel);
}

int korvel_synth_stop(korvel_synth_t* synth, unsigned int id)
{
    int status = -1;
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (is_held(voice) && voice->id == id) {
            korvel_voice_noteoff(voice);
            status = 0;
        }
    }
    return status;
}

void korvel_synth_release_voice_on_same_note(korvel_synth_t* synth, int chan, int key)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (korvel_voice_is_playing(voice) && voice->chan == chan && voice->key == key &&
            voice->id != synth->noteid) {
            korvel_voice_noteoff(voice);
        }
    }
}

int korvel_synth_damp_voices(korvel_synth_t* synth, int chan)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (voice->chan == chan && voice->status == KORVEL_VOICE_SUSTAINED) {
            korvel_voice_noteoff(voice);
        }
    }
    return 0;
}

int korvel_synth_all_notes_off(korvel_synth_t* synth, int chan)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (korvel_voice_is_playing(voice) && voice->chan == chan) {
            korvel_voice_noteoff(voice);
        }
    }
    return 0;
}

int korvel_synth_all_notes_off_all(korvel_synth_t* synth)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (korvel_voice_is_playing(voice)) {
            korvel_voice_noteoff(voice);
        }
    }
    return 0;
}

int korvel_synth_all_sounds_off(korvel_synth_t* synth, int chan)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (korvel_voice_is_playing(voice) && voice->chan == chan) {
            korvel_voice_off(voice);
        }
    }
    return 0;
}

int korvel_synth_all_sounds_off_all(korvel_synth_t* synth)
{
    for (int i = 0; synth->voice != nullptr && i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (korvel_voice_is_playing(voice)) {
            korvel_voice_off(voice);
        }
    }
    return 0;
}

int korvel_synth_system_reset(korvel_synth_t* synth)
{
    korvel_synth_all_sounds_off_all(synth);
    for (int c = 0; c < synth->midi_channels; c++) {
        korvel_channel_reset(synth->channel[c]);
    }
    korvel_chorus_reset(synth->chorus);
    korvel_revmodel_reset(synth->reverb);
    return 0;
}

int korvel_synth_modulate_voices(korvel_synth_t* synth, int chan, int is_cc, int ctrl)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (voice->chan == chan) {
            korvel_voice_modulate(voice, is_cc, ctrl);
        }
    }
    return 0;
}

int korvel_synth_modulate_voices_all(korvel_synth_t* synth, int chan)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (voice->chan == chan) {
            korvel_voice_modulate_all(voice);
        }
    }
    return 0;
}

korvel_voice_t* korvel_synth_alloc_voice(korvel_synth_t* synth, korvel_sample_t* sample, int chan, int key, int vel)
{
    korvel_voice_t* voice = nullptr;
    for (int i = 0; i < synth->nvoice && voice == nullptr; i++) {
        if (is_free(synth->voice[i])) {
            voice = synth->voice[i];
        }
    }
    if (voice == nullptr) {
        voice = korvel_synth_free_voice_by_kill(synth);
    }
    if (voice == nullptr) {
        korvel_log_limited(&alloc_log, KORVEL_WARN, "Failed to allocate a synthesis process. (chan=%d,key=%d)", chan,
                           key);
        return nullptr;
    }
    if (synth->verbose) {
        korvel_log(KORVEL_INFO, "noteon\t%d\t%d\t%d\t%05d\t%.3f\t%.3f\t%.3f\t%d", chan, key, vel, synth->storeid,
                   static_cast<double>(static_cast<float>(synth->ticks) / VERBOSE_TICK_RATE),
                   static_cast<double>(seconds_since_start(synth)), 0.0, voices_in_use(synth));
    }
    korvel_channel_t* channel = chan >= 0 && chan < synth->midi_channels ? synth->channel[chan] : nullptr;
    if (korvel_voice_init(voice, sample, channel, key, vel, synth->storeid, synth->ticks,
                          static_cast<float>(synth->gain)) != 0) {
        korvel_log_limited(&alloc_log, KORVEL_WARN, "Failed to initialize voice");
        return nullptr;
    }
    for (korvel_mod_t* mod : korvel_default_mods) {
        if (mod->id != -1) {
            mod->id = -1;
        }
        korvel_voice_add_mod(voice, mod, KORVEL_VOICE_DEFAULT);
    }
    if (synth->profile.velocity_attenuation_cb > 0.0f) {
        korvel_mod_t velocity = default_vel2att_mod;
        velocity.amount = synth->profile.velocity_attenuation_cb;
        korvel_voice_add_mod(voice, &velocity, KORVEL_VOICE_OVERWRITE);
    }
    return voice;
}

void korvel_synth_start_voice(korvel_synth_t* synth, korvel_voice_t* voice)
{
    korvel_synth_kill_by_exclusive_class(synth, voice);
    korvel_voice_start(voice);
    synth->sounding_complete = 0;
}

korvel_voice_t* korvel_synth_free_voice_by_kill(korvel_synth_t* synth)
{
    float best_score = 999999.0f;
    korvel_voice_t* best = nullptr;
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (is_free(voice)) {
            return voice;
        }
        float score = voice->chan == KORVEL_DRUM_CHANNEL ? 14000.0f
                      : voice->chan == KORVEL_NO_CHANNEL ? 8000.0f
                                                         : 10000.0f;
        if (voice->status == KORVEL_VOICE_SUSTAINED) {
            score -= 1000.0f;
        }
        score -= static_cast<float>(synth->noteid - voice->id);
        if (voice->volenv->section != KORVEL_ENV_ATTACK) {
            score += voice->volenv->value * 1000.0f;
        }
        if (score < best_score) {
            best_score = score;
            best = voice;
        }
    }
    if (best != nullptr) {
        korvel_voice_off(best);
    }
    return best;
}

void korvel_synth_kill_by_exclusive_class(korvel_synth_t* synth, korvel_voice_t* voice)
{
    const int excl = exclusive_class(voice);
    if (excl == 0) {
        return;
    }
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* other = synth->voice[i];
        if (other != voice && korvel_voice_is_playing(other) && other->chan == voice->chan &&
            exclusive_class(other) == excl && other->id != voice->id) {
            korvel_voice_kill_excl(other);
        }
    }
}

} // extern "C"
