#include "sampler/src/korvel_synth.h"

#include "sampler/src/korvel_sample.h"

namespace {

constexpr int NO_SCORE = 999999;

bool sounding(const korvel_voice_t* voice)
{
    return voice != nullptr && korvel_voice_is_playing(voice);
}

bool free_voice(const korvel_voice_t* voice)
{
    return voice->status == KORVEL_VOICE_CLEAN || voice->status == KORVEL_VOICE_OFF;
}

} // namespace

extern "C" {

int korvel_synth_noteon(korvel_synth_t* synth, int chan, int key, int vel)
{
    if (chan < 0 || chan >= synth->midi_channels) {
        return korvel_log(KORVEL_WARN, "Channel out of range");
    }
    if (vel == 0) {
        return korvel_synth_noteoff(synth, chan, key);
    }
    korvel_preset_t* preset = korvel_channel_get_preset(synth->channel[chan]);
    if (preset == nullptr) {
        if (synth->verbose) {
            korvel_log(KORVEL_INFO, "noteon\t%d\t%d\t%d\t%05d\t%.3f\t%.3f\t%.3f\t%d\t%s", chan, key, vel, 0,
                       synth->ticks / 44100.0f, (korvel_curtime() - synth->start) / 1000.0f, 0.0f, 0,
                       "channel has no preset");
        }
        return -1;
    }
    korvel_synth_release_voice_on_same_note(synth, chan, key);
    unsigned int id = synth->noteid++;
    if (key < 0 || key >= 128) {
        return korvel_log(KORVEL_WARN, "Key out of range");
    }
    if (vel < 1 || vel > 127) {
        return korvel_log(KORVEL_WARN, "Velocity out of range");
    }
    synth->storeid = id;
    return preset->noteon(preset, synth, chan, key, vel);
}

int korvel_synth_noteoff(korvel_synth_t* synth, int chan, int key)
{
    int status = -1;
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (voice->status == KORVEL_VOICE_ON && voice->volenv->section < KORVEL_ENV_RELEASE && voice->chan == chan &&
            voice->key == key) {
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
        if (sounding(voice) && voice->chan == chan && voice->key == key && voice->id != synth->noteid) {
            korvel_voice_noteoff(voice);
        }
    }
}

korvel_voice_t* korvel_synth_alloc_voice(korvel_synth_t* synth, korvel_sample_t* sample, int chan, int key, int vel)
{
    korvel_voice_t* voice = nullptr;
    for (int i = 0; i < synth->nvoice && voice == nullptr; i++) {
        if (free_voice(synth->voice[i])) {
            voice = synth->voice[i];
        }
    }
    if (voice == nullptr) {
        voice = korvel_synth_free_voice_by_kill(synth);
    }
    if (voice == nullptr) {
        korvel_log(KORVEL_WARN, "Failed to allocate a synthesis process. (chan=%d,key=%d)", chan, key);
        return nullptr;
    }
    if (synth->verbose) {
        int in_use = 0;
        for (int i = 0; i < synth->nvoice; i++) {
            in_use += free_voice(synth->voice[i]) ? 0 : 1;
        }
        korvel_log(KORVEL_INFO, "noteon\t%d\t%d\t%d\t%05d\t%.3f\t%.3f\t%.3f\t%d", chan, key, vel, synth->storeid,
                   synth->ticks / 44100.0f, (korvel_curtime() - synth->start) / 1000.0f, 0.0f, in_use);
    }
    korvel_channel_t* channel = chan >= 0 && chan < synth->midi_channels ? synth->channel[chan] : nullptr;
    if (korvel_voice_init(voice, sample, channel, key, vel, synth->storeid, synth->ticks,
                          static_cast<float>(synth->gain)) != 0) {
        korvel_log(KORVEL_WARN, "Failed to initialize voice");
        return nullptr;
    }
    for (korvel_mod_t* mod : korvel_default_mods) {
        mod->id = -1;
        korvel_voice_add_mod(voice, mod, KORVEL_VOICE_DEFAULT);
    }
    return voice;
}

void korvel_synth_start_voice(korvel_synth_t* synth, korvel_voice_t* voice)
{
    korvel_synth_kill_by_exclusive_class(synth, voice);
    korvel_voice_start(voice);
}

korvel_voice_t* korvel_synth_free_voice_by_kill(korvel_synth_t* synth)
{
    float best_score = NO_SCORE;
    korvel_voice_t* best = nullptr;
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (free_voice(voice)) {
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

void korvel_synth_kill_by_exclusive_class(korvel_synth_t* synth, korvel_voice_t* new_voice)
{
    int excl = static_cast<int>(korvel_voice_gen_value(new_voice, GEN_EXCLUSIVECLASS));
    if (excl == 0) {
        return;
    }
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (voice != new_voice && sounding(voice) && voice->chan == new_voice->chan &&
            static_cast<int>(korvel_voice_gen_value(voice, GEN_EXCLUSIVECLASS)) == excl &&
            voice->id != new_voice->id) {
            korvel_voice_kill_excl(voice);
        }
    }
}

int korvel_synth_all_notes_off(korvel_synth_t* synth, int chan)
{
    for (int i = 0; i < synth->nvoice; i++) {
        if (sounding(synth->voice[i]) && synth->voice[i]->chan == chan) {
            korvel_voice_noteoff(synth->voice[i]);
        }
    }
    return 0;
}

int korvel_synth_all_notes_off_all(korvel_synth_t* synth)
{
    for (int i = 0; i < synth->nvoice; i++) {
        if (sounding(synth->voice[i])) {
            korvel_voice_noteoff(synth->voice[i]);
        }
    }
    return 0;
}

int korvel_synth_all_sounds_off(korvel_synth_t* synth, int chan)
{
    for (int i = 0; i < synth->nvoice; i++) {
        if (sounding(synth->voice[i]) && synth->voice[i]->chan == chan) {
            korvel_voice_off(synth->voice[i]);
        }
    }
    return 0;
}

int korvel_synth_all_sounds_off_all(korvel_synth_t* synth)
{
    for (int i = 0; synth->voice != nullptr && i < synth->nvoice; i++) {
        if (sounding(synth->voice[i])) {
            korvel_voice_off(synth->voice[i]);
        }
    }
    return 0;
}

} // extern "C"
