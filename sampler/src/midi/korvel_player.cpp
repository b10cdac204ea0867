#include "sampler/src/midi/korvel_player.h"

#include "sampler/src/midi/korvel_capture.h"
#include "sampler/src/sys/korvel_log_limit.h"
#include "sampler/src/midi/korvel_midi_event.h"
#include "sampler/src/midi/korvel_midi_file.h"
#include "sampler/src/synth/korvel_synth.h"
#include "sampler/src/sys/korvel_sys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr unsigned int DEFAULT_DIVISION = 96;
constexpr int DEFAULT_MIDI_TEMPO = 480000;
constexpr double DEFAULT_BPM = 120.0;

korvel_log_limit_t clock_log;
korvel_log_limit_t skip_log;
korvel_log_limit_t delta_log;
korvel_log_limit_t finish_log;
korvel_log_limit_t tempo_log;

void restore_defaults(korvel_player_t* player)
{
    player->division = DEFAULT_DIVISION;
    player->miditempo = DEFAULT_MIDI_TEMPO;
    player->deltatime = 1.0;
    player->factor = 1.0;
    player->bpm = DEFAULT_BPM;
    player->bpm2 = DEFAULT_BPM;
    player->tempo_locked = 0;
}

void free_tracks(korvel_player_t* player)
{
    for (int i = 0; i < player->ntracks; i++) {
        delete_korvel_track(player->track[i]);
        player->track[i] = nullptr;
    }
    player->ntracks = 0;
    delete[] player->events;
    player->events = nullptr;
    player->event_count = 0;
}

// Half a second of samples per quarter note at 120 bpm, scaled by deltatime (120 / bpm) and split into division
// ticks.
double samples_per_tick(const korvel_player_t* player)
{
    return player->deltatime * (player->synth->sample_rate * 0.5) / player->division;
}

// The value converted to T, limited to T's range (0 for not a number).
template <typename T> T clamped(double value)
{
    constexpr T low = std::numeric_limits<T>::lowest();
    constexpr T high = std::numeric_limits<T>::max();
    if (std::isnan(value)) {
        return T{};
    }
    if (value <= static_cast<double>(low)) {
        return low;
    }
    return value >= static_cast<double>(high) ? high : static_cast<T>(value);
}

// Numbers the events of every track and lists them in one array, track after track.
bool build_event_list(korvel_player_t* player)
{
    int count = 0;
    for (int i = 0; i < player->ntracks; i++) {
        count += korvel_track_count_events(player->track[i], nullptr, nullptr);
    }
    if (count == 0) {
        return true;
    }
    player->events = new (std::nothrow) korvel_player_event_t[static_cast<size_t>(count)]{};
    if (player->events == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return false;
    }
    int n = 0;
    for (int i = 0; i < player->ntracks; i++) {
        unsigned int index = 0;
        uint32_t time = 0;
        for (korvel_midi_event_t* evt = player->track[i]->first; evt != nullptr; evt = evt->next) {
            time += evt->dtime;
            evt->index = ++index;
            evt->global_index = static_cast<unsigned int>(n + 1);
            evt->time = time;
            korvel_player_event_t& entry = player->events[n];
            entry.global_index = evt->global_index;
            entry.time = evt->time;
            entry.type = evt->type;
            entry.channel = evt->channel;
            entry.param1 = evt->param1;
            entry.param2 = evt->param2;
            entry.next = n + 1 < count ? &player->events[n + 1] : nullptr;
            n++;
        }
    }
    player->event_count = count;
    return true;
}

constexpr uint64_t NOTHING_DUE = std::numeric_limits<uint64_t>::max();

// The tick of the track's next event when it is due by ticks, else NOTHING_DUE.
uint64_t next_due_tick(const korvel_track_t* track, uint32_t ticks)
{
    const korvel_midi_event_t* evt = track->cur;
    if (evt == nullptr) {
        return NOTHING_DUE;
    }
    const uint64_t tick = static_cast<uint64_t>(evt->dtime) + track->ticks;
    return tick <= ticks ? tick : NOTHING_DUE;
}

enum class Share { NOTE_OFFS, THE_REST };

// The track's events of its next tick (the next event and those after it without a delta time): the note-offs
// among them, or the rest, which also moves the track past them. A note-off goes out before the other events of its
// tick, so that a note struck again at once is not cut and a note whose note-off shares its note-on's tick is heard.
void send_tick(korvel_track_t* track, korvel_synth_t* synth, korvel_player_t* player, uint32_t ticks, Share share)
{
    korvel_midi_event_t* evt = track->cur;
    const uint32_t before = track->ticks;
    do {
        if (evt->time < before) {
            if (share == Share::THE_REST && korvel_log_limit_pass(&skip_log)) {
                std::printf("track=%02d\tticks=%05u\ttracktik=%05u\ttime=%05u\tnext=%05u\n", track->num, ticks,
                            before, evt->time, evt->dtime + before);
            }
        } else if ((korvel_midi_event_is_note_off(evt) != 0) == (share == Share::NOTE_OFFS)) {
            korvel_midi_send_event(synth, player, evt);
        }
        if (share == Share::THE_REST) {
            track->ticks = evt->time;
            track->cur = evt->next;
        }
        evt = evt->next;
    } while (evt != nullptr && evt->dtime == 0);
}

} // namespace

