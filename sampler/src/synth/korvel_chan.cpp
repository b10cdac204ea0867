#include "sampler/src/synth/korvel_chan.h"

#include "sampler/src/bank/korvel_sfont.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/sys/korvel_sys.h"

#include <new>

namespace {

constexpr int PRESET_SELECTED = 0;
constexpr int PRESET_UNSELECTED = 1;
constexpr unsigned int DRUM_BANK = 128;

} // namespace

extern "C" {

korvel_channel_t* new_korvel_channel(korvel_synth_t* synth, int num)
{
    auto* chan = new (std::nothrow) korvel_channel_t{};
    if (chan == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    chan->synth = synth;
    chan->channum = static_cast<unsigned int>(num);
    korvel_channel_reset(chan);
    return chan;
}

int delete_korvel_channel(korvel_channel_t* chan)
{
    delete chan;
    return 0;
}

void korvel_channel_init(korvel_channel_t* chan)
{
    if (chan->channum == KORVEL_DRUM_CHANNEL) {
        chan->banknum = DRUM_BANK;
        chan->prognum = 0;
    } else {
        chan->banknum = 0;
        chan->prognum = chan->channum;
    }
    chan->sfontnum = 0;
    korvel_channel_set_preset(chan, korvel_synth_find_preset(chan->synth, chan->banknum, chan->prognum));
    chan->interp_method = KORVEL_INTERP_DEFAULT;
    chan->tuning = nullptr;
    chan->nrpn_select = 0;
    chan->nrpn_msb = 0;
    chan->nrpn_lsb = 0;
}

void korvel_channel_init_ctrl(korvel_channel_t* chan)
{
    chan->key_pressure = 0;
    chan->channel_pressure = 0;
    chan->pitch_bend = 8192;
    chan->pitch_wheel_sensitivity = 2;
    for (short& cc : chan->cc) {
        cc = 0;
    }
    chan->cc[7] = 127;
    chan->cc[10] = 64;
    chan->cc[11] = 127;
    chan->cc[43] = 127;
    chan->bank_msb = 0;
    for (int i = 0; i < GEN_LAST; i++) {
        chan->gen[i] = 0.0f;
        chan->gen_abs[i] = 0;
    }
}

void korvel_channel_reset(korvel_channel_t* chan)
{
    korvel_channel_init(chan);
    korvel_channel_init_ctrl(chan);
}

int korvel_channel_set_preset(korvel_channel_t* chan, korvel_preset_t* preset)
{
    if (chan->preset != nullptr && chan->preset->notify != nullptr) {
        chan->preset->notify(chan->preset, PRESET_UNSELECTED, static_cast<int>(chan->channum));
    }
    if (preset != nullptr && preset->notify != nullptr) {
        preset->notify(preset, PRESET_SELECTED, static_cast<int>(chan->channum));
    }
    chan->preset = preset;
    return 0;
}

korvel_preset_t* korvel_channel_get_preset(korvel_channel_t* chan)
{
    return chan->preset;
}

unsigned int korvel_channel_get_banknum(korvel_channel_t* chan)
{
    return chan->banknum;
}

int korvel_channel_set_banknum(korvel_channel_t* chan, unsigned int bank)
{
    chan->banknum = bank;
    return 0;
}

int korvel_channel_get_prognum(korvel_channel_t* chan)
{
    return static_cast<int>(chan->prognum);
}

int korvel_channel_set_prognum(korvel_channel_t* chan, int prog)
{
    chan->prognum = static_cast<unsigned int>(prog);
    return 0;
}

unsigned int korvel_channel_get_sfontnum(korvel_channel_t* chan)
{
    return chan->sfontnum;
}

int korvel_channel_set_sfontnum(korvel_channel_t* chan, unsigned int sfont)
{
    chan->sfontnum = sfont;
    return 0;
}

int korvel_channel_get_num(korvel_channel_t* chan)
{
    return static_cast<int>(chan->channum);
}

int korvel_channel_get_interp_method(korvel_channel_t* chan)
{
    return chan->interp_method;
}

void korvel_channel_set_interp_method(korvel_channel_t* chan, int method)
{
    chan->interp_method = method;
}

int korvel_channel_get_cc(korvel_channel_t* chan, int num)
{
    return num >= 0 && num < 128 ? chan->cc[num] : 0;
}

} // extern "C"
