#pragma once
// The settings keys of the audio and MIDI drivers.
//
// Thread contract: control thread.

#include "sampler/src/sys/korvel_settings.h"

#ifdef __cplusplus
extern "C" {
#endif

// Registers the "audio." keys; "iosaudio", the one audio driver, is the only option of "audio.driver" and adds no
// keys of its own.
void korvel_audio_driver_settings(korvel_settings_t* settings);
// Registers "midi.driver" with its only option "iosmidi".
void korvel_midi_driver_settings(korvel_settings_t* settings);

#ifdef __cplusplus
}
#endif