extern "C" {

korvel_player_t* new_korvel_player(korvel_synth_t* synth)
{
    auto* player = new (std::nothrow) korvel_player_t{};
    if (player == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    player->synth = synth;
    restore_defaults(player);
    return player;
}

int delete_korvel_player(korvel_player_t* player)
{
    if (player == nullptr) {
        return 0;
    }
    korvel_player_stop(player);
    korvel_player_reset(player);
    for (korvel_list_t* p = player->playlist; p != nullptr; p = p->next) {
        std::free(p->data);
    }
    delete_korvel_list(player->playlist);
    delete player;
    return 0;
}

int korvel_player_add(korvel_player_t* player, const char* path)
{
    char* copy = path != nullptr ? strdup(path) : nullptr;
    if (copy == nullptr) {
        return korvel_log(KORVEL_ERR, "Out of memory");
    }
    korvel_list_t* list = korvel_list_append(player->playlist, copy);
    if (korvel_list_last(list) == nullptr || korvel_list_last(list)->data != copy) {
        std::free(copy);
        return -1;
    }
    player->playlist = list;
    return 0;
}

int korvel_player_add_track(korvel_player_t* player, korvel_track_t* track)
{
    if (player->ntracks >= KORVEL_MAX_TRACKS) {
        return -1;
    }
    player->track[player->ntracks++] = track;
    return 0;
}

int korvel_player_count_tracks(const korvel_player_t* player)
{
    return player->ntracks;
}

korvel_track_t* korvel_player_get_track(korvel_player_t* player, int i)
{
    return i >= 0 && i < player->ntracks ? player->track[i] : nullptr;
}

int korvel_player_load(korvel_player_t* player, const char* path)
{
    korvel_midi_file_t* mf = new_korvel_midi_file(path);
    if (mf == nullptr) {
        std::printf("ERROR: Could not open MIDI file.\n");
        return -1;
    }
    free_tracks(player);
    const int division = korvel_midi_file_get_division(mf);
    player->division = division != 0 ? static_cast<unsigned int>(division) : 1;
    const bool loaded = korvel_midi_file_load_tracks(mf, player) == 0;
    delete_korvel_midi_file(mf);
    if (!loaded) {
        free_tracks(player);
        std::printf("ERROR: Could not load tracks from MIDI file.\n");
        return -1;
    }
    if (!build_event_list(player)) {
        free_tracks(player);
        return -1;
    }
    return 0;
}

int korvel_player_load_next_file(korvel_player_t* player, unsigned int count)
{
    while (player->current_file == nullptr && player->playlist != nullptr) {
        korvel_player_reset(player);
        korvel_list_t* first = player->playlist;
        char* name = static_cast<char*>(first->data);
        player->playlist = korvel_list_remove_link(player->playlist, first);
        delete1_korvel_list(first);
        korvel_log(KORVEL_DBG, "%s: %d: Loading midifile %s", __FILE__, __LINE__, name);
        if (korvel_player_load(player, name) != 0) {
            std::free(name);
            continue;
        }
        player->current_file = name;
        player->begin_count = count;
        player->start_count = count;
        player->begin_ticks = 0;
        player->cur_ticks = 0;
        for (int i = 0; i < player->ntracks; i++) {
            korvel_track_reset(player->track[i]);
        }
        return 1;
    }
    return 0;
}

int korvel_player_play(korvel_player_t* player)
{
    if (player->status != KORVEL_PLAYER_PLAYING && player->playlist != nullptr) {
        player->status = KORVEL_PLAYER_PLAYING;
    }
    return 0;
}

int korvel_player_stop(korvel_player_t* player)
{
    player->status = KORVEL_PLAYER_DONE;
    return 0;
}

int korvel_player_reset(korvel_player_t* player)
{
    free_tracks(player);
    player->status = KORVEL_PLAYER_READY;
    player->loop = 0;
    std::free(player->current_file);
    player->current_file = nullptr;
    restore_defaults(player);
    return 0;
}

int korvel_player_seek(korvel_player_t* player, int ticks)
{
    player->clock = clamped<uint64_t>(samples_per_tick(player) * ticks);
    for (int i = 0; i < player->ntracks; i++) {
        korvel_track_reset(player->track[i]);
    }
    return 0;
}

int korvel_player_set_loop(korvel_player_t* player, int loop)
{
    player->loop = loop;
    return 0;
}

int korvel_player_set_midi_tempo(korvel_player_t* player, int tempo)
{
    if (korvel_log_limit_pass(&tempo_log)) {
        std::printf("TEMPO: %d\n", tempo);
    }
    if (!player->tempo_locked) {
        player->bpm = DEFAULT_BPM;
        player->bpm2 = DEFAULT_BPM;
        player->deltatime = 1.0;
        player->tempo_locked = 1;
    }
    return 0;
}

int korvel_player_set_bpm(korvel_player_t* player, int bpm)
{
    return korvel_player_set_midi_tempo(player, bpm);
}

int korvel_player_set_midi_tempo2(korvel_player_t* player, double bpm)
{
    if (korvel_log_limit_pass(&tempo_log)) {
        std::printf("TEMPO: %f\n", bpm);
    }
    if (!(bpm > 0.0) || !std::isfinite(bpm)) {
        return 1;
    }
    player->bpm2 = bpm;
    player->factor = bpm / player->bpm;
    return 0;
}

int korvel_player_join(korvel_player_t*)
{
    return 0;
}

int korvelsynth_audio_clock(korvel_player_t* player, int64_t sample_time, int frames)
{
    if (player == nullptr) {
        if (korvel_log_limit_pass(&clock_log)) {
            std::printf("ERROR: (audio clock) Player not initialized.\n");
        }
        return -1;
    }
    if (player->synth == nullptr) {
        if (korvel_log_limit_pass(&clock_log)) {
            std::printf("ERROR: (audio clock) Synth not initialized.\n");
        }
        return -1;
    }
    const double scaled = std::max(0.0, player->factor * static_cast<double>(sample_time));
    player->deltatime = DEFAULT_BPM / player->bpm;
    const unsigned int ticks = clamped<int>(scaled / samples_per_tick(player));
    // Offsets are limited to the block being rendered, so its length is known before the events go out; a block
    // without frames sends nothing, and its events go out with the next block.
    if (frames > 0) {
        player->frames = static_cast<unsigned int>(frames);
        korvel_player_callback(player, ticks);
    }
    player->clock = clamped<uint64_t>(scaled);
    return 0;
}

int korvel_player_callback(korvel_player_t* player, unsigned int count)
{
    if (player->current_file == nullptr) {
        return 1;
    }
    player->cur_count = count;
    player->cur_ticks = player->begin_ticks + count - player->start_count;
    int status = KORVEL_PLAYER_DONE;
    for (int i = 0; i < player->ntracks; i++) {
        if (player->track[i]->cur != nullptr) {
            status = KORVEL_PLAYER_PLAYING;
        }
    }
    // Tick by tick across the tracks, so that the note-offs of a tick go out before every other event of it.
    for (;;) {
        uint64_t tick = NOTHING_DUE;
        for (int i = 0; i < player->ntracks; i++) {
            tick = std::min(tick, next_due_tick(player->track[i], player->cur_ticks));
        }
        if (tick == NOTHING_DUE) {
            break;
        }
        for (const Share share : {Share::NOTE_OFFS, Share::THE_REST}) {
            for (int i = 0; i < player->ntracks; i++) {
                if (next_due_tick(player->track[i], player->cur_ticks) == tick) {
                    send_tick(player->track[i], player->synth, player, player->cur_ticks, share);
                }
            }
        }
    }
    player->status = status;
    if (status == KORVEL_PLAYER_DONE) {
        korvel_log_limited(&finish_log, KORVEL_DBG, "%s: %d: Finished playing: duration = %.3f sec", __FILE__,
                           __LINE__, static_cast<double>(player->clock) / player->synth->sample_rate);
        std::free(player->current_file);
        player->current_file = nullptr;
    }
    return 0;
}

int korvel_track_send_events(korvel_track_t* track, korvel_synth_t* synth, korvel_player_t* player, uint32_t ticks)
{
    while (next_due_tick(track, ticks) != NOTHING_DUE) {
        send_tick(track, synth, player, ticks, Share::NOTE_OFFS);
        send_tick(track, synth, player, ticks, Share::THE_REST);
    }
    return 0;
}

int korvel_midi_send_event(korvel_synth_t* synth, korvel_player_t* player, korvel_midi_event_t* evt)
{
    const double spt = samples_per_tick(player);
    evt->sample_time = clamped<int64_t>(spt * evt->time);
    evt->sample_delta = clamped<int32_t>(spt * evt->dtime);
    const double delta = static_cast<double>(evt->sample_time) - static_cast<double>(player->clock);
    int64_t offset = clamped<int64_t>(delta / player->factor);
    if (delta < 0.0) {
        korvel_log_limited(&delta_log, KORVEL_DBG, "event delta out of bounds: %d", clamped<int>(delta));
        return -1;
    }
    if (offset > static_cast<int64_t>(player->frames) - 1) {
        korvel_log_limited(&delta_log, KORVEL_DBG, "event delta out of bounds: %d", clamped<int>(offset));
        offset = static_cast<int64_t>(player->frames) - 1;
    }
    if (synth->capture_context == nullptr) {
        return 0;
    }
    if (evt->type == KORVEL_MIDI_RESET || evt->type == KORVEL_MIDI_SYSEX) {
        korvelsynth_capture_sysex(synth->capture_context, evt->sample_time, static_cast<int>(offset),
                                  static_cast<int>(evt->data_len), evt->data);
    } else {
        korvelsynth_capture_event(synth->capture_context, evt->sample_time, static_cast<int>(offset), evt->channel,
                                  evt->type, static_cast<int>(evt->param1 & 0xFF),
                                  static_cast<int>(evt->param2 & 0xFF));
    }
    return 0;
}

} // extern "C"
