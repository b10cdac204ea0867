#include "sampler/src/synth/korvel_chan.h"

#include "sampler/src/sys/korvel_log_limit.h"
#include "sampler/src/bank/korvel_mod.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace {

enum Controller {
    BANK_SELECT_MSB = 0,
    DATA_ENTRY_MSB = 6,
    BANK_SELECT_LSB = 32,
    DATA_ENTRY_LSB = 38,
    SUSTAIN_SWITCH = 64,
    NRPN_LSB = 98,
    NRPN_MSB = 99,
    RPN_LSB = 100,
    ALL_SOUND_OFF = 120,
    ALL_CTRL_OFF = 121,
    ALL_NOTES_OFF = 123
};

// NRPN MSB that addresses the SoundFont generators of the whole channel.
constexpr int GENERATOR_NRPN_MSB = 120;

// The generator of each per-note NRPN MSB 20 to 31; -1 where the MSB addresses none.
constexpr int FIRST_NOTE_NRPN_MSB = 20;
constexpr int note_nrpn_gen[] = {GEN_FILTERFC,   GEN_FILTERQ,    GEN_VOLENVATTACK, GEN_VOLENVDECAY,
                                 GEN_COARSETUNE, GEN_FINETUNE,   GEN_ATTENUATION,  -1,
                                 GEN_PAN,        GEN_REVERBSEND, GEN_CHORUSSEND,   GEN_VARIATIONFX1SEND};
constexpr int LAST_NOTE_NRPN_MSB = FIRST_NOTE_NRPN_MSB + static_cast<int>(std::size(note_nrpn_gen)) - 1;

// Steps of the generator selection by NRPN LSB 100, 101 and 102.
constexpr int select_step[] = {100, 1000, 10000};

korvel_log_limit_t select_log;
korvel_log_limit_t data_log;
korvel_log_limit_t range_log;

void select_more(korvel_channel_t* chan, int step)
{
    chan->nrpn_select = static_cast<short>(std::min(chan->nrpn_select + step, SHRT_MAX));
}

void nrpn_data_entry(korvel_channel_t* chan)
{
    const int data = chan->cc[DATA_ENTRY_LSB] + chan->cc[DATA_ENTRY_MSB] * 128;
    const int msb = chan->cc[NRPN_MSB];
    if (msb == GENERATOR_NRPN_MSB) {
        if (chan->cc[NRPN_LSB] > 99) {
            return;
        }
        const int gen = chan->nrpn_select;
        // The selection is summed from MIDI input and may lie anywhere; only a generator of the table is scaled.
        if (gen < 0 || gen >= GEN_LAST) {
            korvel_log_limited(&range_log, KORVEL_WARN, "Parameter number out of range");
            return;
        }
        const float value = korvel_gen_scale_nrpn(gen, data);
        korvel_log_limited(&data_log, KORVEL_WARN, "%s: %d: Data = %d, value = %f", __FILE_NAME__, __LINE__, data,
                           static_cast<double>(value));
        korvel_synth_set_gen(chan->synth, static_cast<int>(chan->channum), gen, value);
    } else if (msb >= FIRST_NOTE_NRPN_MSB && msb <= LAST_NOTE_NRPN_MSB) {
        const int gen = note_nrpn_gen[msb - FIRST_NOTE_NRPN_MSB];
        if (gen < 0) {
            return;
        }
        chan->nrpn_select = static_cast<short>(gen);
        const float value = korvel_gen_scale_nrpn(gen, data);
        korvel_synth_set_gen3(chan->synth, static_cast<int>(chan->channum), gen, chan->cc[NRPN_LSB], value);
    }
}

void nrpn_select(korvel_channel_t* chan, int value)
{
    if (chan->cc[NRPN_MSB] == GENERATOR_NRPN_MSB) {
        if (value >= 100 && value <= 102) {
            select_more(chan, select_step[value - 100]);
        } else if (value <= 99) {
            select_more(chan, value);
            korvel_log_limited(&select_log, KORVEL_WARN, "%s: %d: NRPN Select = %d", __FILE_NAME__, __LINE__,
                               chan->nrpn_select);
        }
    }
    chan->nrpn_lsb = static_cast<unsigned char>(value);
}

} // namespace

extern "C" {

int korvel_channel_cc(korvel_channel_t* chan, int num, int value)
{
    if (num < 0 || num > 127) {
        return 0;
    }
    chan->cc[num] = static_cast<short>(value);
    const int channum = static_cast<int>(chan->channum);
    switch (num) {
    case BANK_SELECT_MSB:
        chan->bank_msb = static_cast<unsigned char>(value & 127);
        chan->banknum = static_cast<unsigned int>(value & 127);
        break;
    case BANK_SELECT_LSB:
        chan->banknum = static_cast<unsigned int>((value & 127) | (chan->bank_msb << 7));
        break;
    case DATA_ENTRY_MSB:
        nrpn_data_entry(chan);
        break;
    case SUSTAIN_SWITCH:
        if (value < 64) {
            korvel_synth_damp_voices(chan->synth, channum);
        }
        break;
    case NRPN_LSB:
        nrpn_select(chan, value);
        break;
    case NRPN_MSB:
        chan->cc[NRPN_LSB] = 0;
        chan->nrpn_select = 0;
        chan->nrpn_msb = static_cast<unsigned char>(value);
        break;
    case RPN_LSB:
        chan->cc[NRPN_LSB] = 0;
        chan->cc[NRPN_MSB] = 0;
        chan->nrpn_select = 0;
        break;
    case ALL_SOUND_OFF:
        korvel_synth_all_sounds_off(chan->synth, channum);
        break;
    case ALL_CTRL_OFF:
        korvel_channel_init_ctrl(chan);
        korvel_synth_modulate_voices_all(chan->synth, channum);
        break;
    case ALL_NOTES_OFF:
        korvel_synth_all_notes_off(chan->synth, channum);
        break;
    default:
        korvel_synth_modulate_voices(chan->synth, channum, 1, num);
        break;
    }
    return 0;
}

int korvel_channel_pitch_bend(korvel_channel_t* chan, int lsb, int msb)
{
    // MIDI data bytes carry 7 bits: a stray high bit must not push the value out of 0..16383.
    chan->pitch_bend = static_cast<short>((lsb & 0x7F) + (msb & 0x7F) * 128);
    korvel_synth_modulate_voices(chan->synth, static_cast<int>(chan->channum), 0, KORVEL_MOD_PITCHWHEEL);
    return 0;
}

int korvel_channel_pitch_wheel_sens(korvel_channel_t* chan, int value)
{
    chan->pitch_wheel_sensitivity = static_cast<short>(value);
    korvel_synth_modulate_voices(chan->synth, static_cast<int>(chan->channum), 0, KORVEL_MOD_PITCHWHEELSENS);
    return 0;
}

} // extern "C"
