#include "sampler/src/midi/korvel_midi_driver.h"

#include "sampler/src/sys/korvel_sys.h"

extern "C" {

korvel_midi_driver_t* new_korvel_midi_driver(korvel_settings_t*, korvel_midi_handler_t, void*)
{
    korvel_log(KORVEL_ERR, "Couldn't find the requested midi driver");
    return nullptr;
}

void delete_korvel_midi_driver(korvel_midi_driver_t*) {}

} // extern "C"
