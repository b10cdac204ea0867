#include "sampler/src/midi/korvel_midi_event.h"

#include "sampler/src/sys/korvel_sys.h"

#include <new>

extern "C" {

korvel_midi_event_t* new_korvel_midi_event(void)
{
    auto* evt = new (std::nothrow) korvel_midi_event_t{};
    if (evt == nullptr) {
        korvel_log(KORVEL_ERR, "Out of memory");
    }
    return evt;
}

korvel_midi_event_t* korvel_create_midi_event(void)
{
    return new_korvel_midi_event();
}

int delete_korvel_midi_event(korvel_midi_event_t* evt)
{
    while (evt != nullptr) {
        korvel_midi_event_t* next = evt->next;
        delete evt;
        evt = next;
    }
    return 0;
}

int korvel_midi_event_get_type(const korvel_midi_event_t* evt)
{
    return evt->type;
}

int korvel_midi_event_set_type(korvel_midi_event_t* evt, int type)
{
    evt->type = static_cast<unsigned char>(type);
    return 0;
}

int korvel_midi_event_get_channel(const korvel_midi_event_t* evt)
{
    return evt->channel;
}

int korvel_midi_event_set_channel(korvel_midi_event_t* evt, int chan)
{
    evt->channel = static_cast<unsigned char>(chan);
    return 0;
}

int korvel_midi_event_get_key(const korvel_midi_event_t* evt)
{
    return static_cast<int>(evt->param1);
}

int korvel_midi_event_set_key(korvel_midi_event_t* evt, int key)
{
    evt->param1 = static_cast<uint32_t>(key);
    return 0;
}

int korvel_midi_event_get_velocity(const korvel_midi_event_t* evt)
{
    return static_cast<int>(evt->param2);
}

int korvel_midi_event_set_velocity(korvel_midi_event_t* evt, int vel)
{
    evt->param2 = static_cast<uint32_t>(vel);
    return 0;
}

int korvel_midi_event_get_control(const korvel_midi_event_t* evt)
{
    return korvel_midi_event_get_key(evt);
}

int korvel_midi_event_set_control(korvel_midi_event_t* evt, int ctrl)
{
    return korvel_midi_event_set_key(evt, ctrl);
}

int korvel_midi_event_get_value(const korvel_midi_event_t* evt)
{
    return korvel_midi_event_get_velocity(evt);
}

int korvel_midi_event_set_value(korvel_midi_event_t* evt, int val)
{
    return korvel_midi_event_set_velocity(evt, val);
}

int korvel_midi_event_get_program(const korvel_midi_event_t* evt)
{
    return korvel_midi_event_get_key(evt);
}

int korvel_midi_event_set_program(korvel_midi_event_t* evt, int prog)
{
    return korvel_midi_event_set_key(evt, prog);
}

int korvel_midi_event_get_pitch1(const korvel_midi_event_t* evt)
{
    return korvel_midi_event_get_key(evt);
}

int korvel_midi_event_set_pitch1(korvel_midi_event_t* evt, int val)
{
    return korvel_midi_event_set_key(evt, val);
}

int korvel_midi_event_get_pitch2(const korvel_midi_event_t* evt)
{
    return korvel_midi_event_get_velocity(evt);
}

int korvel_midi_event_set_pitch2(korvel_midi_event_t* evt, int val)
{
    return korvel_midi_event_set_velocity(evt, val);
}

int korvel_midi_event_is_note_off(const korvel_midi_event_t* evt)
{
    return evt->type == 0x80 || (evt->type == 0x90 && evt->param2 == 0);
}

} // extern "C"
