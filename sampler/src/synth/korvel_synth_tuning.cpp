#include "sampler/src/synth/korvel_synth.h"

namespace {

korvel_channel_t* channel_of(korvel_synth_t* synth, int chan)
{
    if (chan < 0 || chan >= synth->midi_channels) {
        korvel_log(KORVEL_WARN, "Channel out of range");
        return nullptr;
    }
    return synth->channel[chan];
}

// Bank and program numbers of the tuning table run from 0 to 127; a number outside is logged as such, before any
// lookup would report the tuning as missing.
bool numbers_in_range(int bank, int prog)
{
    if (bank < 0 || bank >= 128) {
        korvel_log(KORVEL_WARN, "Bank number out of range");
        return false;
    }
    if (prog < 0 || prog >= 128) {
        korvel_log(KORVEL_WARN, "Program number out of range");
        return false;
    }
    return true;
}

} // namespace

extern "C" {

int korvel_synth_create_key_tuning(korvel_synth_t* synth, int bank, int prog, const char* name, const double* pitch)
{
    return korvel_tuning_table_create_key_tuning(&synth->tuning, bank, prog, name, pitch);
}

int korvel_synth_create_octave_tuning(korvel_synth_t* synth, int bank, int prog, const char* name,
                                      const double* pitch)
{
    return korvel_tuning_table_create_octave_tuning(&synth->tuning, bank, prog, name, pitch);
}

int korvel_synth_tune_notes(korvel_synth_t* synth, int bank, int prog, int len, const int* keys, const double* pitch)
{
    if (!numbers_in_range(bank, prog)) {
        return -1;
    }
    return korvel_tuning_table_tune_notes(&synth->tuning, bank, prog, len, keys, pitch);
}

int korvel_synth_select_tuning(korvel_synth_t* synth, int chan, int bank, int prog)
{
    if (!numbers_in_range(bank, prog)) {
        return -1;
    }
    korvel_tuning_t* tuning = korvel_tuning_table_get(&synth->tuning, bank, prog);
    if (tuning == nullptr) {
        return korvel_log(KORVEL_WARN, "No tuning at bank %d, prog %d", bank, prog);
    }
    korvel_channel_t* channel = channel_of(synth, chan);
    if (channel == nullptr) {
        return -1;
    }
    channel->tuning = tuning;
    return 0;
}

int korvel_synth_reset_tuning(korvel_synth_t* synth, int chan)
{
    korvel_channel_t* channel = channel_of(synth, chan);
    if (channel == nullptr) {
        return -1;
    }
    channel->tuning = nullptr;
    return 0;
}

void korvel_synth_tuning_iteration_start(korvel_synth_t* synth)
{
    korvel_tuning_table_iteration_start(&synth->tuning);
}

int korvel_synth_tuning_iteration_next(korvel_synth_t* synth, int* bank, int* prog)
{
    return korvel_tuning_table_iteration_next(&synth->tuning, bank, prog);
}

int korvel_synth_tuning_dump(korvel_synth_t* synth, int bank, int prog, char* name, int len, double* pitch)
{
    if (!numbers_in_range(bank, prog)) {
        return -1;
    }
    return korvel_tuning_table_dump(&synth->tuning, bank, prog, name, len, pitch);
}

} // extern "C"
