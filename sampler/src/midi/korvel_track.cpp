#include "sampler/src/midi/korvel_track.h"

#include "sampler/src/sys/korvel_sys.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

int set_text(char** field, const char* text)
{
    char* copy = nullptr;
    if (text != nullptr) {
        copy = strdup(text);
        if (copy == nullptr) {
            return korvel_log(KORVEL_ERR, "Out of memory");
        }
    }
    std::free(*field);
    *field = copy;
    return 0;
}

} // namespace

extern "C" {

korvel_track_t* new_korvel_track(int num)
{
    auto* track = new (std::nothrow) korvel_track_t{};
    if (track == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
        return nullptr;
    }
    track->num = num;
    return track;
}

int delete_korvel_track(korvel_track_t* track)
{
    if (track == nullptr) {
        return 0;
    }
    std::free(track->name);
    std::free(track->copyright);
    std::free(track->instrument);
    delete_korvel_midi_event(track->first);
    delete track;
    return 0;
}

int korvel_track_set_name(korvel_track_t* track, const char* name)
{
    return set_text(&track->name, name);
}

int korvel_track_set_copyright(korvel_track_t* track, const char* text)
{
    return set_text(&track->copyright, text);
}

int korvel_track_set_instrument(korvel_track_t* track, const char* text)
{
    return set_text(&track->instrument, text);
}

const char* korvel_track_get_name(const korvel_track_t* track)
{
    return track->name;
}

uint64_t korvel_track_get_duration(const korvel_track_t* track)
{
    uint64_t duration = 0;
    for (const korvel_midi_event_t* evt = track->first; evt != nullptr; evt = evt->next) {
        duration += evt->dtime;
    }
    return duration;
}

int korvel_track_count_events(const korvel_track_t* track, int* on, int* off)
{
    int count = 0;
    int ons = 0;
    int offs = 0;
    for (const korvel_midi_event_t* evt = track->first; evt != nullptr; evt = evt->next) {
        count++;
        ons += evt->type == 0x90 ? 1 : 0;
        offs += evt->type == 0x80 ? 1 : 0;
    }
    if (on != nullptr) {
        *on = ons;
    }
    if (off != nullptr) {
        *off = offs;
    }
    return count;
}

int korvel_track_add_event(korvel_track_t* track, korvel_midi_event_t* evt)
{
    evt->next = nullptr;
    if (track->first == nullptr) {
        track->first = evt;
        track->cur = evt;
    } else {
        track->last->next = evt;
    }
    track->last = evt;
    return 0;
}

korvel_midi_event_t* korvel_track_first_event(korvel_track_t* track)
{
    track->cur = track->first;
    return track->cur;
}

korvel_midi_event_t* korvel_track_next_event(korvel_track_t* track)
{
    if (track->cur != nullptr) {
        track->cur = track->cur->next;
    }
    return track->cur;
}

int korvel_track_reset(korvel_track_t* track)
{
    track->cur = track->first;
    track->ticks = 0;
    return 0;
}

} // extern "C"
