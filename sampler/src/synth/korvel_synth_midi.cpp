#include "sampler/src/synth/korvel_synth_midi.h"

#include "sampler/src/synth/korvel_chan.h"
#include "sampler/src/sys/korvel_log_limit.h"
#include "sampler/src/bank/korvel_sfont.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/sys/korvel_sys.h"

#include <cstdio>

namespace {

constexpr int SYSEX_LIMIT = 255;

enum MessageType {
    TEMPO = 0x50,
    TEMPO2 = 0x51,
    NOTE_OFF = 0x80,
    NOTE_ON = 0x90,
    KEY_PRESSURE = 0xA0,
    CONTROL_CHANGE = 0xB0,
    PROGRAM_CHANGE = 0xC0,
    CHANNEL_PRESSURE = 0xD0,
    PITCH_BEND = 0xE0,
    SYSEX = 0xF0,
    MIDI_RESET = 0xFF
};

// System messages both dispatchers pass over.
constexpr unsigned char ignored_system[] = {0xF1, 0xF2, 0xF3, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFE};

korvel_log_limit_t range_log;
korvel_log_limit_t message_log;

bool channel_ok(const korvel_synth_t* synth, int chan)
{
    return chan >= 0 && chan < synth->midi_channels;
}

int channel_out_of_range()
{
    return korvel_log_limited(&range_log, KORVEL_WARN, "Channel out of range");
}

bool is_ignored(int type)
{
    if (type == KEY_PRESSURE || type == CHANNEL_PRESSURE) {
        return true;
    }
    for (unsigned char t : ignored_system) {
        if (t == type) {
            return true;
        }
    }
    return false;
}

void dump_sysex(const korvel_synth_t* synth, const unsigned char* data, int len)
{
    if (!synth->verbose) {
        return;
    }
    std::printf("F0 ");
    for (int i = 0; i < len; i++) {
        std::printf("%02X ", data[i]);
    }
    std::printf("\n");
}

// The rows both dispatchers share; handled is cleared for a type they treat differently.
int dispatch_channel_message(korvel_synth_t* synth, const korvel_midi_message_t* msg, bool* handled)
{
    const int chan = msg->channel;
    const int p1 = static_cast<int>(msg->param1);
    const int p2 = static_cast<int>(msg->param2);
    *handled = true;
    switch (msg->type) {
    case NOTE_OFF:
        return korvel_synth_noteoff(synth, chan, p1);
    case NOTE_ON:
        return korvel_synth_noteon(synth, chan, p1, p2);
    case CONTROL_CHANGE:
        return korvel_synth_cc(synth, chan, p1, p2);
    case PROGRAM_CHANGE:
        return korvel_synth_program_change(synth, chan, p1);
    case PITCH_BEND:
        return korvel_synth_pitch_bend(synth, chan, p1, p2);
    case SYSEX:
        return korvel_synth_sysex(synth, msg->sysex, static_cast<int>(msg->sysex_len));
    default:
        *handled = false;
        return 0;
    }
}

} // namespace

