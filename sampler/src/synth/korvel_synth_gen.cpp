#include "sampler/src/synth/korvel_synth.h"

namespace {

// The channel, or null after the warning of the failed check.
korvel_channel_t* checked(korvel_synth_t* synth, int chan, int param)
{
    if (chan < 0 || chan >= synth->midi_channels) {
        korvel_log(KORVEL_WARN, "Channel out of range");
        return nullptr;
    }
    if (param < 0 || param >= GEN_LAST) {
        korvel_log(KORVEL_WARN, "Parameter number out of range");
        return nullptr;
    }
    return synth->channel[chan];
}

void set_on_voices(korvel_synth_t* synth, int chan, int key, int param, int absolute, float value)
{
    for (int i = 0; i < synth->nvoice; i++) {
        korvel_voice_t* voice = synth->voice[i];
        if (voice->chan == chan && (key < 0 || voice->key == key)) {
            korvel_voice_set_param(voice, param, absolute, value);
        }
    }
}

} // namespace

extern "C" {

int korvel_synth_set_gen(korvel_synth_t* synth, int chan, int param, float value)
{
    korvel_channel_t* channel = checked(synth, chan, param);
    if (channel == nullptr) {
        return -1;
    }
    channel->gen[param] = value;
    channel->gen_abs[param] = 0;
    set_on_voices(synth, chan, -1, param, 0, value);
    return 0;
}

int korvel_synth_set_gen2(korvel_synth_t* synth, int chan, int param, int absolute, int normalized, float value)
{
    korvel_channel_t* channel = checked(synth, chan, param);
    if (channel == nullptr) {
        return -1;
    }
    if (normalized) {
        value = korvel_gen_scale(param, value);
    }
    channel->gen[param] = value;
    channel->gen_abs[param] = static_cast<unsigned char>(absolute != 0);
    set_on_voices(synth, chan, -1, param, absolute, value);
    return 0;
}

int korvel_synth_set_gen3(korvel_synth_t* synth, int chan, int param, int key, float value)
{
    if (checked(synth, chan, param) == nullptr) {
        return -1;
    }
    set_on_voices(synth, chan, key, param, 0, value);
    return 0;
}

float korvel_synth_get_gen(korvel_synth_t* synth, int chan, int param)
{
    korvel_channel_t* channel = checked(synth, chan, param);
    return channel != nullptr ? channel->gen[param] : 0.0f;
}

} // extern "C"
