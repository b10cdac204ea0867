// MIDI drivers, chosen by the "midi.driver" setting from a table of rows. The table has no rows: the library takes
// MIDI through its message dispatchers, so creating a MIDI driver always fails.
//
// Thread contract: control thread.
#pragma once

#include "sampler/src/sys/korvel_settings.h"
#include "sampler/src/synth/korvel_synth_midi.h"

#ifdef __cplusplus
extern "C" {
#endif

// Receives the handler data and one MIDI message; non-zero means failure. The router's entry and its dump filters
// have this form.
typedef int (*korvel_midi_handler_t)(void* data, const korvel_midi_message_t* event);

// Every driver record would begin with the name of its row.
typedef struct _korvel_midi_driver_t {
    const char* name;
} korvel_midi_driver_t;

// Null with "Couldn't find the requested midi driver".
korvel_midi_driver_t* new_korvel_midi_driver(korvel_settings_t* settings, korvel_midi_handler_t handler, void* data);
// Deletes the driver through the row of its name; with no rows there is nothing to delete.
void delete_korvel_midi_driver(korvel_midi_driver_t* driver);

#ifdef __cplusplus
}
#endif
