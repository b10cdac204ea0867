// The instance interface's calls on a MIDI-file player record.
#include "sampler/src/korvelsynth.h"

extern "C" {

int korvelsynth_player_load_next(korvel_player_t* player)
{
    return player != nullptr ? korvel_player_load_next_file(player, player->cur_count) : -1;
}

void korvelsynth_player_set_tempo(korvel_player_t* player, float bpm)
{
    if (player != nullptr) {
        korvel_player_set_midi_tempo2(player, bpm);
    }
}

double korvelsynth_player_get_tempo(korvel_player_t* player)
{
    return player != nullptr ? player->bpm : 120.0;
}

double korvelsynth_player_get_tempo2(korvel_player_t* player)
{
    return player != nullptr ? player->bpm2 : 120.0;
}

void korvelsynth_player_seek(korvel_player_t* player, int ticks)
{
    if (player != nullptr) {
        korvel_player_seek(player, ticks);
    }
}

int korvelsynth_player_position(korvel_player_t* player)
{
    return player != nullptr ? static_cast<int>(player->cur_ticks) : -1;
}

int64_t korvelsynth_player_position2(korvel_player_t* player)
{
    return player != nullptr ? static_cast<int64_t>(player->clock) : -1;
}

korvel_player_event_t* korvelsynth_get_events(korvel_player_t* player)
{
    return player != nullptr ? player->events : nullptr;
}

} // extern "C"