extern "C" {

int korvel_synth_handle_midi_event2(korvel_synth_t* synth, korvel_player_t* player, const korvel_midi_message_t* msg)
{
    if (synth == nullptr) {
        return 1;
    }
    bool handled = false;
    const int result = dispatch_channel_message(synth, msg, &handled);
    if (handled) {
        return result;
    }
    if (msg->type == TEMPO || msg->type == TEMPO2) {
        if (player == nullptr) {
            return 0;
        }
        return korvel_player_set_midi_tempo(player, static_cast<int>(msg->param1)) == 0 ? 0 : -1;
    }
    if (msg->type == MIDI_RESET || is_ignored(msg->type)) {
        return 0;
    }
    korvel_log_limited(&message_log, KORVEL_WARN, "UNKNOWN MIDI MESSAGE: %d / %d", msg->status, msg->type);
    return 0;
}

int korvel_synth_handle_midi_event(korvel_synth_t* synth, const korvel_midi_message_t* msg)
{
    bool handled = false;
    const int result = dispatch_channel_message(synth, msg, &handled);
    if (handled) {
        return result;
    }
    if (msg->type == MIDI_RESET) {
        return korvel_synth_system_reset(synth);
    }
    return -1;
}

int korvel_synth_cc(korvel_synth_t* synth, int chan, int num, int value)
{
    if (!channel_ok(synth, chan)) {
        return channel_out_of_range();
    }
    if (num < 0 || num > 127) {
        return korvel_log_limited(&range_log, KORVEL_WARN, "Ctrl out of range");
    }
    if (value < 0 || value > 127) {
        return korvel_log_limited(&range_log, KORVEL_WARN, "Value out of range");
    }
    return korvel_channel_cc(synth->channel[chan], num, value);
}

int korvel_synth_get_cc(korvel_synth_t* synth, int chan, int num, int* pval)
{
    if (!channel_ok(synth, chan)) {
        return channel_out_of_range();
    }
    if (num < 0 || num > 127) {
        return korvel_log_limited(&range_log, KORVEL_WARN, "Ctrl out of range");
    }
    *pval = synth->channel[chan]->cc[num];
    return 0;
}

int korvel_synth_pitch_bend(korvel_synth_t* synth, int chan, int lsb, int msb)
{
    if (!channel_ok(synth, chan)) {
        return channel_out_of_range();
    }
    if (synth->verbose) {
        korvel_log(KORVEL_INFO, "pitchb\t%d\t%d,%d", chan, lsb, msb);
    }
    return korvel_channel_pitch_bend(synth->channel[chan], lsb, msb);
}

int korvel_synth_get_pitch_bend(korvel_synth_t* synth, int chan, int* ppitch_bend)
{
    if (!channel_ok(synth, chan)) {
        return channel_out_of_range();
    }
    *ppitch_bend = synth->channel[chan]->pitch_bend;
    return 0;
}

int korvel_synth_pitch_wheel_sens(korvel_synth_t* synth, int chan, int val)
{
    if (!channel_ok(synth, chan)) {
        return channel_out_of_range();
    }
    if (synth->verbose) {
        korvel_log(KORVEL_INFO, "pitchsens\t%d\t%d", chan, val);
    }
    return korvel_channel_pitch_wheel_sens(synth->channel[chan], val);
}

int korvel_synth_get_pitch_wheel_sens(korvel_synth_t* synth, int chan, int* pval)
{
    if (!channel_ok(synth, chan)) {
        return channel_out_of_range();
    }
    *pval = synth->channel[chan]->pitch_wheel_sensitivity;
    return 0;
}

int korvel_synth_sysex(korvel_synth_t* synth, const unsigned char* data, int len)
{
    if (len < 0 || len >= SYSEX_LIMIT) {
        return korvel_log_limited(&message_log, KORVEL_WARN, "SYSEX message length invalid.");
    }
    dump_sysex(synth, data, len);
    return 0;
}

int korvel_synth_bank_select(korvel_synth_t* synth, int chan, unsigned int bank)
{
    if (!channel_ok(synth, chan)) {
        return -1;
    }
    korvel_channel_set_banknum(synth->channel[chan], bank);
    return 0;
}

int korvel_synth_sfont_select(korvel_synth_t* synth, int chan, unsigned int sfont_id)
{
    if (!channel_ok(synth, chan)) {
        return -1;
    }
    korvel_channel_set_sfontnum(synth->channel[chan], sfont_id);
    return 0;
}

int korvel_synth_get_program(korvel_synth_t* synth, int chan, unsigned int* sfont_id, unsigned int* bank_num,
                             unsigned int* preset_num)
{
    if (!channel_ok(synth, chan)) {
        return -1;
    }
    const korvel_channel_t* channel = synth->channel[chan];
    *sfont_id = channel->sfontnum;
    *bank_num = channel->banknum;
    *preset_num = channel->prognum;
    return 0;
}

int korvel_synth_program_select(korvel_synth_t* synth, int chan, unsigned int sfont_id, unsigned int bank_num,
                                unsigned int preset_num)
{
    if (!channel_ok(synth, chan)) {
        return korvel_log(KORVEL_ERR, "Channel number out of range (chan=%d)", chan);
    }
    korvel_preset_t* preset = korvel_synth_get_preset(synth, sfont_id, bank_num, preset_num);
    if (preset == nullptr) {
        return korvel_log(KORVEL_ERR, "There is no preset with bank number %d and preset number %d in SoundFont %d",
                          bank_num, preset_num, sfont_id);
    }
    korvel_channel_t* channel = synth->channel[chan];
    channel->sfontnum = sfont_id;
    channel->banknum = bank_num;
    channel->prognum = preset_num;
    korvel_channel_set_preset(channel, preset);
    return 0;
}

int korvel_synth_program_select2(korvel_synth_t* synth, int chan, const char* sfont_name, unsigned int bank_num,
                                 unsigned int preset_num)
{
    if (!channel_ok(synth, chan)) {
        return korvel_log(KORVEL_ERR, "Channel number out of range (chan=%d)", chan);
    }
    korvel_sfont_t* sfont = korvel_synth_get_sfont_by_name(synth, sfont_name);
    if (sfont == nullptr) {
        return korvel_log(KORVEL_ERR, "Could not find SoundFont %s", sfont_name);
    }
    korvel_preset_t* preset = korvel_synth_get_preset2(synth, sfont_name, bank_num, preset_num);
    if (preset == nullptr) {
        return korvel_log(KORVEL_ERR, "There is no preset with bank number %d and preset number %d in SoundFont %s",
                          bank_num, preset_num, sfont_name);
    }
    korvel_channel_t* channel = synth->channel[chan];
    channel->sfontnum = sfont->id;
    channel->banknum = bank_num;
    channel->prognum = preset_num;
    korvel_channel_set_preset(channel, preset);
    return 0;
}

} // extern "C"
